#include <gtest/gtest.h>

#include "tarnwick/stepreader/instruction_parser.hpp"

namespace sr = tarnwick::stepreader;
using Issues = std::vector<std::string>;

namespace {

const std::string kMissingInto =
    "`type` instruction missing `into` keyword. Expected: type <text> into <target>";
const std::string kMissingText =
    "`type` instruction missing text to type. Expected: type <text> into <target>";
const std::string kMissingFrom =
    "`select` instruction missing `from` keyword. Expected: select <value> from <target>";
const std::string kVerifyState =
    "`verify` instruction missing state. Expected ending: is present | is visible | is "
    "enabled | is disabled";
const std::string kVerifyTextState =
    "`verify text` instruction missing state. Expected ending: is present | is visible";

}  // namespace

TEST(Validate, Checks) {
    const std::pair<std::string, Issues> cases[] = {
        {"Click Login", {}},
        {" \t ", {"Instruction is empty."}},
        {"type \"abc into Name",
         {"Unbalanced quote \u2014 missing closing `\"` in: 'type \"abc into Name'"}},
        {"tap Login",
         {"Unknown action 'tap'. Expected one of: click, type, verify, hover, select, press, "
          "wait, find, extract, sendkeys."}},
        {"type into Name", {kMissingText}},
        {"type  into Name", {kMissingText}},
        {"type hello Name", {kMissingInto}},
        {"type hello into", {kMissingInto}},
        {"select Blue Colour", {kMissingFrom}},
        {"verify Login button", {kVerifyState}},
        {"verify dialog says Saved", {}},
        {"verify text Welcome", {kVerifyTextState}},
        {"verify text under Price is $5", {kVerifyTextState}},
        {"verify text leftover is here", {}},
        {"wait 1.5", {"`wait` value must be a number in milliseconds. Got: '1.5'"}},
        {"wait '\"500\"'", {"`wait` value must be a number in milliseconds. Got: '\"500\"'"}},
        {"wait \"500\"", {}},
        {"back", {}},
        {"wait ", {}},  // trimmed to "wait": no value to test
    };
    sr::InstructionParser parser;
    for (const auto& [step, issues] : cases) EXPECT_EQ(parser.validate(step), issues) << step;
}

TEST(ValidateAll, NumbersFaultyStepsFromOne) {
    sr::InstructionParser parser;
    sr::NumberedIssues got = parser.validate_all({"click Login", "tap Login", "wait 500"});
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].first, 2u);
    EXPECT_TRUE(parser.validate_all({}).empty());
}
