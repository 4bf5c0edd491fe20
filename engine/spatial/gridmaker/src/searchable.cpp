#include "tarnwick/core/text.hpp"
#include "tarnwick/gridmaker/matrix.hpp"

namespace tarnwick::gridmaker {

std::string searchable(const ElementFields& f) {
    std::string joined;
    for (std::string_view part : {f.text, f.label, f.aria_label, f.placeholder, f.name}) {
        if (part.empty()) continue;
        if (!joined.empty()) joined += ' ';
        joined += part;
    }
    std::string_view trimmed = text::strip(joined);
    if (trimmed.size() == joined.size()) return joined;
    return std::string(trimmed);
}

}  // namespace tarnwick::gridmaker
