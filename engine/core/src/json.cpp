#include "tarnwick/core/json.hpp"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <string_view>

#include "tarnwick/core/text.hpp"

namespace tarnwick::json {

std::string float_repr(double d) {
    if (std::isnan(d)) return "nan";
    if (std::isinf(d)) return d > 0 ? "inf" : "-inf";
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, d, std::chars_format::scientific);
    std::string_view sci(buf, static_cast<std::size_t>(res.ptr - buf));
    bool negative = false;
    if (!sci.empty() && sci[0] == '-') {
        negative = true;
        sci.remove_prefix(1);
    }
    std::size_t e = sci.find('e');
    std::string digits;
    for (char c : sci.substr(0, e))
        if (c != '.') digits.push_back(c);
    int exp = std::stoi(std::string(sci.substr(e + 1)));
    // Shortest form: drop trailing zeros of the digit string (keep one).
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
    int decpt = exp + 1;
    int nd = static_cast<int>(digits.size());
    std::string out = negative ? "-" : "";
    if (decpt > -4 && decpt <= 16) {
        if (decpt <= 0) {
            out += "0.";
            out.append(static_cast<std::size_t>(-decpt), '0');
            out += digits;
        } else if (decpt >= nd) {
            out += digits;
            out.append(static_cast<std::size_t>(decpt - nd), '0');
            out += ".0";
        } else {
            out += digits.substr(0, static_cast<std::size_t>(decpt));
            out += ".";
            out += digits.substr(static_cast<std::size_t>(decpt));
        }
    } else {
        out += digits[0];
        if (nd > 1) {
            out += ".";
            out += digits.substr(1);
        }
        int x = decpt - 1;
        out += x < 0 ? "e-" : "e+";
        int ax = x < 0 ? -x : x;
        if (ax < 10) out += "0";
        out += std::to_string(ax);
    }
    return out;
}

namespace {

void write_string(std::string& out, std::string_view s) {
    out.push_back('"');
    char buf[16];
    std::size_t pos = 0;
    while (pos < s.size()) {
        char32_t c = text::next_code_point(s, pos);
        switch (c) {
            case U'"': out += "\\\""; continue;
            case U'\\': out += "\\\\"; continue;
            case U'\n': out += "\\n"; continue;
            case U'\r': out += "\\r"; continue;
            case U'\t': out += "\\t"; continue;
            case U'\b': out += "\\b"; continue;
            case U'\f': out += "\\f"; continue;
            default: break;
        }
        if (c >= 0x20 && c < 0x7F) {
            out.push_back(static_cast<char>(c));
        } else if (c < 0x10000) {
            std::snprintf(buf, sizeof buf, "\\u%04x", static_cast<unsigned>(c));
            out += buf;
        } else {
            char32_t v = c - 0x10000;
            std::snprintf(buf, sizeof buf, "\\u%04x\\u%04x", static_cast<unsigned>(0xD800 + (v >> 10)),
                          static_cast<unsigned>(0xDC00 + (v & 0x3FF)));
            out += buf;
        }
    }
    out.push_back('"');
}

void newline(std::string& out, int indent, int level) {
    if (indent < 0) return;
    out.push_back('\n');
    out.append(static_cast<std::size_t>(indent * level), ' ');
}

void write(std::string& out, const Value& v, int indent, int level) {
    switch (v.kind()) {
        case Value::Kind::Null: out += "null"; break;
        case Value::Kind::Bool: out += v.as_bool() ? "true" : "false"; break;
        case Value::Kind::Integer: out += std::to_string(v.as_integer()); break;
        case Value::Kind::Real: {
            double d = v.as_real();
            if (std::isnan(d)) out += "NaN";
            else if (std::isinf(d)) out += d > 0 ? "Infinity" : "-Infinity";
            else out += float_repr(d);
            break;
        }
        case Value::Kind::Text: write_string(out, v.as_text()); break;
        case Value::Kind::Sequence: {
            const auto& seq = v.as_sequence();
            if (seq.empty()) {
                out += "[]";
                break;
            }
            out.push_back('[');
            for (std::size_t i = 0; i < seq.size(); ++i) {
                if (i) out += indent < 0 ? ", " : ",";
                newline(out, indent, level + 1);
                write(out, seq[i], indent, level + 1);
            }
            newline(out, indent, level);
            out.push_back(']');
            break;
        }
        case Value::Kind::Map: {
            const auto& map = v.as_map();
            if (map.empty()) {
                out += "{}";
                break;
            }
            out.push_back('{');
            bool first = true;
            for (const auto& entry : map) {
                if (!first) out += indent < 0 ? ", " : ",";
                first = false;
                newline(out, indent, level + 1);
                write_string(out, entry.key);
                out += ": ";
                write(out, entry.value, indent, level + 1);
            }
            newline(out, indent, level);
            out.push_back('}');
            break;
        }
    }
}

}  // namespace

std::string dumps(const Value& value, int indent) {
    std::string out;
    write(out, value, indent, 0);
    return out;
}

}  // namespace tarnwick::json
