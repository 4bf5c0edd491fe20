// Code-point forms of unquoting, cleaning and ordinal extraction, shared by
// parse() and the public UTF-8 wrappers.
#pragma once

#include <utility>
#include <vector>

#include "codepoints.hpp"

namespace tarnwick::stepreader::detail {

struct Unquoted {
    cp::Text text;
    std::vector<cp::Text> literals;
};

Unquoted unquote(cp::View instruction);
cp::Text clean_target(cp::View target);
// The remaining text is a view into `text`.
std::pair<int, cp::View> extract_ordinal(cp::View text);

}  // namespace tarnwick::stepreader::detail
