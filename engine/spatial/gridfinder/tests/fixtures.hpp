// Hand-built matrix entries for the resolver tests.
#pragma once

#include <string>
#include <string_view>

#include "tarnwick/core/value.hpp"

namespace tarnwick::gridfinder::testing {

struct Box {
    std::int64_t x, y, w, h;
};

inline Value position(Box b) {
    return Map{{"x", b.x},
               {"y", b.y},
               {"w", b.w},
               {"h", b.h},
               {"cx", b.x + b.w / 2.0},
               {"cy", b.y + b.h / 2.0},
               {"x2", b.x + b.w},
               {"y2", b.y + b.h}};
}

// An entry as the matrix builder makes it; `index` is set by matrix().
inline Value entry(std::string_view type, std::string_view text, Box b, Map attrs = {},
                   bool anchor_only = false, std::string_view xpath = "/html[1]/body[1]/div[1]") {
    Map element{{"text", text}, {"attributes", attrs}, {"xpath", xpath}};
    return Map{{"index", 0},
               {"tag", type},
               {"element_type", anchor_only ? std::string_view("text") : type},
               {"text", text},
               {"searchable", text},
               {"is_anchor_only", anchor_only},
               {"position", position(b)},
               {"element", element}};
}

inline Sequence matrix(Sequence entries) {
    for (std::size_t i = 0; i < entries.size(); ++i)
        entries[i].as_map().set("index", static_cast<std::int64_t>(i));
    return entries;
}

inline std::string text_of(const Sequence& m, std::size_t i) { return m[i].get("text")->as_text(); }

}  // namespace tarnwick::gridfinder::testing
