#include "engine/LayoutWriter.h"

#include "engine/Layout.h"

#include <gtest/gtest.h>

#include <string>

namespace zevaver {

namespace {

KeyNoteTable Changed(KeyNoteTable table, const LayoutChanges& changes) {
    for (const auto& [code, value] : changes) table[static_cast<size_t>(code)] = value;
    return table;
}

TEST(LayoutWriter, WritesNewKeysInTheFilesOwnStyle) {
    EXPECT_EQ(LayoutEntryLine('F', 65), "F = 65");
    EXPECT_EQ(LayoutEntryLine('0', 75), "0 = 75");
    EXPECT_EQ(LayoutEntryLine(188, 61), "#188 = 61");
    EXPECT_EQ(LayoutEntryLine(32, 40), "#32 = 40") << "not a line that begins with a space";
    EXPECT_EQ(LayoutEntryLine(1, 40), "#1 = 40");
    EXPECT_EQ(LayoutEntryLine('a', 40), "#97 = 40") << "a lower-case letter is another key";
}

// Reading what was written gives what reading the text gave, with the changes; the lines
// that are not about a changed key stay byte for byte (any text, any changes: the fuzz
// target layout_writer).
TEST(LayoutWriter, ChangesOnlyTheLinesOfTheKeysThatChange) {
    struct Case {
        const char* what;
        std::string text;
        LayoutChanges changes;
        std::string expected;
    };
    const Case cases[] = {
        {"a key's line keeps its key as written and its remark",
         "Piano\n#188 = 60 comma\nQ = 60\n",
         {{188, 65}},
         "Piano\n#188 = 65 comma\nQ = 60\n"},
        {"a value in another notation is written in decimal",
         "#$BC = $3C\n",
         {{188, 61}},
         "#$BC = 61\n"},
        {"a key's later lines go: one line is left",
         "Q = 60\nW = 62\nQ = 61\n#81 = 64\n",
         {{'Q', 70}},
         "Q = 70\nW = 62\n"},
        {"removing a key removes all its lines",
         "Q = 60\n; notes\nQ = 61\nW = 62",
         {{'Q', 0}},
         "; notes\nW = 62"},
        {"a new key goes after the last entry, before remarks that end the file",
         "Z = 48\nX = 50\n\n; the end\n",
         {{'F', 65}, {188, 61}},
         "Z = 48\nX = 50\nF = 65\n#188 = 61\n\n; the end\n"},
        {"new lines end as the file's lines do", "Z = 48\r\n", {{'F', 65}}, "Z = 48\r\nF = 65\r\n"},
        {"a last line without its end gets one before the new line",
         "Z = 48",
         {{'F', 65}},
         "Z = 48\nF = 65\n"},
        {"a file without entries gets them at its end",
         "; empty\n",
         {{'F', 65}},
         "; empty\nF = 65\n"},
        {"an empty file", "", {{'F', 65}}, "F = 65\n"},
        {"what follows a Ctrl-Z stays after it, new lines come before it",
         "Z = 48\n\x1aQ = 1 junk",
         {{'F', 65}, {'Q', 70}},
         "Z = 48\nF = 65\nQ = 70\n\x1aQ = 1 junk"},
        {"a line broken by a lone CR is written anew",
         "A = 6\r0\r\nB = 1\r\n",
         {{'A', 62}},
         "A = 62\r\nB = 1\r\n"},
        {"lines the reader cannot place are kept",
         "#300 = 5\nA=60\n",
         {{'A', 60}},
         "#300 = 5\nA=60\nA = 60\n"},
        {"the shipped format: CR LF lines keep their key as written, remark and line end",
         "#$BC = 62 ; comma\r\nQ = 60\r\n",
         {{188, 65}},
         "#$BC = 65 ; comma\r\nQ = 60\r\n"},
        {"a key removed that had no line gets none", "Q = 60\r\n", {{'W', 0}}, "Q = 60\r\n"},
        {"a value beyond 32 bits, which the reader cuts short, is no remark to keep: the "
         "digits left would run into the new number",
         "Q = 4294967356 low byte 60\n",
         {{'Q', 62}},
         "Q = 62\n"},
        {"a last line without its end is renumbered without one",
         "W = 1\nQ = 60",
         {{'Q', 61}},
         "W = 1\nQ = 61"},
        {"mixed line ends stay as each line has them; new lines follow the first",
         "Q = 60\nW = 62\r\nE = 64\n",
         {{'W', 63}, {'R', 65}},
         "Q = 60\nW = 63\r\nE = 64\nR = 65\n"},
        {"the largest key and note", "", {{255, 127}}, "#255 = 127\n"},
    };
    for (const Case& c : cases) {
        const std::string result = ChangeLayoutText(c.text, c.changes);
        EXPECT_EQ(result, c.expected) << c.what;
        EXPECT_EQ(ParsedLayout(result), Changed(ParsedLayout(c.text), c.changes)) << c.what;
    }
}

TEST(LayoutWriter, ANewFileOfATableHoldsEveryKeyThatPlays) {
    KeyNoteTable table{};
    table['Q'] = 60;
    table[188] = 61;
    table[1] = 40;
    EXPECT_EQ(LayoutTextOf(table), "#1 = 40\r\nQ = 60\r\n#188 = 61\r\n");
    EXPECT_EQ(ParsedLayout(LayoutTextOf(table)), table);
}

} // namespace

} // namespace zevaver
