#include <gtest/gtest.h>

#include "tarnwick/core/errors.hpp"
#include "tarnwick/stepreader/instruction_parser.hpp"

namespace sr = tarnwick::stepreader;
using tarnwick::Map;
using tarnwick::Value;

namespace {

Map rec(const char* action, Value target, Value value, bool literal) {
    return Map{{"action", action}, {"target", target}, {"value", value}, {"_literal_target", literal}};
}

Map ordinal_rec(const char* action, Value target, int ordinal, bool literal) {
    return Map{{"action", action},
               {"target", target},
               {"value", Value()},
               {"ordinal", ordinal},
               {"_literal_target", literal}};
}

std::vector<std::string> keys(const Map& m) {
    std::vector<std::string> out;
    for (const auto& e : m) out.push_back(e.key);
    return out;
}

}  // namespace

TEST(Parse, OneCasePerRule) {
    const std::pair<std::string, Map> cases[] = {
        {"type  hello into Name", rec("type", "Name", " hello", false)},
        {R"(type standard_user into "Username")", rec("type", "Username", "standard_user", true)},
        {"type a into b into Name", rec("type", "b into Name", "a", false)},
        {"select Blue from the Colour", rec("select", "Colour", "Blue", false)},
        {"find exact text  Total ", rec("find_exact_text", " Total", Value(), false)},
        {"find text the Total", rec("find_text", "Total", Value(), false)},
        {"extract_text near Price", rec("extract_text_spatial", "near Price", Value(), false)},
        {"extract text from second row", ordinal_rec("extract_text", "row", 2, false)},
        {R"(click "Log in")", ordinal_rec("click", "Log in", 1, true)},
        {R"(click "Second Hand")", ordinal_rec("click", "Hand", 2, false)},
        {"Click The Submit Button", ordinal_rec("click", "Submit Button", 1, false)},
        {"click first", ordinal_rec("click", "", 1, false)},
        {"hover the Menu", rec("hover", "Menu", Value(), false)},
        {"navigate 'https://x.test/'", rec("navigate", "https://x.test/", Value(), false)},
        {"press  Enter ", rec("press_key", "Enter", Value(), false)},
        {"ACCEPT DIALOG", rec("accept_dialog", Value(), Value(), false)},
        {"dismiss dialog", rec("dismiss_dialog", Value(), Value(), false)},
        {"verify dialog says  Saved!", rec("verify_dialog", Value(), " Saved!", false)},
        {"sendkeys Control+A", rec("sendkeys", "Control+A", "Control+A", false)},
        {"wait \"500\"", rec("wait", "500", Value(), false)},
        {R"(verify text next to "Potential Returns" is $29.00)",
         rec("verify_spatial_text", "next to Potential Returns", "$29.00", false)},
        {"verify text below Total is present",
         rec("verify_spatial_text", "below Total", "present", false)},
        {R"(verify text "Welcome" is visible)", rec("verify_text_visible", "Welcome", Value(), true)},
        {"verify text Foo is enabled", rec("verify_enabled", "text Foo", Value(), false)},
        {"verify Foois present", rec("verify_present", "Foo", Value(), false)},
        {R"(verify "Products" is present)", rec("verify_present", "Products", Value(), true)},
    };
    sr::InstructionParser parser;
    for (const auto& [step, expected] : cases) {
        Map got = parser.parse(step);
        EXPECT_EQ(got, expected) << step;
        EXPECT_EQ(keys(got), keys(expected)) << step;
    }
}

TEST(Parse, RejectsWithTheSupportedActions) {
    const std::string rejected[] = {"",        "   ",  "type into Name", "select from List",
                                    "type hello Name", "back", "refresh", "accept  dialog",
                                    "verify text below Total is", "tap Login"};
    sr::InstructionParser parser;
    for (const auto& step : rejected) {
        try {
            parser.parse(step);
            ADD_FAILURE() << "accepted: " << step;
        } catch (const tarnwick::ValueError& e) {
            EXPECT_EQ(std::string(e.what()), sr::InstructionParser::rejection_message(step));
        }
    }
    EXPECT_EQ(sr::InstructionParser::rejection_message(" it's "),
              "Unrecognised instruction: \" it's \". Supported actions: ['click', 'type', "
              "'hover', 'select', 'press_key', 'sendkeys', 'extract_text', "
              "'extract_text_spatial', 'find_text', 'find_exact_text', 'verify_present', "
              "'verify_visible', 'verify_enabled', 'verify_disabled', 'verify_text_present', "
              "'verify_text_visible', 'verify_spatial_text', 'accept_dialog', 'dismiss_dialog', "
              "'verify_dialog']");
}

// Lower-casing U+023A gives U+2C65, one byte longer in UTF-8: texts must be
// cut at character positions, not byte positions.
TEST(Parse, CutsAtCharacterPositionsWhenLowerCaseChangesByteLength) {
    sr::InstructionParser parser;
    EXPECT_EQ(parser.parse("type \u023A\u023A into Name"),
              rec("type", "Name", "\u023A\u023A", false));
    EXPECT_EQ(parser.parse("verify text \u023A\u023A is present"),
              rec("verify_text_present", "\u023A\u023A", Value(), false));
    // The Kelvin sign lower-cases to "k", as in str.lower(). Capital I with
    // dot above stays itself, so it never spells a keyword's "i".
    EXPECT_EQ(parser.parse("CLIC\u212A Login"), ordinal_rec("click", "Login", 1, false));
    EXPECT_THROW(parser.parse("type x \u0130NTO Name"), tarnwick::ValueError);
}
