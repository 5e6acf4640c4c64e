// The layouts shipped beside the program, checked against a model of a US keyboard:
// each row's keys with the positions of their centres, in key widths from the left edge.
#include "engine/Layout.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace zevaver {

namespace {

struct Row {
    std::vector<int> codes; // virtual-key codes, left to right
    double firstCentre;     // the rows are staggered against each other
};

// Digits and letters are their own codes; punctuation uses the OEM key codes.
const Row NumberRow{{'1', '2', '3', '4', '5', '6', '7', '8', '9', '0', 189, 187}, 1.5};
const Row TopRow{{'Q', 'W', 'E', 'R', 'T', 'Y', 'U', 'I', 'O', 'P', 219, 221, 220}, 2.0};
const Row HomeRow{{'A', 'S', 'D', 'F', 'G', 'H', 'J', 'K', 'L', 186, 222}, 2.25};
const Row BottomRow{{'Z', 'X', 'C', 'V', 'B', 'N', 'M', 188, 190, 191}, 2.75};

using Entries = std::map<int, int>;

// White keys along `white` (its first `whiteKeys` keys) from a C; each black key is the
// key of the row above whose centre lies between the two white keys around it.
void AddPianoRows(Entries& entries, const Row& white, size_t whiteKeys, const Row& black,
                  int firstC) {
    static const int Steps[] = {2, 2, 1, 2, 2, 2, 1}; // C D E F G A B
    int note = firstC;
    for (size_t i = 0; i < whiteKeys; ++i) {
        entries[white.codes[i]] = note;
        const int step = Steps[i % 7];
        if (step == 2 && i + 1 < whiteKeys) {
            const double left = white.firstCentre + static_cast<double>(i);
            for (size_t j = 0; j < black.codes.size(); ++j) {
                const double centre = black.firstCentre + static_cast<double>(j);
                if (centre > left && centre < left + 1) entries[black.codes[j]] = note + 1;
            }
        }
        note += step;
    }
}

void AddChromaticRow(Entries& entries, const Row& row, int firstNote) {
    for (size_t i = 0; i < row.codes.size(); ++i)
        entries[row.codes[i]] = firstNote + static_cast<int>(i);
}

Entries LoadShipped(const std::string& name) {
    std::ifstream file(std::filesystem::path(__FILE__).parent_path() / "../../data/Layouts" /
                           (name + ".txt"),
                       std::ios::binary);
    EXPECT_TRUE(file) << name;
    std::stringstream text;
    text << file.rdbuf();
    KeyNoteTable table{};
    ParseLayout(text.str(), table);
    Entries entries;
    for (size_t code = 0; code < table.size(); ++code)
        if (table[code] != 0) entries[static_cast<int>(code)] = table[code];
    return entries;
}

TEST(ShippedLayouts, PianoPlaysTwoOctavesOnTheBottomRowsAndTwoOnTheTopRows) {
    Entries expected;
    AddPianoRows(expected, BottomRow, BottomRow.codes.size(), HomeRow, 48);
    AddPianoRows(expected, TopRow, 12, NumberRow, 60); // up to "]"
    EXPECT_EQ(LoadShipped("Piano"), expected);
    EXPECT_EQ(expected.at('Z'), 48) << "the leftmost C of the keyboard at base octave C4";
    EXPECT_EQ(expected.at(187), 78) << "the key between [ and ] is F sharp";
}

TEST(ShippedLayouts, SingleRowPlaysTheHomeRowFromMiddleC) {
    Entries expected;
    AddPianoRows(expected, HomeRow, HomeRow.codes.size(), TopRow, 60);
    EXPECT_EQ(LoadShipped("Single Row"), expected);
    EXPECT_EQ(expected.at('W'), 61);
    EXPECT_EQ(expected.count('R'), 0u) << "no black key between E and F";
}

TEST(ShippedLayouts, ChromaticRisesBySemitonesAlongARowAndByFourthsUpTheRows) {
    Entries expected;
    AddChromaticRow(expected, BottomRow, 48);
    AddChromaticRow(expected, HomeRow, 53);
    AddChromaticRow(expected, TopRow, 58);
    AddChromaticRow(expected, NumberRow, 63);
    EXPECT_EQ(LoadShipped("Chromatic"), expected);
}

} // namespace

} // namespace zevaver
