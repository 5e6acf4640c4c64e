#include "mainwindow/AppCore.h"
#include "mainwindow/Geometry.h"
#include "mainwindow/ResizeDamage.h"
#include "support/FakeAppHost.h"
#include "support/FakeFiles.h"
#include "support/FakeMidiOut.h"
#include "support/FakeRegistry.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <tuple>
#include <vector>

namespace zevaver {

namespace {

TEST(Geometry, ControlsSitWhereTheTablesPutThem) {
    const FrameMetrics bitmap{false, 4, 18, 20};
    const FrameMetrics windows{true, 0, 0, 36};
    struct Case {
        const char* what;
        FrameMetrics frame;
        ClientSize client;
        bool vertical;
        WindowRect keyboard;
        WindowRect trackbar;
    };
    const Case cases[] = {
        {"bitmap, horizontal", bitmap, {700, 120}, false, {5, 23, 671, 92}, {675, 23, 20, 92}},
        {"bitmap, vertical", bitmap, {120, 700}, true, {5, 43, 110, 652}, {5, 23, 110, 20}},
        {"windows, horizontal", windows, {700, 120}, false, {0, 0, 664, 120}, {664, 0, 36, 120}},
        {"windows, vertical", windows, {120, 700}, true, {0, 36, 120, 664}, {0, 0, 120, 36}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(KeyboardRect(c.frame, c.client, c.vertical), c.keyboard) << c.what;
        EXPECT_EQ(TrackbarRect(c.frame, c.client, c.vertical), c.trackbar) << c.what;
    }
}

TEST(Geometry, InnerRectIsTheClientShrunkByTheBorder) {
    const fw::PixelRect inner = InnerRect({700, 120}, 4);
    EXPECT_EQ(inner.left, 4);
    EXPECT_EQ(inner.top, 4);
    EXPECT_EQ(inner.right, 696);
    EXPECT_EQ(inner.bottom, 116);
}

TEST(Geometry, AWindowOnNoMonitorGoesToThePrimaryScreensBottomRightCorner) {
    const ClientSize primary{1920, 1080};
    const std::vector<fw::PixelRect> one{{0, 0, 1920, 1080}};
    // A second monitor left of, right of or above the primary one.
    const std::vector<fw::PixelRect> left{{0, 0, 1920, 1080}, {-1280, 0, 0, 1024}};
    const std::vector<fw::PixelRect> right{{0, 0, 1920, 1080}, {1920, 0, 3200, 1024}};
    const std::vector<fw::PixelRect> above{{0, 0, 1920, 1080}, {0, -1200, 1920, 0}};
    const Placement corner{1920 - 716, 1080 - 140};
    struct Case {
        const char* what;
        int left, top;
        const std::vector<fw::PixelRect>& monitors;
        Placement expected;
    };
    const Case cases[] = {
        {"left at 5000 on one 1920-pixel screen", 5000, 100, one, corner},
        {"top past the bottom: left corrected too", 100, 5000, one, corner},
        {"exactly at the right edge lies on no monitor", 1920, 0, one, corner},
        {"partly off the left edge stays", -300, 100, one, {-300, 100}},
        {"wholly left of a lone screen", -2000, 100, one, corner},
        {"in the corner already", 1204, 940, one, {1204, 940}},
        {"on a monitor left of the primary", -1000, 200, left, {-1000, 200}},
        {"on a monitor right of the primary", 2500, 300, right, {2500, 300}},
        {"on a monitor above the primary", 400, -900, above, {400, -900}},
        {"beyond the monitor on the right", 3300, 300, right, corner},
        {"far away in the registry", 2147483000, 2147483000, one, corner},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CorrectPlacement(c.left, c.top, 716, 140, primary, c.monitors), c.expected)
            << c.what;
}

TEST(Geometry, ZoomStaysWithinSevenAndAHundred) {
    EXPECT_EQ(ZoomedOut(7), 7);
    EXPECT_EQ(ZoomedOut(16), 15);
    EXPECT_EQ(ZoomedIn(100), 100);
    EXPECT_EQ(ZoomedIn(16), 17);
    // Stored widths far outside the range come back into it without overflowing.
    EXPECT_EQ(ZoomedIn(INT32_MAX), 100);
    EXPECT_EQ(ZoomedOut(INT32_MIN), 7);
}

TEST(Geometry, APlacementFromStoredSizesAtTheEdgesOfTheirRangeDoesNotOverflow) {
    Placement p = CorrectPlacement(2000, 0, INT32_MIN, INT32_MIN, 1920, 1080);
    EXPECT_EQ(p.left, INT32_MAX);
    EXPECT_EQ(p.top, INT32_MAX);
    p = CorrectPlacement(2000, 0, INT32_MAX, 140, 1920, 1080);
    EXPECT_EQ(p.left, 1920 - INT32_MAX);
    EXPECT_EQ(p.top, 1080 - 140);
}

// The core places the window with every monitor the platform reports.
class TwoMonitors final : public fakes::FakeAppHost {
public:
    std::vector<fw::PixelRect> Monitors() override {
        return {{0, 0, screen.Width, screen.Height}, {-1280, 0, 0, 1024}};
    }
};

TEST(Geometry, TheCoreKeepsAWindowOnASecondMonitorAndMovesALostOne) {
    for (auto [left, expectedLeft, expectedTop] :
         {std::tuple{-1000, -1000, 200}, std::tuple{-5000, 1024 - 716, 768 - 140}}) {
        TwoMonitors host;
        fakes::FakeMidiOut midi;
        fakes::FakeRegistry registry;
        fakes::FakeFiles files;
        registry.User() = {{"Left", std::to_string(left)},
                           {"Top", "200"},
                           {"Width", "716"},
                           {"Height", "140"},
                           {"Note Width", "16"}};
        AppCore core{host, midi, registry, files};
        core.Start();
        EXPECT_EQ(host.bounds.left, expectedLeft) << left;
        EXPECT_EQ(host.bounds.top, expectedTop) << left;
    }
}

} // namespace

TEST(ResizeDamageTest, OnlyAWidthChangeOfAHorizontalKeyboardLeavesItsLeftPartAlone) {
    const WidthDependents depths = WidthDependentsOf({false, 4, 20, 24}, 16, 16, 1);
    EXPECT_EQ(depths.top, 25);
    EXPECT_EQ(depths.bottom, 16);
    EXPECT_EQ(depths.right, 4 + 24 + 16 + 32 + 1 + 1);
    using Rects = std::vector<fw::PixelRect>;
    EXPECT_EQ(ResizeDamage({900, 200}, {950, 200}, false, depths),
              (Rects{{0, 0, 950, 25}, {0, 184, 950, 200}, {900 - 78, 0, 950, 200}}));
    EXPECT_EQ(ResizeDamage({950, 200}, {900, 200}, false, depths).back(),
              (fw::PixelRect{900 - 78, 0, 900, 200}));
    const Rects all{{0, 0, 950, 210}};
    EXPECT_EQ(ResizeDamage({900, 200}, {950, 210}, false, depths), all) << "a new height";
    EXPECT_EQ(ResizeDamage({900, 210}, {950, 210}, true, depths), all) << "a vertical keyboard";
    EXPECT_EQ(ResizeDamage({0, 0}, {950, 210}, false, depths), all) << "the first layout";
    EXPECT_EQ(ResizeDamage({60, 210}, {950, 210}, false, depths), all) << "nothing to keep";
    EXPECT_TRUE(ResizeDamage({950, 210}, {950, 210}, false, depths).empty());
}

} // namespace zevaver
