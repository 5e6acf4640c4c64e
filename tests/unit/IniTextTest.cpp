#include "engine/IniText.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace zevaver {

namespace {

using Values = std::vector<std::pair<std::string, std::string>>;

TEST(IniText, ReadsSectionsAndValuesAsPeopleWriteThem) {
    const std::string text = "; settings\r\n"
                             "loose = before any header\n"
                             "[MIDI Keyboard]\r\n"
                             "Skin=Zevizi\n"
                             "  Note Width =  16  \n"
                             "# a comment\n"
                             "no equals sign here\n"
                             "\n"
                             "[Other]\n"
                             "Skin=Midnight\n"
                             "[MIDI Keyboard]\n"
                             "Skin=Classic\n"
                             "Empty=";
    const std::vector<IniSection> sections = ParseIni(text);
    ASSERT_EQ(sections.size(), 3u);
    EXPECT_EQ(sections[0], (IniSection{"", Values{{"loose", "before any header"}}}));
    EXPECT_EQ(sections[1],
              (IniSection{"MIDI Keyboard",
                          Values{{"Skin", "Classic"}, {"Note Width", "16"}, {"Empty", ""}}}));
    EXPECT_EQ(sections[2], (IniSection{"Other", Values{{"Skin", "Midnight"}}}));
}

TEST(IniText, GivesBackEveryValueExactlyAsWritten) {
    const std::string values[] = {"",         " ",         "  two spaces  ",  "a\\b",
                                  "back\\",   "line\nend", "cr\r\nlf",        "\tTab\t",
                                  "=equals=", "[bracket]", "; not a comment", "\\n",
                                  "ünïcödé",  "x y"};
    IniSection section{"MIDI Keyboard", {}};
    for (size_t i = 0; i < std::size(values); ++i)
        section.values.emplace_back("Value " + std::to_string(i), values[i]);
    const std::string text = FormatIni({section});
    const std::vector<IniSection> read = ParseIni(text);
    ASSERT_EQ(read.size(), 1u);
    EXPECT_EQ(read[0], section) << text;
    EXPECT_EQ(text.rfind("[MIDI Keyboard]\nValue 0=\n", 0), 0u);
    // Each value on one line of its own.
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), static_cast<long>(std::size(values)) + 1);
}

TEST(IniText, EscapesOnlyWhatWouldNotReadBack) {
    EXPECT_EQ(EscapeIniValue("Zevizi"), "Zevizi");
    EXPECT_EQ(EscapeIniValue(" a b "), "\\sa b\\s");
    EXPECT_EQ(EscapeIniValue("a\\b\nc"), "a\\\\b\\nc");
    EXPECT_EQ(UnescapeIniValue("\\q\\"), "q\\") << "an unknown escape is the character itself";
}

} // namespace

} // namespace zevaver
