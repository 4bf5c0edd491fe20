#include "tarnwick/gridfinder/value_entries.hpp"

#include "tarnwick/core/errors.hpp"

namespace tarnwick::gridfinder {

namespace {

std::string member(const std::string& where, std::string_view key) {
    return where + "['" + std::string(key) + "']";
}

[[noreturn]] void wrong_kind(const std::string& what, const char* expected, const Value& v) {
    throw TypeError(what + " must be " + expected + ", not " + python_type_name(v));
}

}  // namespace

std::string ValueEntries::name(std::size_t i) const { return name_ + "[" + std::to_string(i) + "]"; }

const Map& ValueEntries::entry(std::size_t i) const {
    const Value& v = entries_[i];
    if (!v.is_map()) wrong_kind(name(i), "a dict", v);
    return v.as_map();
}

const Map& ValueEntries::element(std::size_t i) const {
    const Value* v = entry(i).find("element");
    if (!v) throw ValueError(name(i) + " has no 'element'");
    if (!v->is_map()) wrong_kind(member(name(i), "element"), "a dict", *v);
    return v->as_map();
}

namespace {

// `where` spells the map's place for an error message; only then is it called.
template <typename Where>
std::string_view text_key(const Map& map, std::string_view key, Where where) {
    const Value* v = map.find(key);
    if (!v) return {};
    if (!v->is_text()) wrong_kind(member(where(), key), "str", *v);
    return v->as_text();
}

}  // namespace

Number ValueEntries::index(std::size_t i) const {
    const Value* v = entry(i).find("index");
    if (!v) throw ValueError(name(i) + " has no 'index'");
    if (v->is_integer()) return Number::of(v->as_integer());
    if (v->is_real()) return Number::of(v->as_real());
    wrong_kind(member(name(i), "index"), "a number", *v);
}

std::string_view ValueEntries::text(std::size_t i) const {
    return text_key(entry(i), "text", [&] { return name(i); });
}

std::string_view ValueEntries::searchable(std::size_t i) const {
    return text_key(entry(i), "searchable", [&] { return name(i); });
}

std::optional<std::string_view> ValueEntries::element_type(std::size_t i) const {
    const Value* v = entry(i).find("element_type");
    if (!v) return std::nullopt;
    if (!v->is_text()) wrong_kind(member(name(i), "element_type"), "str", *v);
    return v->as_text();
}

bool ValueEntries::is_anchor_only(std::size_t i) const {
    const Value* v = entry(i).find("is_anchor_only");
    if (!v) return false;
    if (!v->is_bool()) wrong_kind(member(name(i), "is_anchor_only"), "bool", *v);
    return v->as_bool();
}

std::optional<Number> ValueEntries::coordinate(std::size_t i, Coord c) const {
    const Value* pos = entry(i).find("position");
    if (!pos) throw ValueError(name(i) + " has no 'position'");
    if (!pos->is_map()) wrong_kind(member(name(i), "position"), "a dict", *pos);
    const Value* v = pos->as_map().find(coord_name(c));
    if (!v) return std::nullopt;
    if (v->is_integer()) return Number::of(v->as_integer());
    if (v->is_real()) return Number::of(v->as_real());
    wrong_kind(member(member(name(i), "position"), coord_name(c)), "a number", *v);
}

std::string_view ValueEntries::attribute(std::size_t i, AnchorAttribute a) const {
    const Value* attrs = element(i).find("attributes");
    if (!attrs) return {};
    auto where = [&] { return member(member(name(i), "element"), "attributes"); };
    if (!attrs->is_map()) wrong_kind(where(), "a dict", *attrs);
    return text_key(attrs->as_map(), attribute_name(a), where);
}

std::string_view ValueEntries::xpath(std::size_t i) const {
    return text_key(element(i), "xpath", [&] { return member(name(i), "element"); });
}

}  // namespace tarnwick::gridfinder
