// The record value type: what every record crossing a deliverable boundary
// is made of. It mirrors the JSON-like shapes that page scripts return and
// that Python dicts hold: null, bool, integer, real, text, sequence and a
// string-keyed map that keeps insertion order. Integer and real stay apart,
// and an absent key (find() returns nullptr) differs from a null value.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

namespace tarnwick {

class Value;
struct MapEntry;

// Insertion-ordered, string-keyed map. Lookups are linear: records hold a
// dozen keys, where a scan beats hashing.
class Map {
public:
    Map() = default;
    Map(std::initializer_list<MapEntry> entries);

    const Value* find(std::string_view key) const;
    Value* find(std::string_view key);
    bool contains(std::string_view key) const { return find(key) != nullptr; }

    // Inserts at the end, or overwrites in place when the key exists.
    Value& set(std::string_view key, Value value);
    // Appends without looking for an existing key (caller knows it is new).
    Value& append(std::string key, Value value);
    bool erase(std::string_view key);

    std::size_t size() const { return entries_.size(); }
    bool empty() const { return entries_.empty(); }
    void reserve(std::size_t n) { entries_.reserve(n); }

    auto begin() const { return entries_.begin(); }
    auto end() const { return entries_.end(); }
    auto begin() { return entries_.begin(); }
    auto end() { return entries_.end(); }

    bool operator==(const Map& other) const;

private:
    std::vector<MapEntry> entries_;
};

using Sequence = std::vector<Value>;

class Value {
public:
    enum class Kind { Null, Bool, Integer, Real, Text, Sequence, Map };

    Value() = default;
    Value(std::nullptr_t) {}
    Value(bool b) : data_(b) {}
    Value(int i) : data_(static_cast<std::int64_t>(i)) {}
    Value(std::int64_t i) : data_(i) {}
    Value(double d) : data_(d) {}
    Value(const char* s) : data_(std::string(s)) {}
    Value(std::string s) : data_(std::move(s)) {}
    Value(std::string_view s) : data_(std::string(s)) {}
    Value(Sequence s) : data_(std::move(s)) {}
    Value(Map m) : data_(std::move(m)) {}

    Kind kind() const { return static_cast<Kind>(data_.index()); }
    bool is_null() const { return kind() == Kind::Null; }
    bool is_bool() const { return kind() == Kind::Bool; }
    bool is_integer() const { return kind() == Kind::Integer; }
    bool is_real() const { return kind() == Kind::Real; }
    bool is_number() const { return is_integer() || is_real(); }
    bool is_text() const { return kind() == Kind::Text; }
    bool is_sequence() const { return kind() == Kind::Sequence; }
    bool is_map() const { return kind() == Kind::Map; }

    bool as_bool() const { return std::get<bool>(data_); }
    std::int64_t as_integer() const { return std::get<std::int64_t>(data_); }
    double as_real() const { return std::get<double>(data_); }
    // Integer or real as a double.
    double as_number() const { return is_integer() ? static_cast<double>(as_integer()) : as_real(); }
    const std::string& as_text() const { return std::get<std::string>(data_); }
    std::string& as_text() { return std::get<std::string>(data_); }
    const Sequence& as_sequence() const { return std::get<Sequence>(data_); }
    Sequence& as_sequence() { return std::get<Sequence>(data_); }
    const Map& as_map() const { return std::get<Map>(data_); }
    Map& as_map() { return std::get<Map>(data_); }

    // Map member lookup; nullptr when this is not a map or the key is absent.
    const Value* get(std::string_view key) const {
        return is_map() ? as_map().find(key) : nullptr;
    }

    // Python truthiness: null, false, 0, 0.0, "" and empty containers are false.
    bool truthy() const;

    bool operator==(const Value& other) const { return data_ == other.data_; }

private:
    std::variant<std::monostate, bool, std::int64_t, double, std::string, Sequence, Map> data_;
};

struct MapEntry {
    std::string key;
    Value value;
    bool operator==(const MapEntry& other) const = default;
};

// The Python type name of the value's kind ("NoneType", "int", "dict", …),
// for error messages that speak the caller's language.
const char* python_type_name(const Value& v);

// Convenience readers with the defaults records use for absent keys.
// A key holding a value of another kind counts as absent.
std::string_view text_or(const Value* v, std::string_view fallback = {});
bool bool_or(const Value* v, bool fallback);

}  // namespace tarnwick
