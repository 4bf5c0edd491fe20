// Case-insensitive comparisons against an already lower-cased text, with
// str.lower() semantics. Page texts are mostly ASCII, where lowering is a
// byte map and needs no copy; anything else goes through the full mapping.
#pragma once

#include <string>
#include <string_view>

#include "tarnwick/core/text.hpp"

namespace tarnwick::gridfinder::detail {

inline bool is_ascii(std::string_view s) {
    for (unsigned char c : s)
        if (c >= 0x80) return false;
    return true;
}

inline char ascii_lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

// s.lower() == lowered
inline bool lower_equals(std::string_view s, std::string_view lowered) {
    if (!is_ascii(s)) return text::lower(s) == lowered;
    if (s.size() != lowered.size()) return false;
    for (std::size_t i = 0; i < s.size(); ++i)
        if (ascii_lower(s[i]) != lowered[i]) return false;
    return true;
}

// s.lower().startswith(prefix)
inline bool lower_starts_with(std::string_view s, std::string_view prefix) {
    if (!is_ascii(s)) return text::lower(s).starts_with(prefix);
    if (s.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (ascii_lower(s[i]) != prefix[i]) return false;
    return true;
}

inline std::string lower(std::string_view s) {
    if (!is_ascii(s)) return text::lower(s);
    std::string out(s);
    for (char& c : out) c = ascii_lower(c);
    return out;
}

}  // namespace tarnwick::gridfinder::detail
