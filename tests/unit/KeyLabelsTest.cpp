// Names and the picked key's mark on the on-screen keys: where a key lies, which names fit
// where and in what colour, and the mark, in the built-in look and every shipped skin.
#include "keyboard/KeyLabels.h"
#include "keyboard/KeySymbols.h"
#include "keyboard/KeyMarks.h"
#include "keyboard/KeyNames.h"
#include "keyboard/KeyShapes.h"

#include "KeysTestSupport.h"
#include "skin/ConfigFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

namespace zevaver {

namespace {

using keystest::RecordingHost;
using Orientation = TKeyboardOrientation;

// Text as wide as its characters at 4/5 of the size each (as capitals in a semi-bold font
// are), "I" and "J" half that, one line size + 3 high.
class FixedWidthPainter final : public TextPainter {
public:
    TextSize Measure(const std::string& text, int size) override {
        int width = 0;
        for (char c : text) width += (c == 'I' || c == 'J') ? size * 2 : size * 4;
        return {width / 5, size + 3};
    }
    void Draw(const std::string& text, int left, int top, int, fw::ColorRef,
              const fw::PixelRect&) override {
        drawn.push_back(text + "@" + std::to_string(left) + "," + std::to_string(top));
    }
    std::vector<std::string> drawn;
};

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

// Each shipped skin's key look, read as the skin loader reads it: the base skin first.
std::map<std::string, TSkinConfig> ShippedSkins() {
    const auto folder = std::filesystem::path(__FILE__).parent_path() / "../../data/Skins";
    std::map<std::string, TSkinConfig> skins;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        TSkinConfig config;
        ReadSkinConfigText(ReadFile(folder / "Default" / "config.txt"), config);
        ReadSkinConfigText(ReadFile(entry.path() / "config.txt"), config);
        config.ResolveKeyColors();
        skins[entry.path().filename().string()] = config;
    }
    return skins;
}

struct Keyboard {
    Keyboard(const TSkinConfig& skin, Orientation orientation, int noteWidth, int length = 700,
             int depth = 100)
        : horizontal(orientation == Orientation::Horizontal),
          host(horizontal ? length : depth, horizontal ? depth : length), keys(host, skin) {
        keys.SetOrientation(orientation);
        keys.SetNoteWidth(noteWidth);
        keys.SetBaseOctave(4);
        keys.SetBounds(0, 0, horizontal ? length : depth, horizontal ? depth : length);
    }
    bool horizontal;
    RecordingHost host;
    TKeys keys;
};

bool Inside(const fw::PixelRect& inner, const fw::PixelRect& outer) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

TEST(KeyShapes, EachKeyLiesWhereTheHitTestFindsItsNote) {
    const TSkinConfig skin;
    for (Orientation orientation : {Orientation::Horizontal, Orientation::Vertical}) {
        for (int width : {7, 10, 16, 33}) {
            Keyboard board(skin, orientation, width, 300, 80);
            for (int note = 40; note < 128; ++note) {
                const auto shape = KeyShapeOf(board.keys, note);
                if (note < 48) {
                    EXPECT_FALSE(shape) << "before the first key drawn";
                    continue;
                }
                if (!shape) continue;
                const fw::PixelRect& f = shape->face;
                const int x = (f.left + f.right) / 2, y = (f.top + f.bottom) / 2;
                if (!fw::PointIn({0, 0, board.keys.Width(), board.keys.Height()}, x, y)) continue;
                EXPECT_EQ(board.keys.NoteAt(x, y).Note, note) << width << " " << x << "," << y;
                const int semitone = note % 12;
                EXPECT_EQ(shape->black, semitone == 1 || semitone == 3 || semitone == 6 ||
                                            semitone == 8 || semitone == 10);
            }
            EXPECT_FALSE(KeyShapeOf(board.keys, 48 + 12 * (300 / width / 7 + 1)))
                << "past the last key drawn";
        }
    }
}

TEST(KeyLabelColors, StandOutByTheContrastReadersNeed) {
    constexpr auto black = fw::RGBValue(0, 0, 0), white = fw::RGBValue(255, 255, 255);
    EXPECT_NEAR(ContrastRatio(black, white), 21.0, 0.01);
    EXPECT_NEAR(ContrastRatio(white, white), 1.0, 0.01);
    const auto grey = fw::RGBValue(128, 128, 128), navy = fw::RGBValue(20, 20, 80);
    EXPECT_EQ(ContrastingColor(white, {grey, navy}), navy) << "the better of the skin's colours";
    EXPECT_EQ(ContrastingColor(grey, {fw::RGBValue(150, 150, 150)}), black)
        << "none of them is enough";
}

TEST(KeyLabels, EveryNameOfAKeyFitsOrNoneIsShown) {
    const TSkinConfig skin;
    FixedWidthPainter painter;
    NoteTexts texts;
    texts[48] = {"Z"};
    texts[49] = {"S"};
    texts[60] = {"Q", ","};
    texts[62] = {"Num 5"}; // too wide for a key 16 pixels wide

    Keyboard board(skin, Orientation::Horizontal, 16);
    const std::vector<PlacedLabel> placed = PlaceLabels(board.keys, texts, painter);
    std::map<std::string, PlacedLabel> byText;
    for (const PlacedLabel& label : placed) byText[label.text] = label;
    ASSERT_EQ(byText.size(), 4u);
    EXPECT_EQ(byText.count("Num 5"), 0u);
    EXPECT_EQ(byText["Z"].size, 9) << "the size the black keys' names fit at, on every key";
    EXPECT_EQ(byText["S"].size, 9);
    EXPECT_EQ(byText["Z"].top, 84)
        << "12 high against the near end (100), clear of the outline (1), the picked key's "
           "frame (2) and its lining (1)";
    EXPECT_EQ(byText["Z"].left, 5) << "7 wide, centred in the 15 pixels inside the outline";
    EXPECT_EQ(byText[","].top, byText["Z"].top) << "the last name at the near end";
    EXPECT_EQ(byText["Q"].top + byText["Q"].size + 3, byText[","].top) << "stacked";
    EXPECT_EQ(byText["Z"].color, skin.BlackKeyColorRef);
    EXPECT_EQ(byText["S"].color, skin.WhiteKeyColorRef);
    EXPECT_LT(byText["S"].top, 62) << "on the black key";

    // Upright, the names sit side by side; keys too narrow for any show none.
    Keyboard upright(skin, Orientation::Vertical, 16, 700, 110);
    std::vector<std::string> shown;
    const auto side = PlaceLabels(upright.keys, texts, painter);
    for (const PlacedLabel& label : side) shown.push_back(label.text);
    EXPECT_EQ(shown, (std::vector<std::string>{"Z", "Q", ",", "Num 5"}))
        << "an upright white key is wide, an upright black key too thin for a name";
    EXPECT_EQ(side[1].top, side[2].top);
    EXPECT_EQ(side[1].size, 8);
    EXPECT_EQ(side[2].left, side[1].left + 6 + 2) << "apart by a third of their size, 2 at least";
    Keyboard narrow(skin, Orientation::Horizontal, 5);
    EXPECT_TRUE(PlaceLabels(narrow.keys, texts, painter).empty());

    // Where a black key's one letter does not fit, no black key shows one, not even the
    // key whose letter is narrow enough: names on some keys of a kind read as names missing.
    texts[58] = {"J"};
    Keyboard small(skin, Orientation::Horizontal, 10);
    shown.clear();
    for (const PlacedLabel& label : PlaceLabels(small.keys, texts, painter))
        shown.push_back(label.text);
    EXPECT_EQ(shown, (std::vector<std::string>{"Z", "Q", ","}));
}

// A painter whose one text is exactly as wide as a white key's room at width 16.
class ExactPainter final : public TextPainter {
public:
    TextSize Measure(const std::string&, int size) override { return {15, size + 3}; }
    void Draw(const std::string&, int, int, int, fw::ColorRef, const fw::PixelRect&) override {}
};

TEST(KeyLabels, ANameAsWideAsItsRoomIsShownAndOneWiderIsNot) {
    const TSkinConfig skin;
    ExactPainter exact;
    NoteTexts texts;
    texts[48] = {"Fits"};
    Keyboard board(skin, Orientation::Horizontal, 16);
    const auto placed = PlaceLabels(board.keys, texts, exact);
    ASSERT_EQ(placed.size(), 1u);
    EXPECT_EQ(placed[0].left, 1);
    Keyboard narrower(skin, Orientation::Horizontal, 15);
    EXPECT_TRUE(PlaceLabels(narrower.keys, texts, exact).empty());
}

TEST(KeyLabels, ChooseTheSizeAtWhichMostKeysShowTheirNames) {
    const TSkinConfig skin;
    FixedWidthPainter painter;
    NoteTexts texts;
    texts[48] = {"ZZ"}; // fits only below the preferred size
    texts[50] = {"XX"};
    texts[52] = {"C"};
    Keyboard board(skin, Orientation::Horizontal, 16);
    const auto placed = PlaceLabels(board.keys, texts, painter);
    ASSERT_EQ(placed.size(), 3u);
    for (const PlacedLabel& label : placed) EXPECT_EQ(label.size, 9) << label.text;
}

// In every shipped skin, both orientations and every zoom: names stay on their keys and the
// mark on its key.
TEST(KeyLabels, StayOnTheirKeysInEveryShippedSkin) {
    FixedWidthPainter painter;
    NoteTexts texts;
    for (int note = 48; note < 90; ++note) texts[static_cast<size_t>(note)] = {"W"};
    texts[60] = {"Q", ","};
    for (const auto& [name, skin] : ShippedSkins()) {
        for (Orientation orientation : {Orientation::Horizontal, Orientation::Vertical}) {
            for (int width = 7; width <= 100; width += 5) {
                Keyboard board(skin, orientation, width, 700, 92);
                for (const PlacedLabel& label : PlaceLabels(board.keys, texts, painter)) {
                    const TextSize size = painter.Measure(label.text, label.size);
                    const auto shape = KeyShapeOf(board.keys, label.note);
                    ASSERT_TRUE(shape);
                    EXPECT_TRUE(Inside(
                        {label.left, label.top, label.left + size.width, label.top + size.height},
                        shape->face))
                        << name << " " << width << " " << label.note;
                }
                // The mark: only on the picked key.
                KeyMarks marks;
                board.keys.SetOverlay(&marks);
                for (int picked : {60, 61}) {
                    TKeys& keys = board.keys;
                    marks.SetPicked(NoNote);
                    keys.Paint();
                    const std::vector<uint32_t> plain = board.host.Pixels();
                    marks.SetPicked(picked);
                    keys.Paint();
                    const auto shape = KeyShapeOf(keys, picked);
                    const fw::PixelRect control{0, 0, keys.Width(), keys.Height()};
                    if (!shape || fw::IsEmpty(fw::Intersect(shape->face, control))) continue;
                    int changed = 0;
                    for (int y = 0; y < keys.Height(); ++y) {
                        for (int x = 0; x < keys.Width(); ++x) {
                            const size_t i = static_cast<size_t>(y * keys.Width() + x);
                            if (board.host.Pixels()[i] == plain[i]) continue;
                            ++changed;
                            ASSERT_TRUE(fw::PointIn(shape->face, x, y))
                                << name << " " << x << "," << y;
                        }
                    }
                    EXPECT_GT(changed, 0) << name << " " << width;
                }
            }
        }
    }
}

// The colours of the names on each kind of key, up and down, and of the mark, in each
// shipped skin: the skin's own dark or light key colour where it reads well enough (4.5:1),
// else white; the mark in the palette colour that stands out on the key both up and down.
TEST(KeyLabelColors, AreTheseInTheShippedSkins) {
    struct Expected {
        fw::ColorRef onWhite, onWhiteDown, onBlack, onBlackDown, markWhite, markBlack;
    };
    constexpr auto rgb = fw::RGBValue;
    const std::map<std::string, Expected> expected = {
        {"Classic",
         {rgb(44, 32, 26), rgb(44, 32, 26), rgb(255, 250, 236), rgb(255, 250, 236), rgb(0, 84, 230),
          rgb(255, 196, 0)}},
        {"Default",
         {rgb(22, 22, 26), rgb(22, 22, 26), rgb(250, 250, 248), rgb(250, 250, 248), rgb(0, 84, 230),
          rgb(255, 196, 0)}},
        {"Midnight",
         {rgb(14, 14, 18), rgb(14, 14, 18), rgb(222, 226, 232), rgb(255, 255, 255), rgb(0, 84, 230),
          rgb(255, 196, 0)}},
        {"Zevizi",
         {rgb(16, 24, 28), rgb(16, 24, 28), rgb(252, 250, 244), rgb(16, 24, 28), rgb(0, 84, 230),
          rgb(255, 196, 0)}},
    };
    FixedWidthPainter painter;
    NoteTexts texts;
    texts[48] = {"Z"};
    texts[49] = {"S"};
    for (const auto& [name, skin] : ShippedSkins()) {
        ASSERT_EQ(expected.count(name), 1u) << name;
        const Expected& e = expected.at(name);
        Keyboard board(skin, Orientation::Horizontal, 30);
        const auto placed = PlaceLabels(board.keys, texts, painter);
        ASSERT_EQ(placed.size(), 2u) << name;
        EXPECT_EQ(placed[0].color, e.onWhite) << name;
        EXPECT_EQ(placed[0].downColor, e.onWhiteDown) << name;
        EXPECT_EQ(placed[1].color, e.onBlack) << name;
        EXPECT_EQ(placed[1].downColor, e.onBlackDown) << name;
        EXPECT_EQ(MarkColor(skin.WhiteKeyColorRef, skin.WhiteKeyDownColorRef), e.markWhite) << name;
        EXPECT_EQ(MarkColor(skin.BlackKeyColorRef, skin.BlackKeyDownColorRef), e.markBlack) << name;
    }
    // The lining inside the mark: black on a light mark, white on a dark one.
    EXPECT_EQ(MarkLining(rgb(255, 196, 0)), rgb(0, 0, 0));
    EXPECT_EQ(MarkLining(rgb(0, 84, 230)), rgb(255, 255, 255));
    // Mid grey on white reads at 3.95:1, the figure the guidelines give.
    EXPECT_NEAR(ContrastRatio(rgb(128, 128, 128), rgb(255, 255, 255)), 3.95, 0.01);
}

TEST(KeyNames, ShowWhatTheKeyboardLayoutPrintsOnTheKey) {
    struct Case {
        int entry;
        SystemKeyText system;
        const char* expected;
    };
    const Case cases[] = {
        {'Q', {"Q", "Q"}, "Q"},
        {188, {",", "Comma"}, ","},
        {186, {"\xC3\x96", ""}, "\xC3\x96"}, // a German keyboard's Ö
        {0x65, {"5", "Num 5"}, "Num 5"},
        {0x6E, {",", "Num Del"}, "Num ,"},
        {0x20, {" ", "Space"}, "\xE2\x90\xA3"}, // one sign, which fits on a key
        {0x21, {"", "Page Up"}, "PgUp"},
        {0x14, {"", "Caps_Lock"}, "Caps"},
        {0x71, {"", "F2"}, "F2"},
        {0x71, {}, "F2"},
        {1, {"", "Shift"}, "L Shift"},
        {0xE7, {}, "#231"},
    };
    for (const Case& c : cases) EXPECT_EQ(KeyCaption(c.entry, c.system), c.expected) << c.entry;
}

// On Linux the names that print nothing are the keyboard map's key symbols.
TEST(KeyNames, ShortenTheKeySymbolNamesOfTheXKeyboardMap) {
    const std::pair<int, const char*> cases[][2] = {
        {{0xA0, "Shift_L"}, {0, "Shift"}},    {{0xA1, "Shift_R"}, {0, "R Shift"}},
        {{0xA3, "Control_R"}, {0, "R Ctrl"}}, {{0xA5, "ISO_Level3_Shift"}, {0, "AltGr"}},
        {{0x21, "Prior"}, {0, "PgUp"}},       {{0x22, "Page_Down"}, {0, "PgDn"}},
        {{0x0D, "KP_Enter"}, {0, "Enter"}},   {{0x5B, "Super_L"}, {0, "Win"}},
        {{0x24, "Home"}, {0, "Home"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(KeyCaption(c[0].first, {"", c[0].second}), c[1].second) << c[0].second;
}

// A German keyboard's top-left key and the one left of Backspace are dead keys.
TEST(KeyNames, ShowTheAccentOfADeadKey) {
    EXPECT_EQ(DeadKeyAccent(0xFE52), "^");
    EXPECT_EQ(DeadKeyAccent(0xFE51), "\xC2\xB4");
    EXPECT_EQ(DeadKeyAccent(0xFE50), "`");
    EXPECT_EQ(DeadKeyAccent(0xFE5C), "\xCB\x9B") << "the last: ogonek";
    EXPECT_EQ(DeadKeyAccent(0xFE5D), "") << "iota, past the accents a key top shows";
    EXPECT_EQ(DeadKeyAccent(0xFE4F), "");
    EXPECT_EQ(DeadKeyAccent('a'), "");
    EXPECT_EQ(KeyCaption(0xDC, {DeadKeyAccent(0xFE52), "dead_circumflex"}), "^");
}

} // namespace

} // namespace zevaver
