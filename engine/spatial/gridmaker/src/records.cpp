#include "tarnwick/gridmaker/records.hpp"

#include "tarnwick/core/errors.hpp"

namespace tarnwick::gridmaker {

namespace {

std::string member(std::string_view where, std::string_view key) {
    return std::string(where) + "['" + std::string(key) + "']";
}

[[noreturn]] void wrong_kind(const std::string& what, const char* expected, const Value& v) {
    throw TypeError(what + " must be " + expected + ", not " + python_type_name(v));
}

std::string_view text_field(const Value& map, std::string_view key, std::string_view where) {
    const Value* v = map.get(key);
    if (!v) return {};
    if (!v->is_text()) wrong_kind(member(where, key), "str", *v);
    return v->as_text();
}

Number number_field(const Value& box, std::string_view key, std::string_view where) {
    const Value* v = box.get(key);
    if (!v) return Number::of(std::int64_t{0});
    if (v->is_integer()) return Number::of(v->as_integer());
    if (v->is_real()) return Number::of(v->as_real());
    wrong_kind(member(where, key), "a number", *v);
}

}  // namespace

void read_box(const Value& box, std::string_view where, ElementFields& out) {
    if (!box.is_map()) wrong_kind(std::string(where), "a dict", box);
    out.x = number_field(box, "x", where);
    out.y = number_field(box, "y", where);
    out.width = number_field(box, "width", where);
    out.height = number_field(box, "height", where);
}

ElementFields read_element(const Value& record, std::string_view where, bool interactable) {
    if (!record.is_map()) wrong_kind(std::string(where), "a dict", record);
    ElementFields f;
    f.tag = text_field(record, "tag", where);
    f.text = text_field(record, "text", where);
    if (const Value* attrs = record.get("attributes")) {
        std::string attrs_where = member(where, "attributes");
        if (!attrs->is_map()) wrong_kind(attrs_where, "a dict", *attrs);
        f.label = text_field(*attrs, "_label", attrs_where);
        if (interactable) {
            f.role = text_field(*attrs, "role", attrs_where);
            f.type = text_field(*attrs, "type", attrs_where);
            f.aria_label = text_field(*attrs, "aria-label", attrs_where);
            f.placeholder = text_field(*attrs, "placeholder", attrs_where);
            f.name = text_field(*attrs, "name", attrs_where);
        }
    }
    if (interactable) {
        if (const Value* enabled = record.get("is_enabled")) {
            if (!enabled->is_bool()) wrong_kind(member(where, "is_enabled"), "bool", *enabled);
            f.is_enabled = enabled->as_bool();
        }
    }
    const Value* box = record.get("bounding_box");
    f.has_box = box && !box->is_null() && !(box->is_map() && box->as_map().empty());
    if (f.has_box) read_box(*box, member(where, "bounding_box"), f);
    return f;
}

namespace {

Value number_value(Number n) { return n.is_integer ? Value(n.integer) : Value(n.real); }

}  // namespace

Value position_value(const Position& p) {
    Map m;
    m.reserve(8);
    m.append("x", number_value(p.x));
    m.append("y", number_value(p.y));
    m.append("w", number_value(p.w));
    m.append("h", number_value(p.h));
    m.append("cx", p.cx);
    m.append("cy", p.cy);
    m.append("x2", number_value(p.x2));
    m.append("y2", number_value(p.y2));
    return m;
}

Sequence build_values(const Sequence& dom, const Sequence& texts) {
    std::vector<ElementFields> dom_fields, text_fields;
    dom_fields.reserve(dom.size());
    text_fields.reserve(texts.size());
    for (std::size_t i = 0; i < dom.size(); ++i)
        dom_fields.push_back(read_element(dom[i], "dom_elements[" + std::to_string(i) + "]", true));
    for (std::size_t i = 0; i < texts.size(); ++i)
        text_fields.push_back(read_element(texts[i], "text_elements[" + std::to_string(i) + "]", false));

    std::vector<Entry> entries = build(dom_fields, text_fields);
    Sequence out;
    out.reserve(entries.size());
    for (const Entry& e : entries) {
        const ElementFields& f = e.is_text ? text_fields[e.source] : dom_fields[e.source];
        const Value& record = e.is_text ? texts[e.source] : dom[e.source];
        Map m;
        m.reserve(11);
        m.append("index", static_cast<std::int64_t>(e.index));
        m.append("tag", f.tag);
        m.append("element_type", e.element_type);
        m.append("text", f.text);
        m.append("label", f.label);
        m.append("searchable", e.is_text ? std::string(f.text) : e.searchable);
        m.append("is_enabled", f.is_enabled);
        m.append("is_anchor_only", e.is_text);
        m.append("order_in_type", static_cast<std::int64_t>(e.order_in_type));
        m.append("position", position_value(e.position));
        m.append("element", record);
        out.push_back(Value(std::move(m)));
    }
    return out;
}

}  // namespace tarnwick::gridmaker
