// The "config.txt" grammar, and loading whole skins from folders held in memory: the
// "Default" base, carry-over between skins, file fall-backs and the Skin submenu's names.
#include "skin/ConfigFile.h"
#include "skin/SkinMenu.h"
#include "support/IgnoredMenuActions.h"
#include "SkinTestSupport.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <iterator>

namespace zevaver {

namespace {

using namespace skintest;

TEST(SkinConfigFile, LinesAreNormalisedBeforeTheyAreRead) {
    EXPECT_EQ(NormalizeConfigLine("Corner Size = 8 ; small"), "CornerSize=8");
    EXPECT_EQ(NormalizeConfigLine("\tFader\x01Style=\x1fSkin\r"), "FaderStyle=Skin");
    EXPECT_EQ(NormalizeConfigLine("  ; only a remark"), "");
}

// Whole integers are decimal with an optional sign, or hexadecimal after a leading "$" or
// "0x"; anything else gives its leading decimal digits, sign ignored, or 0 without any. A
// colour keeps what was read, beyond 32 bits the largest value; sizes are held to a range.
TEST(SkinConfigFile, IntegersFollowTheGrammarAndSizesStayInASaneRange) {
    const std::string read[] = {"x10",
                                "0x1Fpx",
                                "$10px",
                                "$1f",
                                "0X10",
                                "-$10",
                                "-12px",
                                "--5",
                                "-2147483648",
                                "2147483648",
                                "-2147483649",
                                "$100000000",
                                "99999999999999999999"};
    const int32_t values[] = {0, 0,         0,         31,        0, 0,        12,
                              0, INT32_MIN, INT32_MAX, INT32_MAX, 0, INT32_MAX};
    for (size_t i = 0; i < std::size(read); ++i) {
        TSkinConfig config;
        ReadSkinConfigText("FaderColor=" + read[i] + ",0,0", config);
        EXPECT_EQ(config.FaderColor.R, values[i]) << read[i];
    }
    TSkinConfig config;
    ReadSkinConfigText("BorderSize=2000000000\nCornerArea=-2147483648\nFaderWidth=-2147483648\n"
                       "BlackKeysHeight=250\nFaderTicksFrequency=0\nCornerSize=99999999999",
                       config);
    EXPECT_EQ(config.BorderSize, MaxSkinSize);
    EXPECT_EQ(config.CornerArea, 0);
    EXPECT_EQ(config.FaderWidth, 0);
    EXPECT_EQ(config.BlackKeysHeight, 100);
    EXPECT_EQ(config.FaderTicksFrequency, 1);
    EXPECT_EQ(config.CornerSize, MaxSkinSize);
}

TEST(SkinConfigFile, EachKindOfValueFollowsItsRule) {
    struct Case {
        const char* text;
        std::function<bool(const TSkinConfig&)> holds;
    };
    const Case cases[] = {
        {"WindowsStyle  =  YES", [](auto& c) { return c.WindowsStyle; }},
        {"Windows Style=yes", [](auto& c) { return c.WindowsStyle; }},
        {"WindowsStyle=1", [](auto& c) { return !c.WindowsStyle; }},
        {"WindowsStyle=true", [](auto& c) { return !c.WindowsStyle; }},
        {"WindowsStyle=", [](auto& c) { return !c.WindowsStyle; }},
        {"stretchtitle=Yes", [](auto& c) { return c.StretchTitle; }},
        {";BorderSize=5", [](auto& c) { return c.BorderSize == 0; }},
        {"BorderSize=5;comment", [](auto& c) { return c.BorderSize == 5; }},
        {"cornersize=8", [](auto& c) { return c.CornerSize == 8; }},
        {"CornerSizeXYZ=8", [](auto& c) { return c.CornerSize == 8; }},
        {"Corner Size = 8 ; small", [](auto& c) { return c.CornerSize == 8; }},
        {"CornerArea=12px", [](auto& c) { return c.CornerArea == 12; }},
        {"CornerArea=-12px", [](auto& c) { return c.CornerArea == 12; }},
        {"CornerArea=$1F", [](auto& c) { return c.CornerArea == 31; }},
        {"CornerArea=0x10", [](auto& c) { return c.CornerArea == 16; }},
        {"CornerArea=big", [](auto& c) { return c.CornerArea == 0; }},
        {"CornerArea=", [](auto& c) { return c.CornerArea == 0; }},
        // Without "=" the whole line is the value, which starts with no digit.
        {"BlackKeysHeight70", [](auto& c) { return c.BlackKeysHeight == 0; }},
        {"KeysOutlineColor=300,-1,128,7",
         [](auto& c) { return RGBValue(c.KeysOutlineColor) == fw::RGBValue(44, 255, 128); }},
        {"WhiteKeyColor = 255, 250, 240",
         [](auto& c) {
             return c.WhiteKeyColor == TRGB{255, 250, 240};
         }},
        {"WhiteKeyColor = 1, 2",
         [](auto& c) {
             return c.WhiteKeyColor == TRGB{255, 255, 255};
         }},
        {"WhiteKeyColor = 1,,x",
         [](auto& c) {
             return c.WhiteKeyColor == TRGB{1, 0, 0};
         }},
        {"FaderStyle = None", [](auto& c) { return c.FaderStyle == "none"; }},
        {"FaderStyle=Skin", [](auto& c) { return c.FaderStyle == "skin"; }},
        {"Unknown=5\nBorderSize=3", [](auto& c) { return c.BorderSize == 3; }},
        {"BorderSize=3\r\nBorderSize=4\r\n", [](auto& c) { return c.BorderSize == 4; }},
        // A short colour list is skipped and reading goes on.
        {"FaderColor=1,2\nBorderSize=9", [](auto& c) { return c.BorderSize == 9; }},
        {"", [](auto& c) { return c.FaderWidth == 36 && c.FaderStyle == "windows"; }},
    };
    for (const Case& c : cases) {
        TSkinConfig config;
        ReadSkinConfigText(c.text, config);
        EXPECT_TRUE(c.holds(config)) << '"' << c.text << '"';
    }
}

class SkinLoading : public ::testing::Test {
protected:
    RecordingChrome host;
    TSkinChrome chrome{host};
    MemorySkins skins;
    TSkinLoader loader{skins};
    TSettings settings;
    TSkinConfig& config = host.config;

    void Load(const std::string& skin) {
        settings.Skin = skin;
        loader.LoadSkin(settings, config, chrome);
    }
    void AddBitmapSkin(const std::string& skin) {
        skins.Add(skin, "config.txt", "WindowsStyle=Yes\nwindowsstyle=no\nBorderSize=4");
        for (const SkinBitmapSlot& slot : chrome.BitmapSlots())
            skins.Add(skin, slot.file, "20 x 18");
    }
};

TEST_F(SkinLoading, TheDefaultFileComesFirstAndTheSkinsOwnOverridesIt) {
    skins.Add("Default", "config.txt", "BorderSize=2\nCornerSize=10\nWhiteKeyColor=1,2,3");
    skins.Add("Blue", "config.txt", "CornerSize=20");
    Load("Blue");
    EXPECT_EQ(config.SkinPath, "Skins\\Blue\\");
    EXPECT_EQ(config.CornerSize, 20);
    EXPECT_EQ(config.WhiteKeyColorRef, fw::RGBValue(1, 2, 3));
    // Still windows-style: the border is forced to 0 and no bitmap is touched.
    EXPECT_EQ(config.BorderSize, 0);
    EXPECT_TRUE(chrome.TitleBox.Bitmap->Empty());
}

TEST_F(SkinLoading, ValuesCarryOverFromSkinToSkin) {
    skins.Add("Wide", "config.txt", "StretchTitle=Yes\nBlackKeysHeight=70");
    skins.Add("Plain", "config.txt", "CornerArea=5");
    Load("Wide");
    Load("Plain");
    EXPECT_TRUE(config.StretchTitle);
    EXPECT_EQ(config.BlackKeysHeight, 70);
    EXPECT_EQ(config.CornerArea, 5);
}

TEST_F(SkinLoading, AMissingFolderLoadsDefaultAndTheSettingsKeepThatName) {
    skins.Add("Default", "config.txt", "KeysOutlineWidth=2");
    Load("Missing");
    EXPECT_EQ(settings.Skin, "Default");
    EXPECT_EQ(config.SkinPath, "Skins\\Default\\");
    EXPECT_EQ(config.KeysOutlineWidth, 2);
}

TEST_F(SkinLoading, BitmapsFallBackToDefaultAndThenStayEmpty) {
    AddBitmapSkin("Default");
    skins.files.erase("Skins\\Default\\Close Btn Down.bmp");
    skins.files.erase("Skins\\Default\\Minimize Btn.bmp");
    skins.Add("Dark", "config.txt", "WindowsStyle=no");
    skins.Add("Dark", "Title Active.bmp", "90 x 18");
    Load("Dark");
    EXPECT_EQ(Sized(chrome.TitleBox.Bitmap).file, "Skins\\Dark\\Title Active.bmp");
    EXPECT_EQ(Sized(chrome.IconBox.Bitmap).file, "Skins\\Default\\Icon.bmp");
    EXPECT_TRUE(chrome.CloseBtn.DownBitmap->Empty());
    // An empty main bitmap hides its control; the others keep their creation order.
    const std::vector<TCtrl*> shown = {&chrome.TitleBox, &chrome.IconBox, &chrome.CloseBtn,
                                       &chrome.Fader};
    EXPECT_EQ(chrome.CtrlsList.Items(), shown);
    EXPECT_FALSE(chrome.MinimizeBtn.Shown);
    (void)ApplySkinMetrics(config, chrome);
    EXPECT_EQ(config.MinimizeWidth, 0);
    EXPECT_EQ(config.TitleHeight, 18);
    EXPECT_EQ(config.BorderSize, 4);
}

TEST_F(SkinLoading, ABitmapSkinWithoutATitleHasNoTitleBox) {
    AddBitmapSkin("Flat");
    skins.files.erase("Skins\\Flat\\Title Active.bmp");
    Load("Flat");
    (void)ApplySkinMetrics(config, chrome);
    EXPECT_EQ(config.TitleHeight, 0);
    EXPECT_FALSE(chrome.TitleBox.Shown);
}

TEST_F(SkinLoading, AControlHiddenAndShownAgainMovesToTheEndOfThePaintingOrder) {
    AddBitmapSkin("Full");
    AddBitmapSkin("NoIcon");
    skins.files.erase("Skins\\NoIcon\\Icon.bmp");
    Load("NoIcon");
    Load("Full");
    const std::vector<TCtrl*> order = {&chrome.TitleBox, &chrome.CloseBtn, &chrome.MinimizeBtn,
                                       &chrome.Fader, &chrome.IconBox};
    EXPECT_EQ(chrome.CtrlsList.Items(), order);
}

TEST_F(SkinLoading, ThePointerFallsBackToDefaultsAndThenToNone) {
    skins.Add("A", "Cursor.cur", "");
    skins.Add("B", "config.txt", "");
    skins.Add("Default", "Cursor.cur", "");
    Load("A");
    EXPECT_EQ(skins.cursor, "Skins\\A\\Cursor.cur");
    Load("B");
    EXPECT_EQ(skins.cursor, "Skins\\Default\\Cursor.cur");
    skins.files.erase("Skins\\Default\\Cursor.cur");
    Load("B");
    EXPECT_EQ(skins.cursor, "");
}

TEST_F(SkinLoading, UnreadableFilesKeepTheCurrentValuesAndAreReportedOnce) {
    AddBitmapSkin("Broken");
    skins.files["Skins\\Broken\\Icon.bmp"] = "not a bitmap";
    skins.Add("Broken", "config.txt", "BorderSize=9");
    skins.unreadable.insert("Skins\\Broken\\config.txt");
    config.WindowsStyle = false;
    config.BorderSize = 3;
    Load("Broken");
    Load("Broken");
    EXPECT_EQ(config.BorderSize, 3);
    EXPECT_TRUE(chrome.IconBox.Bitmap->Empty());
    ASSERT_EQ(skins.errors.size(), 2u);
    EXPECT_NE(skins.errors[0].find("Skins\\Broken\\config.txt"), std::string::npos);
    EXPECT_NE(skins.errors[1].find("Skins\\Broken\\Icon.bmp"), std::string::npos);
}

TEST(SkinFaderChoice, StyleAndSkinKindPickTheFaderAndItsStrip) {
    struct Case {
        bool windowsStyle;
        const char* style;
        int track; // width of "FaderV BG.bmp"
        int configured;
        FaderChoice choice;
        int faderWidth;
    };
    const Case cases[] = {
        {false, "windows", 24, 50, {true, false}, 24}, {false, "windows", 0, 50, {true, false}, 36},
        {false, "none", 24, 50, {false, false}, 0},    {false, "skin", 24, 50, {false, true}, 24},
        {false, "skin", 0, 50, {false, false}, 0},     {true, "windows", 24, 0, {true, false}, 36},
        {true, "windows", 24, 50, {true, false}, 50},  {true, "none", 24, 50, {false, false}, 0},
        {true, "skin", 24, 50, {false, false}, 50},
    };
    for (const Case& c : cases) {
        RecordingChrome host;
        TSkinChrome chrome{host};
        SetSize(chrome.Fader.Bitmap, c.track, c.track ? 100 : 0);
        chrome.ShowCtrls();
        host.config.WindowsStyle = c.windowsStyle;
        host.config.FaderStyle = c.style;
        host.config.FaderWidth = c.configured;
        EXPECT_EQ(ApplySkinMetrics(host.config, chrome), c.choice) << c.style << ' ' << c.track;
        EXPECT_EQ(host.config.FaderWidth, c.faderWidth) << c.style << ' ' << c.track;
    }
}

TEST(SkinMenu, ListsFoldersSortedWithoutCaseLeavingOutDefaultAndDotNames) {
    const auto names = SkinMenuNames(
        std::vector<std::string>{"Gamma", "beta", ".", "..", ".hidden", "Alpha", "DEFAULT"});
    EXPECT_EQ(names, (std::vector<std::string>{"Alpha", "beta", "Gamma"}));
    EXPECT_EQ(SkinMenuNames(std::vector<std::string>{"Default"}), std::vector<std::string>{});
    EXPECT_EQ(SkinMenuNames(std::nullopt), std::nullopt);
}

struct NoActions final : fakes::IgnoredMenuActions {
    std::string skin;
    void SkinClick(fw::MenuItem& item) override { skin = item.Hint(); }
};

TEST(SkinMenu, NoSkinsFolderGivesOneDisabledNoneAndTheCurrentSkinIsChecked) {
    NoActions actions;
    MainMenu none(actions, {"Mapper"});
    BuildSkinMenu(none, std::nullopt);
    fw::MenuItem& empty = none.Item("mnuSkin");
    ASSERT_EQ(empty.Count(), 1u);
    EXPECT_EQ(empty[0].Caption(), "none");
    EXPECT_FALSE(empty[0].Enabled());

    MainMenu menu(actions, {"Mapper"});
    BuildSkinMenu(menu, std::vector<std::string>{"Alpha", "Zevizi"});
    fw::MenuItem& skins = menu.Item("mnuSkin");
    skins[1].SetCaption("&Zevizi");
    CheckSkinItem(skins, "zevizi");
    EXPECT_FALSE(skins[0].Checked());
    EXPECT_TRUE(skins[1].Checked());
    CheckSkinItem(skins, "Missing");
    EXPECT_FALSE(skins[1].Checked());
    skins[0].Click();
    EXPECT_EQ(actions.skin, "Alpha");
}

} // namespace

} // namespace zevaver
