// Text operations with Python `str` semantics on UTF-8 text.
//
// Every rule of the engine that lower-cases, trims, splits, tests for digits
// or counts characters does so the way Python's str methods do, so results
// agree with what a test author sees in Python. Unicode properties come from
// ICU. Text may carry lone surrogates encoded as three-byte sequences (the
// binding passes Python strings through with "surrogatepass"); they are
// handled as ordinary non-whitespace, non-printable, caseless code points.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tarnwick::text {

// Code point decoding/encoding. Decoding is lenient: an invalid byte decodes
// as U+FFFD consuming one byte, so every input yields a result.
std::u32string decode(std::string_view utf8);
std::string encode(std::u32string_view cps);
void append_utf8(std::string& out, char32_t cp);
// Decodes one code point at `pos`, advancing `pos`.
char32_t next_code_point(std::string_view s, std::size_t& pos);

// The Unicode version whose character database the text rules follow. ICU
// may be newer than the Python it serves; characters assigned after this
// version then count as unassigned (no case, not a digit, not printable), so
// results match Python's str exactly. 0.0 (the default) follows ICU.
void set_unicode_version(int major, int minor);

// Character classes as Python's str.isspace(), str.isdigit(),
// str.isprintable() define them for one character.
bool is_space(char32_t c);
bool is_digit(char32_t c);
bool is_printable(char32_t c);

// str.lower(): full lower-casing (İ becomes two code points, final sigma
// is context-sensitive).
std::string lower(std::string_view s);
// Per-character simple lower-case mapping: always one code point for one,
// so positions in the result line up with the input.
char32_t lower_char(char32_t c);
std::string lower_simple(std::string_view s);

// str.strip() / lstrip() / rstrip() with no argument.
std::string_view strip(std::string_view s);
std::string_view lstrip(std::string_view s);
std::string_view rstrip(std::string_view s);
// str.strip(chars): removes the given ASCII characters from both ends.
std::string_view strip_chars(std::string_view s, std::string_view ascii_chars);

// str.split() with no argument: runs of whitespace separate, no empty pieces.
std::vector<std::string_view> split(std::string_view s);
// str.split(None, 1): at most two pieces; the second keeps trailing whitespace.
std::vector<std::string_view> split_once(std::string_view s);

// any(ch.isdigit() for ch in s)
bool has_digit(std::string_view s);
// s != "" and s.isdigit() restricted to ASCII 0-9 (str.isdecimal() is wider;
// callers that need "one or more decimal digits" in the regex sense use this).
bool is_ascii_digits(std::string_view s);
// len(s): number of code points.
std::size_t length(std::string_view s);

// repr(s) for a str, and repr(list_of_str).
std::string repr(std::string_view s);
std::string repr_list(const std::vector<std::string>& items);

// Small helpers used all over the engine.
bool starts_with(std::string_view s, std::string_view prefix);
bool ends_with(std::string_view s, std::string_view suffix);
bool contains(std::string_view haystack, std::string_view needle);
std::string replace_all(std::string_view s, std::string_view from, std::string_view to);
std::string join(const std::vector<std::string_view>& parts, std::string_view sep);
std::string join(const std::vector<std::string>& parts, std::string_view sep);

}  // namespace tarnwick::text
