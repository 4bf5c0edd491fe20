#include "tarnwick/gridmaker/matrix.hpp"

namespace tarnwick::gridmaker {

std::string_view element_type(std::string_view tag, std::string_view role,
                              std::string_view input_type) {
    for (std::string_view explicit_role : {"button", "link", "textbox", "combobox"})
        if (role == explicit_role) return explicit_role;
    if (tag == "input" && (input_type == "submit" || input_type == "button" || input_type == "reset"))
        return "button";
    for (const auto& [t, type] : kTagToType)
        if (tag == t) return type;
    return tag;
}

}  // namespace tarnwick::gridmaker
