#include "tarnwick/core/value.hpp"

namespace tarnwick {

Map::Map(std::initializer_list<MapEntry> entries) {
    entries_.reserve(entries.size());
    for (const auto& e : entries) set(e.key, e.value);
}

const Value* Map::find(std::string_view key) const {
    for (const auto& e : entries_)
        if (e.key == key) return &e.value;
    return nullptr;
}

Value* Map::find(std::string_view key) {
    for (auto& e : entries_)
        if (e.key == key) return &e.value;
    return nullptr;
}

Value& Map::set(std::string_view key, Value value) {
    if (Value* existing = find(key)) {
        *existing = std::move(value);
        return *existing;
    }
    return append(std::string(key), std::move(value));
}

Value& Map::append(std::string key, Value value) {
    entries_.push_back(MapEntry{std::move(key), std::move(value)});
    return entries_.back().value;
}

bool Map::erase(std::string_view key) {
    for (auto it = entries_.begin(); it != entries_.end(); ++it) {
        if (it->key == key) {
            entries_.erase(it);
            return true;
        }
    }
    return false;
}

bool Map::operator==(const Map& other) const { return entries_ == other.entries_; }

bool Value::truthy() const {
    switch (kind()) {
        case Kind::Null: return false;
        case Kind::Bool: return as_bool();
        case Kind::Integer: return as_integer() != 0;
        case Kind::Real: return as_real() != 0.0;
        case Kind::Text: return !as_text().empty();
        case Kind::Sequence: return !as_sequence().empty();
        case Kind::Map: return !as_map().empty();
    }
    return false;
}

const char* python_type_name(const Value& v) {
    switch (v.kind()) {
        case Value::Kind::Null: return "NoneType";
        case Value::Kind::Bool: return "bool";
        case Value::Kind::Integer: return "int";
        case Value::Kind::Real: return "float";
        case Value::Kind::Text: return "str";
        case Value::Kind::Sequence: return "list";
        case Value::Kind::Map: return "dict";
    }
    return "object";
}

std::string_view text_or(const Value* v, std::string_view fallback) {
    return (v && v->is_text()) ? std::string_view(v->as_text()) : fallback;
}

bool bool_or(const Value* v, bool fallback) {
    return (v && v->is_bool()) ? v->as_bool() : fallback;
}

}  // namespace tarnwick
