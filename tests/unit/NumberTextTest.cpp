#include "engine/NumberText.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

struct WholeCase {
    const char* text;
    std::optional<int32_t> expected;
};

TEST(NumberText, SettingsNumbersMustBeWholeIntegers) {
    const WholeCase cases[] = {
        {"0", 0},
        {"716", 716},
        {"-1", -1},
        {"+24645", 24645},
        {"   120", 120},
        {"007", 7},
        {"$1F", 31},
        {"x1f", 31},
        {"X1F", 31},
        {"0x1F", 31},
        {"0X1f", 31},
        {"-$10", -16},
        {"2147483647", 2147483647},
        {"-2147483648", INT32_MIN},
        {"2147483648", std::nullopt},
        {"-2147483649", std::nullopt},
        {"$FFFFFFFF", std::nullopt},
        {"99999999999999999999", std::nullopt},
        {"", std::nullopt},
        {"   ", std::nullopt},
        {"-", std::nullopt},
        {"$", std::nullopt},
        {"0x", std::nullopt},
        {"12 ", std::nullopt},
        {"12abc", std::nullopt},
        {"1 2", std::nullopt},
        {"\t5", std::nullopt},
        {"- 5", std::nullopt},
        {"$G", std::nullopt},
        {"1e3", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ParseWholeInteger(c.text), c.expected) << '"' << c.text << '"';
        EXPECT_EQ(ReadSettingsNumber(c.text), c.expected.value_or(0)) << '"' << c.text << '"';
    }
}

struct LeadingCase {
    const char* text;
    int64_t expected;
};

TEST(NumberText, LayoutNumbersReadAsFarAsTheyCanAndSignCountsOnlyAtTheEnd) {
    const LeadingCase cases[] = {
        {"60", 60},
        {"  60", 60},
        {"62 ; comma", 62},
        {"60abc", 60},
        {"+60", 60},
        {"-1", -1},
        {"-1 ", 1},
        {"-12; remark", 12},
        {"-5x", 5},
        {"$3C", 60},
        {"x3c", 60},
        {"0x3C", 60},
        {"0X3c and more", 60},
        {"-$3C", -60},
        {"-0x3C ", 60},
        {"", 0},
        {" ", 0},
        {"abc", 0},
        {"-", 0},
        {"$", 0},
        {"=60", 0},
        {"300", 300},
        {"4294967295", 4294967295},
        {"42949672950", 4294967295},
        {"4294967296", 429496729},
        {"-4294967295", -4294967295},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ReadLeadingNumber(c.text), c.expected) << '"' << c.text << '"';
}

TEST(NumberText, DecimalTextHasASignAndNoPadding) {
    EXPECT_EQ(FormatDecimal(-1), "-1");
    EXPECT_EQ(FormatDecimal(0), "0");
    EXPECT_EQ(FormatDecimal(24645), "24645");
    EXPECT_EQ(FormatDecimal(INT32_MIN), "-2147483648");
    EXPECT_EQ(ParseWholeInteger(FormatDecimal(INT32_MIN)), INT32_MIN);
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
