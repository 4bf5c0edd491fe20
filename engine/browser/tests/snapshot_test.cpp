#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "tarnwick/browser/snapshot.hpp"

namespace tarnwick::browser {
namespace {

namespace fs = std::filesystem;

TEST(Snapshot, SlugKeepsEverythingButSlashesAndCutsAtSixty) {
    EXPECT_EQ(snapshot_slug("https://shop.example:8443/a?b=1&c"), "https_shop.example:8443_a?b=1&c");
    const std::string long_url = "http://x/" + std::string(100, 'y');
    EXPECT_EQ(snapshot_slug(long_url), ("http_x_" + std::string(100, 'y')).substr(0, 60));
    // Sixty characters, not bytes.
    std::string umlauts;
    for (int i = 0; i < 70; ++i) umlauts += "\xc3\xbc";
    EXPECT_EQ(snapshot_slug(umlauts).size(), 120u);
}

TEST(Snapshot, FileNameFromLocalTime) {
    std::tm t{};
    t.tm_year = 2026 - 1900;
    t.tm_mon = 0;
    t.tm_mday = 2;
    t.tm_hour = 3;
    t.tm_min = 4;
    t.tm_sec = 5;
    EXPECT_EQ(snapshot_file_name("about:blank", t), "20260102_030405_about:blank.json");
}

TEST(Snapshot, DocumentLayout) {
    Value elements = Sequence{Value(Map{{"text", "\xc3\x9c"}, {"x", 8.0}, {"ok", true}})};
    EXPECT_EQ(snapshot_document("u", elements, Sequence{}),
              "{\n  \"url\": \"u\",\n  \"elements\": [\n    {\n      \"text\": \"\\u00dc\",\n"
              "      \"x\": 8.0,\n      \"ok\": true\n    }\n  ],\n  \"text_elements\": []\n}");
}

TEST(Snapshot, NeverOverwritesASnapshotOfTheSameSecond) {
    const fs::path dir = fs::temp_directory_path() / ("tarnwick_snapshot_test_" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    // Occupy this second's and the next second's names, whichever the write gets.
    for (std::time_t t : {std::time(nullptr), std::time(nullptr) + 1}) {
        std::tm local{};
        localtime_r(&t, &local);
        std::ofstream(dir / snapshot_file_name("about:blank", local)) << "first";
    }
    const std::string path = write_snapshot((dir / "").string(), "about:blank", Sequence{}, Sequence{});
    EXPECT_NE(path.find("_about:blank_1.json"), std::string::npos) << path;
    std::ifstream in(path);
    std::stringstream content;
    content << in.rdbuf();
    EXPECT_EQ(content.str(), snapshot_document("about:blank", Sequence{}, Sequence{}));
    fs::remove_all(dir);
}

TEST(Snapshot, CreatesMissingDirectories) {
    const fs::path dir = fs::temp_directory_path() / ("tarnwick_snapshot_dirs_" + std::to_string(::getpid()));
    fs::remove_all(dir);
    const std::string path = write_snapshot((dir / "a" / "b").string(), "x", Sequence{}, Sequence{});
    EXPECT_TRUE(fs::exists(path));
    EXPECT_EQ(fs::path(path).parent_path(), dir / "a" / "b");
    fs::remove_all(dir);
}

}  // namespace
}  // namespace tarnwick::browser
