#include "tarnwick/reporter/escape.hpp"

#include <gtest/gtest.h>

namespace rep = tarnwick::reporter;

TEST(ReporterEscape, HtmlMatchesPythonHtmlEscape) {
    EXPECT_EQ(rep::html_escape("plain ✓ text"), "plain ✓ text");
    EXPECT_EQ(rep::html_escape("<script>a & 'b' \"c\"</script>"),
              "&lt;script&gt;a &amp; &#x27;b&#x27; &quot;c&quot;&lt;/script&gt;");
    EXPECT_EQ(rep::html_escape("&amp;"), "&amp;amp;");
    EXPECT_EQ(rep::html_escape(""), "");
}

TEST(ReporterEscape, JsStringCannotEndLiteralAttributeOrElement) {
    EXPECT_EQ(rep::js_string("steps-tests/test_a.py-1"), "'steps-tests/test_a.py-1'");
    EXPECT_EQ(rep::js_string("'); alert(1);//"), "'\\x27); alert(1);//'");
    EXPECT_EQ(rep::js_string("a\"b<c>d&e`f"), "'a\\x22b\\x3Cc\\x3Ed\\x26e\\x60f'");
    EXPECT_EQ(rep::js_string("back\\slash"), "'back\\\\slash'");
    EXPECT_EQ(rep::js_string("line\nfeed\r\t\x01"), "'line\\x0Afeed\\x0D\\x09\\x01'");
    EXPECT_EQ(rep::js_string("sep\u2028par\u2029"), "'sep\\u2028par\\u2029'");
    EXPECT_EQ(rep::js_string("ünï–code"), "'ünï–code'");
}

TEST(ReporterEscape, JsStringHoldsNoHtmlSpecialsBesidesItsQuotes) {
    std::string all;
    for (int c = 1; c < 128; ++c) all.push_back(static_cast<char>(c));
    std::string lit = rep::js_string(all);
    std::string inner = lit.substr(1, lit.size() - 2);
    EXPECT_EQ(inner.find_first_of("<>&\"'\n\r"), std::string::npos) << inner;
}
