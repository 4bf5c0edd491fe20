// CSS identifier escaping with the rules of the browser's CSS.escape(), so an
// id such as ":r1:", "1st" or one holding quotes can be used in "#…" and
// [for="…"] selectors.
#pragma once

#include <string>
#include <string_view>

namespace tarnwick::browser {

std::string css_escape(std::string_view utf8);

}  // namespace tarnwick::browser
