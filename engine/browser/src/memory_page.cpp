#include "tarnwick/browser/memory_page.hpp"

#include "tarnwick/browser/scripts.hpp"
#include "tarnwick/core/text.hpp"

namespace tarnwick::browser {

namespace {

const Value& require(const Value* v, std::string_view what) {
    if (!v) throw MissingFact("page fact not captured: " + std::string(what));
    return *v;
}

class MemoryElement : public Element {
public:
    MemoryElement(std::shared_ptr<const Value> owner, const Value& facts)
        : owner_(std::move(owner)), facts_(facts) {}

    bool is_visible() override { return fact("visible").truthy(); }
    bool is_enabled() override { return fact("enabled").truthy(); }
    std::optional<std::string> inner_text() override {
        const Value& v = fact("text");
        if (!v.is_text()) return std::nullopt;
        return v.as_text();
    }
    std::optional<std::string> attribute(std::string_view name) override {
        const Value* v = fact("attributes").get(name);
        if (!v || !v->is_text()) return std::nullopt;
        return v->as_text();
    }
    Value bounding_box() override { return fact("box"); }
    Value evaluate(std::string_view script) override {
        if (script == kTagNameJs) return fact("tag");
        if (script == kXPathJs) return fact("xpath");
        if (script == kDirectTextJs) return fact("direct");
        if (script == kPrecedingSiblingTextJs) return fact("sibling");
        if (script == kParentEarlierChildTextJs) return fact("parent");
        if (script == kDataAttributesJs) {
            Map data;
            const Value& attributes = fact("attributes");
            if (attributes.is_map())
                for (const auto& e : attributes.as_map())
                    if (text::starts_with(e.key, "data-")) data.append(e.key, e.value);
            return Value(std::move(data));
        }
        throw MissingFact("no captured result for element script");
    }

private:
    const Value& fact(std::string_view key) { return require(facts_.get(key), key); }

    std::shared_ptr<const Value> owner_;  // keeps facts_ alive
    const Value& facts_;
};

}  // namespace

MemoryPage::MemoryPage(Value facts) : facts_(std::make_shared<const Value>(std::move(facts))) {}

ElementPtr MemoryPage::element(const Value& index) {
    const Value& elements = require(facts_->get("elements"), "elements");
    if (!index.is_integer() || !elements.is_sequence() || index.as_integer() < 0 ||
        static_cast<std::size_t>(index.as_integer()) >= elements.as_sequence().size())
        throw MissingFact("element index out of range");
    return std::make_unique<MemoryElement>(facts_, elements.as_sequence()[index.as_integer()]);
}

std::vector<ElementPtr> MemoryPage::query_all(std::string_view selector) {
    const Value* hits = require(facts_->get("queries"), "queries").get(selector);
    if (!hits) throw MissingFact("query not captured: " + std::string(selector));
    if (!hits->is_sequence()) throw MissingFact("query result is not a list");
    std::vector<ElementPtr> out;
    out.reserve(hits->as_sequence().size());
    for (const auto& index : hits->as_sequence()) out.push_back(element(index));
    return out;
}

ElementPtr MemoryPage::query_one(std::string_view selector) {
    const Value* first = require(facts_->get("first"), "first").get(selector);
    if (!first) throw MissingFact("query not captured: " + std::string(selector));
    if (first->is_null()) return nullptr;
    return element(*first);
}

Value MemoryPage::evaluate(std::string_view script) {
    const Value& results = require(facts_->get("evaluate"), "evaluate");
    const Value* v = results.get(script == kCursorPointerJs ? std::string_view("cursor") : script);
    return require(v, "page script result");
}

namespace {

constexpr std::pair<std::string_view, std::string_view> kLongKeys[] = {
    {"v", "visible"},    {"e", "enabled"}, {"g", "tag"},    {"t", "text"},    {"b", "box"},
    {"a", "attributes"}, {"x", "xpath"},   {"d", "direct"}, {"s", "sibling"}, {"p", "parent"}};

std::vector<std::string> expand_paths(const Value* table) {
    std::vector<std::string> paths;
    if (!table || !table->is_sequence()) return paths;
    paths.reserve(table->as_sequence().size());
    for (const auto& entry : table->as_sequence()) {
        const Sequence* pair = entry.is_sequence() ? &entry.as_sequence() : nullptr;
        if (!pair || pair->size() != 2 || !(*pair)[0].is_integer() || !(*pair)[1].is_text())
            throw MissingFact("malformed path entry");
        const std::int64_t parent = (*pair)[0].as_integer();
        // Parents always precede their children in the table.
        if (parent >= static_cast<std::int64_t>(paths.size())) throw MissingFact("malformed path entry");
        std::string path = parent >= 0 ? paths[parent] : std::string();
        path += '/';
        path += (*pair)[1].as_text();
        paths.push_back(std::move(path));
    }
    return paths;
}

Value expand_box(const Value& box) {
    if (!box.is_sequence() || box.as_sequence().size() != 4) return Value();
    const Sequence& b = box.as_sequence();
    return Map{{"x", b[0]}, {"y", b[1]}, {"width", b[2]}, {"height", b[3]}};
}

}  // namespace

Value expand_bulk_facts(Value compact) {
    if (!compact.is_map()) throw MissingFact("page facts are not a record");
    Map& root = compact.as_map();
    const std::vector<std::string> paths = expand_paths(root.find("paths"));
    if (Value* elements = root.find("elements"); elements && elements->is_sequence()) {
        for (Value& record : elements->as_sequence()) {
            if (!record.is_map()) continue;
            Map expanded;
            expanded.reserve(record.as_map().size());
            for (auto& [key, value] : record.as_map()) {
                std::string_view name = key;
                for (const auto& [short_key, long_key] : kLongKeys)
                    if (key == short_key) name = long_key;
                if (name == "box") value = expand_box(value);
                if (name == "xpath") {
                    if (!value.is_integer() || value.as_integer() < 0 ||
                        static_cast<std::size_t>(value.as_integer()) >= paths.size())
                        throw MissingFact("path index out of range");
                    value = Value(paths[value.as_integer()]);
                }
                expanded.append(std::string(name), std::move(value));
            }
            record = Value(std::move(expanded));
        }
    }
    root.erase("paths");
    return compact;
}

std::string MemoryPage::url() { return std::string(text_or(facts_->get("url"))); }

}  // namespace tarnwick::browser
