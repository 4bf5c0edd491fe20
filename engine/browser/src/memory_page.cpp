#include "tarnwick/browser/memory_page.hpp"

#include "tarnwick/browser/scripts.hpp"
#include "tarnwick/core/text.hpp"

namespace tarnwick::browser {

namespace {

const Value& require(const Value* v, std::string_view what) {
    if (!v) throw MissingFact("page fact not captured: " + std::string(what));
    return *v;
}

// The facts of an element, in the order of the bits of the compact form's mask.
enum Fact { kVisible, kEnabled, kTag, kText, kBox, kAttributes, kXPath, kDirect, kSibling, kParent, kFactCount };
constexpr std::string_view kFactNames[kFactCount] = {"visible", "enabled", "tag",    "text",    "box",
                                                     "attributes", "xpath", "direct", "sibling", "parent"};
constexpr std::string_view kShortKeys[kFactCount] = {"v", "e", "g", "t", "b", "a", "x", "d", "s", "p"};

// Yes/no facts of a packed element ride in its mask, at bit 10 + fact.
constexpr bool kInMask[kFactCount] = {true, true, false, false, false, false, false, true, false, false};
constexpr int kMaskValueShift = 10;
const Value kYes(true), kNo(false);

int fact_of_key(std::string_view key) {
    for (int f = 0; f < kFactCount; ++f)
        if (key == kFactNames[f] || key == kShortKeys[f]) return f;
    return -1;
}

class MemoryElement : public Element {
public:
    MemoryElement(std::shared_ptr<const Value> owner, std::shared_ptr<const MemoryPage::Tables> tables,
                  const Value& facts)
        : owner_(std::move(owner)), tables_(std::move(tables)) {
        // Every fact is located once: the reader asks for several of them.
        if (facts.is_map()) {
            for (const auto& e : facts.as_map())
                if (int f = fact_of_key(e.key); f >= 0 && !slots_[f]) slots_[f] = &e.value;
        } else if (facts.is_sequence() && !facts.as_sequence().empty() && facts.as_sequence()[0].is_integer()) {
            const Sequence& packed = facts.as_sequence();
            const std::int64_t mask = packed[0].as_integer();
            std::size_t next = 1;
            for (int f = 0; f < kFactCount; ++f) {
                if (!(mask & (std::int64_t{1} << f))) continue;
                if (kInMask[f]) slots_[f] = mask & (std::int64_t{1} << (kMaskValueShift + f)) ? &kYes : &kNo;
                else if (next < packed.size()) slots_[f] = &packed[next++];
            }
        }
    }

    bool is_visible() override { return fact(kVisible).truthy(); }
    bool is_enabled() override { return fact(kEnabled).truthy(); }
    std::optional<std::string> inner_text() override {
        const Value& v = fact(kText);
        if (!v.is_text()) return std::nullopt;
        return v.as_text();
    }
    std::optional<std::string> attribute(std::string_view name) override {
        const Value* v = fact(kAttributes).get(name);
        if (!v || !v->is_text()) return std::nullopt;
        return v->as_text();
    }
    Value bounding_box() override {
        const Value& box = fact(kBox);
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
        if (script == kTagNameJs) {
            const Value& tag = fact(kTag);
            if (!tag.is_integer()) return tag;
            if (tag.as_integer() < 0 || static_cast<std::size_t>(tag.as_integer()) >= tables_->tags.size())
                throw MissingFact("tag index out of range");
            return tables_->tags[tag.as_integer()];
        }
        if (script == kXPathJs) {
            const Value& path = fact(kXPath);
            if (!path.is_integer()) return path;
            if (path.as_integer() < 0 || static_cast<std::size_t>(path.as_integer()) >= tables_->paths.size())
                throw MissingFact("path index out of range");
            return Value(tables_->paths[path.as_integer()]);
        }
        if (script == kDirectTextJs) return fact(kDirect);
        if (script == kPrecedingSiblingTextJs) return fact(kSibling);
        if (script == kParentEarlierChildTextJs) return fact(kParent);
        if (script == kDataAttributesJs) {
            Map data;
            const Value& attributes = fact(kAttributes);
            if (attributes.is_map())
                for (const auto& e : attributes.as_map())
                    if (text::starts_with(e.key, "data-")) data.append(e.key, e.value);
            return Value(std::move(data));
        }
        throw MissingFact("no captured result for element script");
    }

private:
    const Value& fact(Fact f) const { return require(slots_[f], kFactNames[f]); }

    std::shared_ptr<const Value> owner_;  // keeps facts_ alive
    std::shared_ptr<const MemoryPage::Tables> tables_;
    const Value* slots_[kFactCount] = {};
};

std::vector<Value> read_tags(const Value* table) {
    std::vector<Value> tags;
    if (!table || !table->is_sequence()) return tags;
    tags = table->as_sequence();
    return tags;
}

// Parents always precede their children in the table.
std::string path_below(const std::vector<std::string>& paths, const Value& parent) {
    if (!parent.is_integer() || parent.as_integer() >= static_cast<std::int64_t>(paths.size()))
        throw MissingFact("malformed path entry");
    std::string path = parent.as_integer() >= 0 ? paths[parent.as_integer()] : std::string();
    path += '/';
    return path;
}

// Either [[parent, "tag[n]"], ...] or flat (back, tag index, n) triples,
// the parent being `back` entries earlier (-1 for none).
std::vector<std::string> expand_paths(const Value* table, const std::vector<Value>& tags) {
    std::vector<std::string> paths;
    if (!table || !table->is_sequence()) return paths;
    const Sequence& entries = table->as_sequence();
    if (!entries.empty() && entries[0].is_sequence()) {
        paths.reserve(entries.size());
        for (const auto& entry : entries) {
            const Sequence* pair = entry.is_sequence() ? &entry.as_sequence() : nullptr;
            if (!pair || pair->size() != 2 || !(*pair)[1].is_text()) throw MissingFact("malformed path entry");
            std::string path = path_below(paths, (*pair)[0]);
            path += (*pair)[1].as_text();
            paths.push_back(std::move(path));
        }
        return paths;
    }
    if (entries.size() % 3 != 0) throw MissingFact("malformed path table");
    paths.reserve(entries.size() / 3);
    for (std::size_t i = 0; i < entries.size(); i += 3) {
        const Value& tag = entries[i + 1];
        const Value& n = entries[i + 2];
        if (!tag.is_integer() || tag.as_integer() < 0 || static_cast<std::size_t>(tag.as_integer()) >= tags.size() ||
            !tags[tag.as_integer()].is_text() || !n.is_integer())
            throw MissingFact("malformed path entry");
        const Value& back = entries[i];
        const auto here = static_cast<std::int64_t>(paths.size());
        if (!back.is_integer() || back.as_integer() < 1 || back.as_integer() > here + 1)
            throw MissingFact("malformed path entry");
        std::string path = path_below(paths, Value(here - back.as_integer()));
        path += tags[tag.as_integer()].as_text();
        path += '[';
        path += std::to_string(n.as_integer());
        path += ']';
        paths.push_back(std::move(path));
    }
    return paths;
}

std::shared_ptr<const MemoryPage::Tables> read_tables(const Value& facts) {
    auto tables = std::make_shared<MemoryPage::Tables>();
    tables->tags = read_tags(facts.get("tags"));
    tables->paths = expand_paths(facts.get("paths"), tables->tags);
    return tables;
}

}  // namespace

MemoryPage::MemoryPage(Value facts)
    : facts_(std::make_shared<const Value>(std::move(facts))),
      tables_(read_tables(*facts_)) {
    for (auto [name, index] : {std::pair{"queries", &queries_}, std::pair{"first", &first_}})
        if (const Value* table = facts_->get(name); table && table->is_map())
            for (const auto& e : table->as_map()) index->emplace(e.key, &e.value);  // first wins, as find() would
}

ElementPtr MemoryPage::element(const Value& index) {
    if (!elements_) {
        const Value& elements = require(facts_->get("elements"), "elements");
        if (!elements.is_sequence()) throw MissingFact("element index out of range");
        elements_ = &elements.as_sequence();
    }
    if (!index.is_integer() || index.as_integer() < 0 || static_cast<std::size_t>(index.as_integer()) >= elements_->size())
        throw MissingFact("element index out of range");
    return std::make_unique<MemoryElement>(facts_, tables_, (*elements_)[index.as_integer()]);
}

std::vector<ElementPtr> MemoryPage::query_all(std::string_view selector) {
    auto found = queries_.find(selector);
    if (found == queries_.end()) throw MissingFact("query not captured: " + std::string(selector));
    const Value* hits = found->second;
    std::vector<ElementPtr> out;
    if (const Value* steps = hits->get("d")) {
        // {"d": [first, step, ...]}: each number is the previous one plus its step.
        if (!steps->is_sequence()) throw MissingFact("query result is not a list");
        out.reserve(steps->as_sequence().size());
        std::int64_t index = 0;
        for (const auto& step : steps->as_sequence()) {
            if (!step.is_integer() || __builtin_add_overflow(index, step.as_integer(), &index))
                throw MissingFact("element index out of range");
            out.push_back(element(Value(index)));
        }
        return out;
    }
    if (!hits->is_sequence()) throw MissingFact("query result is not a list");
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
