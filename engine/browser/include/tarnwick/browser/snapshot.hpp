// DOM snapshots: one page read written to a timestamped JSON file for
// debugging a run.
#pragma once

#include <ctime>
#include <string>
#include <string_view>

#include "tarnwick/core/value.hpp"

namespace tarnwick::browser {

// The address with "://" and "/" made "_", cut to 60 characters.
std::string snapshot_slug(std::string_view url);
// "%Y%m%d_%H%M%S" of `local`, "_", the slug, ".json".
std::string snapshot_file_name(std::string_view url, const std::tm& local);
// {"url", "elements", "text_elements"} as two-space-indented ASCII JSON.
std::string snapshot_document(std::string_view url, const Value& elements, const Value& text_elements);

// Creates `directory` (with parents), then writes the document under a name
// no other snapshot holds: a second read in the same second gets "_1", then
// "_2", … before ".json" instead of overwriting the first. Returns the path.
// Throws std::filesystem::filesystem_error or std::runtime_error on failure.
std::string write_snapshot(std::string_view directory, std::string_view url, const Value& elements,
                           const Value& text_elements);

}  // namespace tarnwick::browser
