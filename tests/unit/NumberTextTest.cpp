#include "engine/NumberText.h"

#include <gtest/gtest.h>

#include <optional>

namespace zevaver {

namespace {

TEST(NumberText, SettingsNumbersMustBeWholeIntegers) {
    // clang-format off
    const std::pair<const char*, std::optional<int32_t>> cases[] = {
        {"716", 716}, {"-1", -1}, {"+24645", 24645}, {"   120", 120}, {"007", 7}, {"$1F", 31},
        {"x1f", 31}, {"X1F", 31}, {"0x1F", 31}, {"0X1f", 31}, {"-$10", -16},
        {"2147483647", INT32_MAX}, {"-2147483648", INT32_MIN}, {"2147483648", {}},
        {"-2147483649", {}}, {"$FFFFFFFF", {}}, {"", {}}, {"   ", {}}, {"-", {}}, {"$", {}},
        {"0x", {}}, {"12 ", {}}, {"12abc", {}}, {"1 2", {}}, {"\t5", {}}, {"- 5", {}},
        {"$G", {}}, {"1e3", {}},
    };
    // clang-format on
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(ParseWholeInteger(text), expected) << '"' << text << '"';
        EXPECT_EQ(ReadSettingsNumber(text), expected.value_or(0)) << '"' << text << '"';
    }
}

TEST(NumberText, LayoutNumbersReadAsFarAsTheyCanAndTheSignCountsOnlyAtTheEnd) {
    // clang-format off
    const std::pair<const char*, int64_t> cases[] = {
        {"  60", 60}, {"62 ; comma", 62}, {"60abc", 60}, {"+60", 60}, {"-1", -1}, {"-1 ", 1},
        {"-12; remark", 12}, {"-5x", 5}, {"$3C", 60}, {"x3c", 60}, {"0X3c and more", 60},
        {"-$3C", -60}, {"-0x3C ", 60}, {"", 0}, {"abc", 0}, {"-", 0}, {"$", 0}, {"=60", 0},
        {"300", 300}, {"4294967295", 4294967295}, {"42949672950", 4294967295},
        {"4294967296", 429496729}, {"-4294967295", -4294967295},
    };
    // clang-format on
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(ReadLeadingNumber(text), expected) << '"' << text << '"';
    }
}

TEST(NumberText, YesAndNoAreExactAndCaseSensitive) {
    EXPECT_EQ(ParseYesNo("Yes"), true);
    EXPECT_EQ(ParseYesNo("No"), false);
    for (const char* other : {"yes", "YES", "no", "NO", "1", "0", "", " Yes", "Yes ", "True"})
        EXPECT_EQ(ParseYesNo(other), std::nullopt) << '"' << other << '"';
    EXPECT_STREQ(YesNoText(true), "Yes");
    EXPECT_STREQ(YesNoText(false), "No");
}

} // namespace

} // namespace zevaver
