#include "records.hpp"

#include "tarnwick/core/errors.hpp"

namespace tarnwick::textfinder::detail {

std::string RecordName::str() const {
    std::string out(sequence);
    if (index != npos) {
        out += '[';
        out += std::to_string(index);
        out += ']';
    }
    return out;
}

namespace {

[[noreturn]] void wrong_kind(const RecordName& name, std::string_view path, std::string_view wanted,
                             const Value& got) {
    throw TypeError(name.str() + std::string(path) + " must be " + std::string(wanted) + ", not " +
                    std::string(python_type_name(got)));
}

std::string key_path(std::string_view key) { return "['" + std::string(key) + "']"; }

}  // namespace

const Map& record_map(const Value& record, const RecordName& name) {
    if (!record.is_map()) wrong_kind(name, "", "a dict", record);
    return record.as_map();
}

std::string_view text_key(const Map& record, std::string_view key, const RecordName& name) {
    const Value* v = record.find(key);
    if (!v || v->is_null()) return {};
    if (!v->is_text()) wrong_kind(name, key_path(key), "str or None", *v);
    return v->as_text();
}

const Map* map_key(const Map& record, std::string_view key, const RecordName& name) {
    const Value* v = record.find(key);
    if (!v || v->is_null()) return nullptr;
    if (!v->is_map()) wrong_kind(name, key_path(key), "a dict or None", *v);
    return &v->as_map();
}

std::string_view attribute_text(const Map& attributes, std::string_view key,
                                const RecordName& name) {
    return attribute_text(attributes.find(key), key, name);
}

std::string_view attribute_text(const Value* v, std::string_view key, const RecordName& name) {
    if (!v || v->is_null()) return {};
    if (!v->is_text()) wrong_kind(name, "['attributes']" + key_path(key), "str or None", *v);
    return v->as_text();
}

bool flag_key(const Map& record, std::string_view key) {
    const Value* v = record.find(key);
    return v && v->truthy();
}

double coordinate(const Map& box, std::string_view key, const RecordName& name,
                  const double* missing) {
    const Value* v = box.find(key);
    if (!v) {
        if (missing) return *missing;
        throw ValueError(name.str() + "['bounding_box'] has no '" + std::string(key) + "'");
    }
    if (!v->is_number())
        wrong_kind(name, "['bounding_box']" + key_path(key), "a number", *v);
    return v->as_number();
}

}  // namespace tarnwick::textfinder::detail
