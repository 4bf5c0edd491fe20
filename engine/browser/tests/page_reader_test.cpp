// The reading algorithms against in-memory pages: a fact that is not in the
// page makes that browser call fail, which is how failures are injected.
#include <gtest/gtest.h>

#include <limits>

#include "tarnwick/browser/css_escape.hpp"
#include "tarnwick/browser/memory_page.hpp"
#include "tarnwick/browser/page_reader.hpp"
#include "tarnwick/browser/scripts.hpp"

namespace tarnwick::browser {
namespace {

Value box(double x, double y, double w, double h) {
    return Map{{"x", x}, {"y", y}, {"width", w}, {"height", h}};
}

// A fully readable element; tests erase or change facts to make calls fail.
Map element(std::string tag, std::string text, Value b, Map attributes = {}, std::string xpath = "/x[1]") {
    return Map{{"visible", true},
               {"enabled", true},
               {"tag", std::move(tag)},
               {"text", std::move(text)},
               {"box", std::move(b)},
               {"attributes", std::move(attributes)},
               {"xpath", std::move(xpath)},
               {"direct", true},
               {"sibling", nullptr},
               {"parent", nullptr}};
}

Sequence indices(std::initializer_list<int> ids) {
    Sequence s;
    for (int i : ids) s.emplace_back(static_cast<std::int64_t>(i));
    return s;
}

// Every page query answers with `main` for the interactable selector and
// nothing for the others, unless a test replaces it.
Map page_of(Sequence elements, Sequence main) {
    Map queries{{interactable_selector(), Value(std::move(main))},
                {std::string(kCustomInputSelector), Sequence{}},
                {std::string(kLabelCandidateSelector), Sequence{}},
                {text_selector(), Sequence{}}};
    return Map{{"elements", std::move(elements)},
               {"queries", std::move(queries)},
               {"first", Map{}},
               {"evaluate", Map{{"cursor", Sequence{}}}}};
}

const Map& record(const Sequence& s, std::size_t i) { return s.at(i).as_map(); }

TEST(MainPass, RecordsHoldTheKeysInOrderWithRealBoxes) {
    Map button = element("button", "  Save  ", Map{{"x", 1}, {"y", 2}, {"width", 3}, {"height", 4}},
                         Map{{"data-z", "z"}, {"class", "c"}, {"id", "b"}, {"data-testid", "t"}});
    MemoryPage page(page_of({Value(button)}, indices({0})));
    Sequence out = PageReader(page).main_pass();
    ASSERT_EQ(out.size(), 1u);
    const Map& r = record(out, 0);
    std::vector<std::string> keys;
    for (const auto& e : r) keys.push_back(e.key);
    EXPECT_EQ(keys, (std::vector<std::string>{"tag", "text", "attributes", "bounding_box", "is_visible",
                                              "is_enabled", "xpath"}));
    EXPECT_EQ(*r.find("text"), Value("Save"));
    EXPECT_TRUE(r.find("bounding_box")->get("x")->is_real());
    // Captured attributes in table order, then data- attributes in page
    // order; data-testid keeps its captured place.
    std::vector<std::string> names;
    for (const auto& e : r.find("attributes")->as_map()) names.push_back(e.key);
    EXPECT_EQ(names, (std::vector<std::string>{"id", "class", "data-testid", "data-z"}));
}

TEST(MainPass, DropsAndFallbacks) {
    Map submit = element("input", "", box(0, 0, 10, 10), Map{{"value", " Go "}, {"type", "submit"}});
    Map hidden_labelled = element("button", "x", box(0, 0, 10, 10), Map{{"aria-label", "Close"}});
    hidden_labelled.set("visible", false);
    Map hidden_plain = element("button", "y", box(0, 0, 10, 10));
    hidden_plain.set("visible", false);
    Map hidden_empty_title = element("button", "z", box(0, 0, 10, 10), Map{{"title", ""}});
    hidden_empty_title.set("visible", false);
    Map flat = element("button", "flat", box(0, 0, 10, 0));
    Map unboxed = element("button", "none", Value());
    Map svg = element("svg", "", box(0, 0, 10, 10));
    svg.erase("text");  // inner_text refused: the element fails
    Map no_path = element("a", "p", box(0, 0, 10, 10));
    no_path.erase("xpath");
    MemoryPage page(page_of({Value(submit), Value(hidden_labelled), Value(hidden_plain), Value(hidden_empty_title),
                             Value(flat), Value(unboxed), Value(svg), Value(no_path)},
                            indices({0, 1, 2, 3, 4, 5, 6, 7})));
    Sequence out = PageReader(page).main_pass();
    ASSERT_EQ(out.size(), 2u);
    EXPECT_EQ(*record(out, 0).find("text"), Value("Go"));
    EXPECT_EQ(*record(out, 1).find("is_visible"), Value(false));
}

TEST(MainPass, FailingPageQueryPropagates) {
    Map p = page_of({}, {});
    p.find("queries")->as_map().erase(interactable_selector());
    MemoryPage page(std::move(p));
    EXPECT_THROW(PageReader(page).read(), MissingFact);
}

TEST(FieldLabel, SourcesInOrder) {
    Map facts = page_of({Value(element("label", "  React field ", box(0, 0, 1, 1))),
                         Value(element("span", "Named", box(0, 0, 1, 1)))},
                        {});
    facts.find("first")->as_map().set("label[for=\"\\:r1\\:\"]", 0);
    facts.find("first")->as_map().set("#name-ref", 1);
    facts.find("first")->as_map().set("#nowhere", nullptr);
    MemoryPage page(std::move(facts));
    PageReader reader(page);

    struct Case {
        Map attributes;
        Value sibling, parent;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {Map{{"aria-label", " Email "}, {"id", ":r1:"}}, nullptr, nullptr, "Email"},
        {Map{{"aria-labelledby", "name-ref"}, {"id", ":r1:"}}, nullptr, nullptr, "Named"},
        {Map{{"aria-labelledby", "nowhere"}, {"id", ":r1:"}}, nullptr, nullptr, "React field"},
        // Look-ups that were not captured fail; the search goes on.
        {Map{{"aria-labelledby", "uncaptured"}, {"placeholder", " Zip "}}, nullptr, nullptr, "Zip"},
        {Map{{"id", "uncaptured"}, {"title", "Titled"}}, nullptr, nullptr, "Titled"},
        {Map{}, " Before ", "Parent", "Before"},
        {Map{}, nullptr, " Parent ", "Parent"},
        {Map{}, nullptr, nullptr, ""},
    };
    for (const auto& c : cases) {
        Map facts_of = element("input", "", box(0, 0, 1, 1), c.attributes);
        facts_of.set("sibling", c.sibling);
        facts_of.set("parent", c.parent);
        MemoryPage one(Map{{"elements", Sequence{Value(facts_of)}}, {"queries", Map{{"q", indices({0})}}}});
        auto handles = one.query_all("q");
        EXPECT_EQ(reader.field_label(*handles[0]), c.expected);
    }
}

TEST(FieldLabel, FailingNeighbourScriptsAreIgnoredButAttributeFailuresAreNot) {
    MemoryPage page(page_of({}, {}));
    Map no_scripts = element("input", "", box(0, 0, 1, 1));
    no_scripts.erase("sibling");
    no_scripts.erase("parent");
    Map no_attributes = element("input", "", box(0, 0, 1, 1));
    no_attributes.erase("attributes");
    MemoryPage holder(Map{{"elements", Sequence{Value(no_scripts), Value(no_attributes)}},
                          {"queries", Map{{"q", indices({0, 1})}}}});
    auto handles = holder.query_all("q");
    EXPECT_EQ(PageReader(page).field_label(*handles[0]), "");
    EXPECT_THROW(PageReader(page).field_label(*handles[1]), MissingFact);
}

TEST(CssEscape, FollowsTheBrowsersRules) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {":r1:", "\\:r1\\:"}, {"1st", "\\31 st"},  {"say\"hi", "say\\\"hi"}, {"-", "\\-"},
        {"-1", "-\\31 "},     {"a b", "a\\ b"},    {"\x01x", "\\1 x"},       {"\x7f", "\\7f "},
        {"caf\xc3\xa9", "caf\xc3\xa9"}, {"_-a9", "_-a9"}, {"", ""},          {std::string("a\0b", 3), "a\xef\xbf\xbd" "b"},
        {"--x", "--x"}};
    for (const auto& [in, out] : cases) EXPECT_EQ(css_escape(in), out) << in;
}

TEST(CustomInputs, EditableFieldsOncePerPath) {
    Map facts = page_of({Value(element("div", " Typed ", box(0, 0, 5, 5), Map{{"class", "Editable"}}, "/d[1]")),
                         Value(element("div", "dup", box(0, 0, 5, 5), Map{{"class", "input"}}, "/d[1]")),
                         Value(element("span", "", box(0, 0, 5, 5), Map{{"class", "card"}}, "/s[1]")),
                         Value(element("div", "", box(0, 0, 5, 5), Map{{"class", "input"}, {"data-x", "1"}}, "/d[2]"))},
                        {});
    facts.find("queries")->as_map().set(kCustomInputSelector, indices({0, 1, 2, 3}));
    MemoryPage page(std::move(facts));
    Sequence out = PageReader(page).custom_inputs();
    ASSERT_EQ(out.size(), 2u);
    EXPECT_EQ(*record(out, 0).find("text"), Value("Typed"));
    EXPECT_EQ(*record(out, 0).find("is_editable_field"), Value(true));
    EXPECT_EQ(record(out, 1).find("attributes")->as_map().size(), 1u);  // no data- attributes
}

TEST(CursorPointer, ItemsBecomeButtonsWithWholeNumberBoxes) {
    Map item{{"tag", "li"}, {"text", "Card"}, {"xpath", "/li[1]"}, {"x", 1}, {"y", -0.0},
             {"w", 10.0},   {"h", 5},         {"cls", "card"},     {"aria", ""}};
    Map facts = page_of({}, {});
    facts.find("evaluate")->as_map().set("cursor", Sequence{Value(item), Value(item)});
    MemoryPage page(std::move(facts));
    Sequence out = PageReader(page).cursor_pointer_elements();
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(*record(out, 0).find("tag"), Value("button"));
    EXPECT_EQ(*record(out, 0).find("bounding_box"),
              Value(Map{{"x", 1}, {"y", 0}, {"width", 10}, {"height", 5}}));
    EXPECT_EQ(*record(out, 0).find("attributes"), Value(Map{{"class", "card"}}));

    Map failing = page_of({}, {});
    failing.find("evaluate")->as_map().erase("cursor");
    MemoryPage broken(std::move(failing));
    EXPECT_TRUE(PageReader(broken).cursor_pointer_elements().empty());
}

TEST(LabelCandidates, ShortLowAndUnique) {
    const std::string sixty(60, 'a');
    Map facts = page_of({Value(element("h2", "Name", box(0, 0, 100, 40))),
                         Value(element("h2", "Name", box(0, 100, 100, 20))),
                         Value(element("div", "Tall", box(0, 0, 100, 41))),
                         Value(element("p", sixty, box(0, 0, 100, 10))),
                         Value(element("p", sixty + "a", box(0, 0, 100, 10))),
                         Value(element("span", "  ", box(0, 0, 100, 10)))},
                        {});
    facts.find("queries")->as_map().set(kLabelCandidateSelector, indices({0, 1, 2, 3, 4, 5}));
    MemoryPage page(std::move(facts));
    Sequence out = PageReader(page).label_candidates();
    ASSERT_EQ(out.size(), 2u);
    EXPECT_EQ(*record(out, 0).find("text"), Value("Name"));
    EXPECT_EQ(*record(out, 0).find("bounding_box")->get("y"), Value(0.0));
    EXPECT_EQ(*record(out, 1).find("text"), Value(sixty));
}

TEST(SpatialLabels, NearestOverlappingCandidateAbove) {
    Sequence elements = {Value(Map{{"attributes", Map{}}, {"bounding_box", box(10, 100, 50, 20)}}),
                         Value(Map{{"attributes", Map{{"_label", "Own"}}}, {"bounding_box", box(10, 100, 50, 20)}}),
                         Value(Map{{"attributes", Map{}}, {"bounding_box", Value()}}),
                         Value(Map{{"attributes", Map{}}, {"bounding_box", box(500, 100, 50, 20)}})};
    Sequence candidates = {Value(Map{{"text", "Far"}, {"bounding_box", box(0, 0, 100, 20)}}),
                           Value(Map{{"text", "Near"}, {"bounding_box", box(0, 60, 100, 20)}}),
                           Value(Map{{"text", "Below"}, {"bounding_box", box(0, 110, 100, 20)}})};
    auto labelled = assign_spatial_labels(elements, candidates);
    ASSERT_EQ(labelled.size(), 1u);
    EXPECT_EQ(labelled[0], (std::pair<std::size_t, std::string>{0, "Near"}));
    EXPECT_EQ(*elements[0].get("attributes")->get("_label"), Value("Near"));
    EXPECT_EQ(*elements[1].get("attributes")->get("_label"), Value("Own"));
}

TEST(TextElements, ReadThenDeduplicated) {
    Map li = element("li", "Only", box(0, 0, 100, 20), Map{{"data-k", "v"}, {"href", "/h"}}, "/li[1]");
    li.set("direct", false);
    Map span = element("span", "Only", box(5, 5, 20, 10), Map{}, "/li[1]/span[1]");
    Map blank = element("p", " \n ", box(0, 0, 10, 10));
    Map hidden = element("p", "Hidden", box(0, 0, 10, 10));
    hidden.set("visible", false);
    Map failing = element("p", "Broken", box(0, 0, 10, 10));
    failing.erase("direct");
    Map facts = page_of({Value(li), Value(span), Value(blank), Value(hidden), Value(failing)}, {});
    facts.find("queries")->as_map().set(text_selector(), indices({0, 1, 2, 3, 4}));
    MemoryPage page(std::move(facts));
    Sequence out = PageReader(page).text_elements();
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(*record(out, 0).find("tag"), Value("span"));
    std::vector<std::string> keys;
    for (const auto& e : record(out, 0)) keys.push_back(e.key);
    EXPECT_EQ(keys, (std::vector<std::string>{"tag", "text", "has_direct_text", "attributes", "bounding_box",
                                              "is_visible", "is_enabled", "xpath"}));
}

// An interrupt must not be swallowed as one failing element.
class InterruptingPage : public Page {
    struct Stop : Element {
        bool is_visible() override { throw Abort{}; }
        bool is_enabled() override { return true; }
        std::optional<std::string> inner_text() override { return ""; }
        std::optional<std::string> attribute(std::string_view) override { return std::nullopt; }
        Value bounding_box() override { return Value(); }
        Value evaluate(std::string_view) override { return Value(); }
    };

public:
    std::vector<ElementPtr> query_all(std::string_view) override {
        std::vector<ElementPtr> out;
        out.push_back(std::make_unique<Stop>());
        return out;
    }
    ElementPtr query_one(std::string_view) override { return nullptr; }
    Value evaluate(std::string_view) override { return Value(); }
    std::string url() override { return ""; }
};

TEST(Failures, AbortPassesThroughElementGuards) {
    InterruptingPage page;
    EXPECT_THROW(PageReader(page).main_pass(), Abort);
    EXPECT_THROW(PageReader(page).text_elements(), Abort);
}

TEST(CustomInput, Rule) {
    EXPECT_TRUE(is_custom_input("div", "Rich-EDITABLE"));
    EXPECT_TRUE(is_custom_input("span", "my-input"));
    EXPECT_FALSE(is_custom_input("input", "input"));
    EXPECT_FALSE(is_custom_input("select", "editable"));
    EXPECT_FALSE(is_custom_input("div", ""));
}

}  // namespace
}  // namespace tarnwick::browser

namespace tarnwick::browser {
namespace {

TEST(MemoryPage, ReadsTheCompactLayoutOfTheOneCallRead) {
    Value compact = Map{
        {"elements",
         Sequence{Value(Map{{"v", true}, {"e", false}, {"g", "button"}, {"t", " Go "}, {"b", Sequence{Value(1), Value(2.5), Value(30), Value(10)}},
                            {"a", Map{{"data-k", "v"}}}, {"x", 1}})}},
        {"paths", Sequence{Value(Sequence{Value(-1), Value("html[1]")}), Value(Sequence{Value(0), Value("button[1]")})}},
        {"queries", Map{{interactable_selector(), Sequence{Value(0)}}}},
        {"first", Map{}},
        {"evaluate", Map{}}};
    MemoryPage page(std::move(compact));
    Sequence out = PageReader(page).main_pass();
    ASSERT_EQ(out.size(), 1u);
    const Map& r = out[0].as_map();
    EXPECT_EQ(*r.find("xpath"), Value("/html[1]/button[1]"));
    EXPECT_EQ(*r.find("bounding_box"), Value(Map{{"x", 1.0}, {"y", 2.5}, {"width", 30.0}, {"height", 10.0}}));
    EXPECT_EQ(*r.find("is_enabled"), Value(false));
    EXPECT_EQ(*r.find("attributes"), Value(Map{{"data-k", "v"}}));
}

TEST(MemoryPage, ReadsPackedElementsByTheirMask) {
    const Value b = Sequence{Value(1), Value(2.5), Value(30), Value(10)};
    const Value attrs = Map{{"data-k", "v"}};
    // Bits 0-6: visible, enabled, tag, text, box, attributes, xpath present;
    // bits 10 and 11: visible, enabled. Tags and paths come from tables.
    const std::int64_t present = 127, visible = 1 << 10, enabled = 1 << 11;
    Sequence full{Value(present | visible), Value(1), Value(" Go "), b, attrs, Value(1)};
    Sequence textless{Value((present & ~8) | visible | enabled), Value(1), b, attrs, Value(1)};
    Value packed = Map{
        {"elements", Sequence{Value(full), Value(textless)}},
        {"tags", Sequence{Value("html"), Value("button")}},
        {"paths", Sequence{Value(1), Value(0), Value(1), Value(1), Value(1), Value(2)}},
        {"queries", Map{{interactable_selector(), Map{{"d", Sequence{Value(1), Value(-1)}}}}}},
        {"first", Map{}},
        {"evaluate", Map{}}};
    MemoryPage page(std::move(packed));
    // The element without captured text fails and is dropped, as a failing
    // inner_text() would drop it on a live page.
    Sequence out = PageReader(page).main_pass();
    ASSERT_EQ(out.size(), 1u);
    const Map& r = out[0].as_map();
    EXPECT_EQ(*r.find("tag"), Value("button"));
    EXPECT_EQ(*r.find("text"), Value("Go"));
    EXPECT_EQ(*r.find("xpath"), Value("/html[1]/button[2]"));
    EXPECT_EQ(*r.find("bounding_box"), Value(Map{{"x", 1.0}, {"y", 2.5}, {"width", 30.0}, {"height", 10.0}}));
    EXPECT_EQ(*r.find("is_visible"), Value(true));
    EXPECT_EQ(*r.find("is_enabled"), Value(false));
    EXPECT_EQ(*r.find("attributes"), Value(Map{{"data-k", "v"}}));
}

TEST(MemoryPage, QueriesAnsweredInStepsFollowThem) {
    Sequence elements;
    for (const char* text : {"a", "b", "c"}) elements.push_back(Value(element("p", text, box(0, 0, 1, 1))));
    const std::int64_t huge = std::numeric_limits<std::int64_t>::max();
    MemoryPage page(Map{{"elements", elements},
                        {"queries", Map{{"steps", Map{{"d", Sequence{Value(2), Value(-2), Value(1)}}}},
                                        {"past the end", Map{{"d", Sequence{Value(1), Value(5)}}}},
                                        {"overflowing", Map{{"d", Sequence{Value(1), Value(huge)}}}},
                                        {"not numbers", Map{{"d", Sequence{Value("1")}}}}}}});
    std::vector<std::string> texts;
    for (auto& el : page.query_all("steps")) texts.push_back(el->inner_text().value_or("?"));
    EXPECT_EQ(texts, (std::vector<std::string>{"c", "a", "b"}));
    for (const char* bad : {"past the end", "overflowing", "not numbers"})
        EXPECT_THROW(page.query_all(bad), MissingFact) << bad;
}

TEST(MemoryPage, MalformedTablesFailTheRead) {
    // An unknown tag, a short triple, parents before the start or not before the entry.
    for (Value paths : {Value(Sequence{Value(1), Value(5), Value(1)}), Value(Sequence{Value(1), Value(0)}),
                        Value(Sequence{Value(2), Value(0), Value(1)}), Value(Sequence{Value(0), Value(0), Value(1)}),
                        Value(Sequence{Value(-1), Value(0), Value(1)})}) {
        Map facts{{"elements", Sequence{}}, {"tags", Sequence{Value("html")}}, {"paths", paths}};
        EXPECT_THROW(MemoryPage{Value(facts)}, MissingFact);
    }
}

}  // namespace
}  // namespace tarnwick::browser
