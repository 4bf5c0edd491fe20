#include "tarnwick/browser/snapshot.hpp"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <stdexcept>

#include "tarnwick/core/json.hpp"
#include "tarnwick/core/text.hpp"

namespace tarnwick::browser {

namespace {

constexpr std::size_t kSlugChars = 60;

// os.path.join(directory, name) for a relative name.
std::string join_path(std::string_view directory, std::string_view name) {
    std::string path(directory);
    if (!path.empty() && path.back() != '/') path += '/';
    path += name;
    return path;
}

}  // namespace

std::string snapshot_slug(std::string_view url) {
    std::string slug = text::replace_all(text::replace_all(url, "://", "_"), "/", "_");
    // Cut at a code-point boundary after 60 characters.
    std::size_t pos = 0;
    for (std::size_t n = 0; n < kSlugChars && pos < slug.size(); ++n) text::next_code_point(slug, pos);
    slug.resize(pos);
    return slug;
}

std::string snapshot_file_name(std::string_view url, const std::tm& local) {
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d_%H%M%S", &local);
    return std::string(stamp) + "_" + snapshot_slug(url) + ".json";
}

std::string snapshot_document(std::string_view url, const Value& elements, const Value& text_elements) {
    Map doc;
    doc.append("url", Value(url));
    doc.append("elements", elements);
    doc.append("text_elements", text_elements);
    return json::dumps(Value(std::move(doc)), 2);
}

std::string write_snapshot(std::string_view directory, std::string_view url, const Value& elements,
                           const Value& text_elements) {
    if (!directory.empty()) std::filesystem::create_directories(std::filesystem::path(std::string(directory)));
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    const std::string name = snapshot_file_name(url, local);
    const std::string stem = name.substr(0, name.size() - 5);
    const std::string document = snapshot_document(url, elements, text_elements);
    for (unsigned n = 0;; ++n) {
        const std::string path =
            join_path(directory, n == 0 ? name : stem + "_" + std::to_string(n) + ".json");
        // "x": create only, so a snapshot of the same second is never overwritten.
        std::FILE* f = std::fopen(path.c_str(), "wx");
        if (!f) {
            if (errno == EEXIST) continue;
            throw std::runtime_error("cannot write snapshot " + path + ": " + std::strerror(errno));
        }
        const bool ok = std::fwrite(document.data(), 1, document.size(), f) == document.size();
        if (std::fclose(f) != 0 || !ok) throw std::runtime_error("cannot write snapshot " + path);
        return path;
    }
}

}  // namespace tarnwick::browser
