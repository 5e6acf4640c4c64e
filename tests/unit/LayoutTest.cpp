#include "engine/Layout.h"
#include "support/FakeFiles.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>

namespace zevaver {

namespace {

using namespace std::string_literals;
using Entries = std::map<int, int>; // code -> note, for every entry that is not 0

Entries NonZero(const KeyNoteTable& table) {
    Entries entries;
    for (size_t code = 0; code < table.size(); ++code)
        if (table[code] != 0) entries[static_cast<int>(code)] = table[code];
    return entries;
}

Entries Parse(std::string_view text) {
    return NonZero(ParsedLayout(text));
}

TEST(ParseLayout, ReadsEachKindOfLineTheWayTheFormatSays) {
    struct Case {
        const char* what;
        std::string text;
        Entries expected;
    };
    const Case cases[] = {
        {"an upper-case letter is its own key code", "A = 60", {{65, 60}}},
        {"a lower-case letter is another key code", "a = 60", {{97, 60}}},
        {"no spaces around the equals sign is no entry", "A=60", {}},
        {"a remark after a # code's value is ignored", "#188 = 62 ; comma", {{188, 62}}},
        {"nothing after the separator unmaps the key", "Q = 60\nQ = ", {}},
        {"a line with the separator is an entry whatever it begins with", "; Q = 60", {{59, 60}}},
        {"only the low 8 bits of the value are stored", "Z = 300", {{90, 44}}},
        {"the later of two lines for a key wins", "A = 60\nB = 61\nA = 62", {{65, 62}, {66, 61}}},
        {"a line beginning with a space is the space bar", " = 40", {{32, 40}}},
        {"a # code may be hexadecimal", "#$BC = 62\n#0xBE = 64", {{188, 62}, {190, 64}}},
        {"a negative value at the end of the line wraps", "Q = -1", {{81, 255}}},
        {"a sign followed by a remark does not count", "Q = -4 low", {{81, 4}}},
        {"the first separator splits the line", "A = 61 = 62", {{65, 61}}},
        {"lines without the separator are ignored", "Piano layout\n\n  \nA = 60", {{65, 60}}},
        {"an unreadable # code is code 0", "#x = 60", {{0, 60}}},
        {"the space ends a # code, so its sign never counts", "#-5 = 60", {{5, 60}}},
        {"a # code above the table is skipped", "#256 = 60\n#4294967295 = 62", {}},
        {"a # code too long for 32 bits is skipped", "#99999999999 = 60", {}},
        {"bytes above 127 are key codes too", "\xBC = 62", {{188, 62}}},
        {"a NUL byte is code 0", "\0 = 9"s, {{0, 9}}},
        {"CR LF line ends", "A = 60\r\nB = -1\r\n", {{65, 60}, {66, 255}}},
        {"a lone CR is dropped from its line", "A = 6\r0\n", {{65, 60}}},
        {"a lone CR does not end a line", "A = 60\rB = 61", {{65, 60}}},
        {"Ctrl-Z (octal 32) ends the file", "A = 60\n\032B = 61\n", {{65, 60}}},
        {"Ctrl-Z inside a line ends it there", "A = 6\0320", {{65, 6}}},
    };
    for (const auto& c : cases) EXPECT_EQ(Parse(c.text), c.expected) << c.what;

    KeyNoteTable table{};
    table[66] = 61;
    ParseLayout("A = 60", table);
    EXPECT_EQ(NonZero(table), (Entries{{65, 60}, {66, 61}})) << "adds to the table it is given";
}

TEST(ParseLayout, SurvivesThousandsOfRandomByteStrings) {
    // Bytes drawn mostly from the characters that matter, so many lines are entries.
    const std::string alphabet = " =#-+$xX0123456789ABCabc\r\n\x1a\xff";
    std::mt19937 random(20240601u);
    std::uniform_int_distribution<int> length(0, 300);
    std::uniform_int_distribution<int> anyByte(0, 255);
    std::uniform_int_distribution<size_t> pick(0, alphabet.size() - 1);
    std::bernoulli_distribution fromAlphabet(0.8);
    for (int round = 0; round < 5000; ++round) {
        std::string text(static_cast<size_t>(length(random)), '\0');
        for (char& c : text)
            c = fromAlphabet(random) ? alphabet[pick(random)] : static_cast<char>(anyByte(random));
        KeyNoteTable table{};
        ParseLayout(text, table);
        KeyNoteTable again{};
        ParseLayout(text, again);
        ASSERT_EQ(table, again) << "round " << round;
    }
}

TEST(ParseLayout, ReadsTenMegabyteLines) {
    const std::string huge(10u << 20, '7');
    EXPECT_EQ(Parse("A = 60 " + huge + "\nB = 61"), (Entries{{65, 60}, {66, 61}}));
    EXPECT_EQ(Parse(huge + " = 60\nB = 61"), (Entries{{55, 60}, {66, 61}}));
    // Digits stop before they pass 32 bits: 777777777 keeps its low byte.
    EXPECT_EQ(Parse("Q = " + huge), (Entries{{81, 777777777 & 0xFF}}));
    EXPECT_EQ(Parse("#" + huge + " = 60"), Entries{});
}

using fakes::FakeFiles;

TEST(LoadLayout, ClearsTheTableAndReadsTheNamedFileOrElsePiano) {
    struct Case {
        const char* name;
        bool pianoExists;
        LayoutLoad result;
        const char* nameAfter;
        Entries expected;
    };
    const Case cases[] = {
        {"Single Row", true, LayoutLoad::Loaded, "Single Row", {{66, 61}}},
        {"Gone", true, LayoutLoad::Loaded, "Piano", {{65, 60}}},
        {"single row", true, LayoutLoad::Loaded, "Piano", {{65, 60}}},
        {"", true, LayoutLoad::Loaded, "Piano", {{65, 60}}},
        {"Gone", false, LayoutLoad::NoFile, "Piano", {}},
    };
    for (const Case& c : cases) {
        FakeFiles files;
        files.files["Layouts/Single Row.txt"] = {"B = 61"};
        if (c.pianoExists) files.files["Layouts/Piano.txt"] = {"A = 60"};
        TSettings settings;
        settings.Layout = c.name;
        KeyNoteTable table{};
        table.fill(99);
        EXPECT_EQ(LoadLayout(settings, table, files), c.result) << '"' << c.name << '"';
        EXPECT_EQ(settings.Layout, c.nameAfter) << '"' << c.name << '"';
        EXPECT_EQ(NonZero(table), c.expected) << '"' << c.name << '"';
    }
}

TEST(LoadLayout, KeepsOnlyTheWholeLinesReadBeforeAReadFailure) {
    const std::pair<std::string, Entries> cases[] = {
        {"A = 60\nB = 6", {{65, 60}}},
        {"A = 6", {}},
        {"A = 60\nB = 61\032C = 6", {{65, 60}, {66, 61}}}, // nothing was wanted past Ctrl-Z
    };
    for (const auto& [bytes, expected] : cases) {
        FakeFiles files;
        files.files["Layouts/Piano.txt"] = {bytes, false};
        TSettings settings;
        KeyNoteTable table{};
        EXPECT_EQ(LoadLayout(settings, table, files), LayoutLoad::ReadFailed) << bytes;
        EXPECT_EQ(NonZero(table), expected) << bytes;
    }
}

} // namespace

} // namespace zevaver
