#include "tarnwick/browser/memory_page.hpp"

#include "tarnwick/browser/scripts.hpp"
#include "tarnwick/core/text.hpp"

namespace tarnwick::browser {

namespace {

const Value& require(const Value* v, std::string_view what) {
    if (!v) throw MissingFact("page fact not captured: " + std::string(what));
    return *v;
}

constexpr std::pair<std::string_view, std::string_view> kShortKeys[] = {
    {"visible", "v"},    {"enabled", "e"}, {"tag", "g"},    {"text", "t"},    {"box", "b"},
    {"attributes", "a"}, {"xpath", "x"},   {"direct", "d"}, {"sibling", "s"}, {"parent", "p"}};

class MemoryElement : public Element {
public:
    MemoryElement(std::shared_ptr<const Value> owner, std::shared_ptr<const std::vector<std::string>> paths,
                  const Value& facts)
        : owner_(std::move(owner)), paths_(std::move(paths)), facts_(facts) {}

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
    Value bounding_box() override {
        const Value& box = fact("box");
        if (box.is_sequence() && box.as_sequence().size() == 4) {
            const Sequence& b = box.as_sequence();
            Map out;
            out.reserve(4);
            out.append("x", b[0]);
            out.append("y", b[1]);
            out.append("width", b[2]);
            out.append("height", b[3]);
            return Value(std::move(out));
        }
        return box;
    }
    Value evaluate(std::string_view script) override {
        if (script == kTagNameJs) return fact("tag");
        if (script == kXPathJs) {
            const Value& path = fact("xpath");
            if (!path.is_integer()) return path;
            if (path.as_integer() < 0 || static_cast<std::size_t>(path.as_integer()) >= paths_->size())
                throw MissingFact("path index out of range");
            return Value((*paths_)[path.as_integer()]);
        }
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
    const Value& fact(std::string_view key) {
        if (const Value* v = facts_.get(key)) return *v;
        for (const auto& [name, short_key] : kShortKeys)
            if (name == key) return require(facts_.get(short_key), key);
        return require(nullptr, key);
    }

    std::shared_ptr<const Value> owner_;  // keeps facts_ alive
    std::shared_ptr<const std::vector<std::string>> paths_;
    const Value& facts_;
};

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

}  // namespace

MemoryPage::MemoryPage(Value facts)
    : facts_(std::make_shared<const Value>(std::move(facts))),
      paths_(std::make_shared<const std::vector<std::string>>(expand_paths(facts_->get("paths")))) {
    for (auto [name, index] : {std::pair{"queries", &queries_}, std::pair{"first", &first_}})
        if (const Value* table = facts_->get(name); table && table->is_map())
            for (const auto& e : table->as_map()) index->emplace(e.key, &e.value);  // first wins, as find() would
}

ElementPtr MemoryPage::element(const Value& index) {
    const Value& elements = require(facts_->get("elements"), "elements");
    if (!index.is_integer() || !elements.is_sequence() || index.as_integer() < 0 ||
        static_cast<std::size_t>(index.as_integer()) >= elements.as_sequence().size())
        throw MissingFact("element index out of range");
    return std::make_unique<MemoryElement>(facts_, paths_, elements.as_sequence()[index.as_integer()]);
}

std::vector<ElementPtr> MemoryPage::query_all(std::string_view selector) {
    auto found = queries_.find(selector);
    if (found == queries_.end()) throw MissingFact("query not captured: " + std::string(selector));
    const Value* hits = found->second;
    if (!hits->is_sequence()) throw MissingFact("query result is not a list");
    std::vector<ElementPtr> out;
    out.reserve(hits->as_sequence().size());
    for (const auto& index : hits->as_sequence()) out.push_back(element(index));
    return out;
}

ElementPtr MemoryPage::query_one(std::string_view selector) {
    auto found = first_.find(selector);
    if (found == first_.end()) throw MissingFact("query not captured: " + std::string(selector));
    const Value* first = found->second;
    if (first->is_null()) return nullptr;
    return element(*first);
}

Value MemoryPage::evaluate(std::string_view script) {
    const Value& results = require(facts_->get("evaluate"), "evaluate");
    const Value* v = results.get(script == kCursorPointerJs ? std::string_view("cursor") : script);
    return require(v, "page script result");
}

std::string MemoryPage::url() { return std::string(text_or(facts_->get("url"))); }

}  // namespace tarnwick::browser
