// Code-point views of the core's str-compatible text operations. The parser
// decodes a step once and cuts every text at code-point positions, so the
// positions found in the lower-cased copy always fit the original.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tarnwick::stepreader::cp {

using Text = std::u32string;
using View = std::u32string_view;

Text decode(std::string_view utf8);
std::string encode(View s);

// str.strip() / str.split() / str.split(None, 1) on code points.
View strip(View s);
std::vector<View> split(View s);
std::vector<View> split_once(View s);

// s.strip(ch) for one ASCII character.
View strip_char(View s, char32_t ch);

// Lower-cases character for character, so positions line up with `s`.
// U+0130 (capital I with dot above) stays as it is: str.lower() turns it into
// two characters, neither of which is a plain "i", and folding it to "i"
// would let it spell keywords that Python's lower-casing never sees.
Text fold(View s);

// Full str.lower() of a word, as UTF-8 (for table look-ups; no positions).
std::string lower_word(View s);

// Comparisons with ASCII keywords.
bool starts_with(View s, std::string_view ascii);
bool ends_with(View s, std::string_view ascii);
bool equals(View s, std::string_view ascii);
std::size_t find(View s, std::string_view ascii, std::size_t from = 0);
std::size_t rfind(View s, std::string_view ascii);

// s[from:to] with Python's clamping: empty when to < from or past the end.
View slice(View s, std::size_t from, std::size_t to = View::npos);

}  // namespace tarnwick::stepreader::cp
