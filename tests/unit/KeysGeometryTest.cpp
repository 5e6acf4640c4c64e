#include "keyboard/Keys.h"

#include "KeysTestSupport.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

using keystest::BuiltInSkin;
using keystest::RecordingHost;

using KeysGeometry = BuiltInSkin;
using KeysWriters = BuiltInSkin;

TEST_F(KeysGeometry, ANewControlHasTheDocumentedDefaults) {
    RecordingHost host;
    TKeys keys(host);
    EXPECT_EQ(keys.Orientation(), kbHorizontal);
    EXPECT_EQ(keys.NoteWidth(), 10);
    EXPECT_EQ(keys.BaseOctave(), 3);
    EXPECT_EQ(keys.Width(), 200);
    EXPECT_EQ(keys.Height(), 50);
    EXPECT_TRUE(keys.VelocityMode);
    EXPECT_FALSE(keys.OnNoteOn);
    EXPECT_FALSE(keys.OnNoteOff);
    EXPECT_TRUE(keys.DownNotes().Empty());
    EXPECT_TRUE(keys.SoundingNotes().Empty());
    EXPECT_EQ(keys.MouseNote(), -1);
}

TEST_F(KeysGeometry, MetricsFollowTheOrientationKeyWidthAndBlackKeyLength) {
    struct Case {
        const char* what;
        TKeyboardOrientation orientation;
        int width, height, noteWidth, blackKeysHeight;
        TKeyMetrics expected;
    };
    const Case cases[] = {
        {"the default 200 x 50 control", kbHorizontal, 200, 50, 10, 62, {200, 50, 31, 6}},
        {"key width 16", kbHorizontal, 200, 100, 16, 62, {200, 100, 62, 9}},
        {"vertical swaps length and depth", kbVertical, 50, 200, 10, 62, {200, 50, 31, 6}},
        {"depth times percent truncates", kbHorizontal, 300, 99, 7, 62, {300, 99, 61, 4}},
        {"black keys as long as white ones", kbHorizontal, 100, 40, 10, 100, {100, 40, 40, 6}},
        {"key width 1 has no black width", kbHorizontal, 100, 40, 1, 62, {100, 40, 24, 0}},
    };
    for (const Case& c : cases) {
        RecordingHost host;
        TKeys keys(host);
        SkinConfig.BlackKeysHeight = c.blackKeysHeight;
        keys.SetOrientation(c.orientation);
        keys.SetBounds(0, 0, c.width, c.height);
        keys.SetNoteWidth(c.noteWidth);
        const TKeyMetrics m = keys.GetMetrics();
        EXPECT_EQ(m.Length, c.expected.Length) << c.what;
        EXPECT_EQ(m.Depth, c.expected.Depth) << c.what;
        EXPECT_EQ(m.BlackDepth, c.expected.BlackDepth) << c.what;
        EXPECT_EQ(m.BlackWidth, c.expected.BlackWidth) << c.what;
    }
}

TEST_F(KeysGeometry, HugeSizesSaturateInsteadOfOverflowing) {
    RecordingHost host;
    TKeys keys(host);
    SkinConfig.BlackKeysHeight = 1000;
    keys.SetBounds(0, 0, 10, 2'000'000'000);
    keys.SetNoteWidth(2'000'000'000);
    const TKeyMetrics m = keys.GetMetrics();
    EXPECT_EQ(m.BlackDepth, INT_MAX);
    EXPECT_EQ(m.BlackWidth, 1'200'000'000);
}

TEST_F(KeysWriters, KeepTheKeyWidthAtLeastOnePixel) {
    struct Case {
        int written;
        int stored;
        int noteAt25; // the white key under (25, 45); the hit test divides by the width
    };
    const Case cases[] = {{16, 16, 38}, {1, 1, 79}, {0, 1, 79}, {-5, 1, 79}, {INT_MIN, 1, 79}};
    for (const Case& c : cases) {
        RecordingHost host;
        TKeys keys(host);
        keys.SetNoteWidth(c.written);
        EXPECT_EQ(keys.NoteWidth(), c.stored) << c.written;
        EXPECT_EQ(keys.NoteAt(25, 45).Note, c.noteAt25) << c.written;
    }
}

TEST_F(KeysWriters, InvalidateOnlyWhenTheValueChanges) {
    RecordingHost host(300, 100);
    TKeys keys(host);

    keys.SetOrientation(kbHorizontal);
    keys.SetNoteWidth(10);
    keys.SetNoteWidth(-3); // stored as 1: a change
    keys.SetNoteWidth(0);  // stored as 1 again: none
    keys.SetBounds(0, 0, 200, 50);
    EXPECT_EQ(host.invalidations, 1);

    keys.SetOrientation(kbVertical);
    keys.SetBounds(1, 0, 200, 50);
    keys.SetBounds(1, 0, 200, 51);
    EXPECT_EQ(host.invalidations, 4);
    EXPECT_TRUE(host.presented.empty()) << "invalidating writers draw later, not now";
}

TEST_F(KeysWriters, ABaseOctaveChangeRepaintsAtOnce) {
    RecordingHost host(300, 100);
    TKeys keys(host);
    keys.SetBaseOctave(3);
    EXPECT_TRUE(host.presented.empty());
    keys.SetBaseOctave(5);
    ASSERT_EQ(host.presented.size(), 1u);
    EXPECT_EQ(host.presented[0], (keystest::PresentedRect{0, 0, 200, 50}));
    EXPECT_EQ(host.invalidations, 0);
}

TEST_F(KeysWriters, LeaveHeldNotesAlone) {
    RecordingHost host;
    TKeys keys(host);
    keys.PressNote(40, 90);
    keys.SetBaseOctave(5);
    keys.SetNoteWidth(30);
    keys.SetOrientation(kbVertical);
    EXPECT_TRUE(keys.DownNotes().Contains(40));
    EXPECT_TRUE(keys.IsNoteSounding(40));
}

} // namespace
