// The application core at a screen's scale: the stored window read at another DPI, a first
// run, and the window moved onto a screen of another DPI.
#include "mainwindow/AppCore.h"
#include "support/FakeAppHost.h"
#include "support/FakeFiles.h"
#include "support/FakeMidiOut.h"
#include "support/FakeRegistry.h"

#include <gtest/gtest.h>

namespace zevaver {

namespace {

class AppCoreAtAScale : public testing::Test {
protected:
    AppCoreAtAScale() {
        host.screen = {1920, 1080};
        host.workAreas = {{0, 0, 1920, 1040}};
    }
    void Store(const std::string& dpi) {
        registry.User() = {{"Width", "716"},
                           {"Height", "140"},
                           {"Left", "300"},
                           {"Top", "200"},
                           {"Note Width", "16"}};
        if (!dpi.empty()) registry.User()["DPI"] = dpi;
    }

    fakes::FakeAppHost host;
    fakes::FakeMidiOut midi;
    fakes::FakeRegistry registry;
    fakes::FakeFiles files;
    AppCore core{host, midi, registry, files};
};

TEST_F(AppCoreAtAScale, AWindowStoredAtOneHundredPercentOpensAsLargeToTheEyeAtOneFifty) {
    Store("96");
    host.dpi = 144;
    core.Start();
    EXPECT_EQ(host.bounds, (WindowRect{300, 200, 1074, 210}));
    EXPECT_EQ(core.Keys().NoteWidth(), 24) << "zoom 16 at 150 %";
    EXPECT_EQ(core.State().SkinConfig.Scale.Dpi(), 144);
    core.Stop();
    EXPECT_EQ(registry.User()["Width"], "1074");
    EXPECT_EQ(registry.User()["Height"], "210");
    EXPECT_EQ(registry.User()["DPI"], "144");
    EXPECT_EQ(registry.User()["Note Width"], "16");
}

// The window goes to a screen of 192 DPI left of the one it starts on: its size is for that.
TEST_F(AppCoreAtAScale, TheWindowIsSizedForTheScreenItGoesTo) {
    Store("96");
    host.workAreas = {{0, 0, 1920, 1040}, {-2560, 0, 0, 1400}};
    registry.User()["Left"] = "-2000";
    host.dpiAt = [](const WindowRect& area) { return area.left < 0 ? 192 : 96; };
    core.Start();
    EXPECT_EQ(host.bounds, (WindowRect{-2000, 200, 1432, 280}));
    EXPECT_EQ(core.Scale().Dpi(), 192);
}

TEST_F(AppCoreAtAScale, AFirstRunCentresTheFactorySizeAtTheScreensScale) {
    host.dpi = 192;
    core.Start();
    EXPECT_EQ(host.bounds, (WindowRect{960 - 716, 540 - 140, 1432, 280}));
}

TEST_F(AppCoreAtAScale, TurningUprightKeepsTheWholeKeyboardOnTheScreen) {
    Store("96");
    registry.User()["Top"] = "430";
    core.Start();
    core.Menu().Item("mnuVertical").Click();
    EXPECT_EQ(host.bounds, (WindowRect{300, 1040 - 716, 140, 716}));
    core.Stop();
    EXPECT_EQ(registry.User()["Top"], "324") << "and after a restart";
}

TEST_F(AppCoreAtAScale, MovedOntoAScreenOfAnotherDpiTheWindowTakesTheSuggestedBounds) {
    Store("96");
    core.Start();
    const int invalidations = host.invalidations;
    core.DpiChanged(120, {310, 205, 895, 175}, {400, 220});
    EXPECT_EQ(host.bounds, (WindowRect{310, 205, 895, 175}));
    EXPECT_EQ(core.Keys().NoteWidth(), 20);
    EXPECT_EQ(core.MinimumSize(), (ClientSize{125, 100}));
    EXPECT_GT(host.invalidations, invalidations) << "all of it repainted";
    EXPECT_EQ(host.icons.back(), "window MAINICON") << "its icons again, at the new sizes";
    // The same DPI again (the system may say so once more) changes nothing.
    host.bounds = {0, 0, 900, 180};
    core.DpiChanged(120, {310, 205, 895, 175}, {400, 220});
    EXPECT_EQ(host.bounds, (WindowRect{0, 0, 900, 180}));
}

} // namespace

} // namespace zevaver
