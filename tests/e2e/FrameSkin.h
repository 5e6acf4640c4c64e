// The end-to-end tests' own bitmap skin, of known sizes in plain colours, and the settings
// a run with it reads: a window of 716 x 140 at (300, 200), stored at 96 DPI.
#pragma once

#include "ProgramUnderTest.h"
#include "support/BitmapFileWriter.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <utility>

namespace zevaver {

namespace e2e {

// Border 4, title 18, fader strip 20, close and minimise buttons 16 wide.
constexpr int B = 4, T = 18, F = 20, ButtonWidth = 16;
constexpr COLORREF CloseUp = RGB(200, 40, 40);
constexpr COLORREF CloseDown = RGB(40, 200, 40);
constexpr COLORREF ThumbIdle = RGB(220, 220, 220);

inline void WriteFrameSkin(const std::filesystem::path& folder, const std::string& faderStyle) {
    std::filesystem::create_directories(folder);
    FILE* config = _wfopen((folder / "config.txt").c_str(), L"w");
    ASSERT_NE(config, nullptr);
    fprintf(config,
            "WindowsStyle = No\nBorderSize = %d\nCornerSize = 8\n"
            "CornerArea = 16\nFaderStyle = %s\nFaderColor = 40, 40, 120\n",
            B, faderStyle.c_str());
    fclose(config);
    struct File {
        const char* name;
        int width, height;
        COLORREF color;
    };
    const File files[] = {
        {"Border.bmp", 32, 32, RGB(90, 90, 90)},
        {"Title Active.bmp", 200, T, RGB(30, 30, 160)},
        {"Title Inactive.bmp", 200, T, RGB(30, 30, 100)},
        {"Title Box.bmp", 8, T, RGB(20, 20, 60)},
        {"Icon.bmp", T, T, RGB(250, 200, 0)},
        {"Icon Blink.bmp", T, T, RGB(250, 250, 0)},
        {"Icon Disabled.bmp", T, T, RGB(120, 120, 120)},
        {"Close Btn.bmp", ButtonWidth, T, CloseUp},
        {"Close Btn Down.bmp", ButtonWidth, T, CloseDown},
        {"Minimize Btn.bmp", ButtonWidth, T, RGB(40, 40, 200)},
        {"Minimize Btn Down.bmp", ButtonWidth, T, RGB(40, 200, 200)},
        {"FaderV BG.bmp", F, 10, RGB(60, 60, 60)},
        {"FaderH BG.bmp", 10, F, RGB(60, 60, 60)},
        {"FaderV.bmp", 16, 14, ThumbIdle},
        {"FaderH.bmp", 14, 16, ThumbIdle},
        {"FaderV Active.bmp", 16, 14, RGB(255, 128, 0)},
        {"FaderH Active.bmp", 14, 16, RGB(255, 128, 0)},
        {"Fader Left.bmp", 3, F, RGB(100, 100, 100)},
        {"Fader Right.bmp", 3, F, RGB(100, 100, 100)},
        {"Fader Top.bmp", F, 3, RGB(100, 100, 100)},
        {"Fader Bottom.bmp", F, 3, RGB(100, 100, 100)},
    };
    for (const File& f : files)
        ASSERT_TRUE(fakes::WriteBitmap(folder / f.name, f.width, f.height, f.color)) << f.name;
}

// The settings a run reads, written without a first run (a value missing from an existing
// key reads as 0).
inline void StoreWindowSettings(const std::string& skin, const std::string& velocity) {
    ForgetSettings();
    for (auto [name, value] : {std::pair<std::string, std::string>{"Skin", skin},
                               {"Left", "300"},
                               {"Top", "200"},
                               {"Width", "716"},
                               {"Height", "140"},
                               {"DPI", "96"},
                               {"Velocity", velocity},
                               {"Note Width", "16"},
                               {"Vertical", "No"},
                               {"Enabled", "Yes"},
                               {"Layout", "Piano"},
                               {"Channel", "1"},
                               {"Pedal Key", "-1"}})
        StoreSetting(name, value);
}

} // namespace e2e

} // namespace zevaver
