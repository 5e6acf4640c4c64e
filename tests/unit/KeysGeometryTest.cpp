#include "keyboard/Keys.h"

#include "KeysTestSupport.h"

#include <gtest/gtest.h>

#include <climits>
#include <tuple>
#include <vector>

namespace zevaver {

namespace {

using keystest::BuiltInSkin;
using keystest::PresentedRect;
using keystest::RecordingHost;

using KeysGeometry = BuiltInSkin;

constexpr int Huge = 2'000'000'000;

TEST_F(KeysGeometry, MetricsFollowTheOrientationKeyWidthAndBlackKeyLength) {
    struct Case {
        TKeyboardOrientation orientation;
        int width, height, noteWidth, blackKeysHeight;
        TKeyMetrics m;
    };
    const Case cases[] = {
        {TKeyboardOrientation::Horizontal, 200, 50, 10, 62, {200, 50, 31, 6}},
        {TKeyboardOrientation::Vertical, 50, 200, 10, 62, {200, 50, 31, 6}},
        {TKeyboardOrientation::Horizontal, 300, 99, 7, 62, {300, 99, 61, 4}},
        {TKeyboardOrientation::Horizontal, 100, 40, 1, 100, {100, 40, 40, 0}},
        {TKeyboardOrientation::Horizontal,
         10,
         Huge,
         Huge,
         1000,
         {10, Huge, INT_MAX, 1'200'000'000}},
    };
    for (const Case& c : cases) {
        RecordingHost host;
        TKeys keys(host, SkinConfig);
        SkinConfig.BlackKeysHeight = c.blackKeysHeight;
        keys.SetOrientation(c.orientation);
        keys.SetBounds(0, 0, c.width, c.height);
        keys.SetNoteWidth(c.noteWidth);
        const TKeyMetrics m = keys.GetMetrics();
        EXPECT_EQ((std::tuple{m.Length, m.Depth, m.BlackDepth, m.BlackWidth}),
                  (std::tuple{c.m.Length, c.m.Depth, c.m.BlackDepth, c.m.BlackWidth}))
            << c.width << " x " << c.height << ", key width " << c.noteWidth;
    }
}

TEST_F(KeysGeometry, AKeyWidthBelowOneIsStoredAsOne) {
    for (int written : {0, -5, INT_MIN}) {
        RecordingHost host;
        TKeys keys(host, SkinConfig);
        keys.SetNoteWidth(written);
        EXPECT_EQ(keys.NoteWidth(), 1) << written;
        EXPECT_EQ(keys.NoteAt(25, 45).Note, 79) << written;
    }
}

TEST_F(KeysGeometry, WritersInvalidateOnChangeTheBaseOctaveRepaintsAndHeldNotesStay) {
    RecordingHost host(300, 100);
    TKeys keys(host, SkinConfig);
    TNoteSet held;
    held.Add(40);
    keys.ShowNotes(held);
    host.presented.clear();
    keys.SetOrientation(TKeyboardOrientation::Horizontal);
    keys.SetNoteWidth(-3); // stored as 1: a change
    keys.SetNoteWidth(0);  // stored as 1 again: none
    keys.SetBounds(0, 0, 200, 50);
    keys.SetBaseOctave(3);
    EXPECT_EQ(host.invalidations, 1);
    keys.SetOrientation(TKeyboardOrientation::Vertical);
    keys.SetBounds(1, 0, 200, 50);
    EXPECT_EQ(host.invalidations, 3);
    EXPECT_TRUE(host.presented.empty()) << "invalidating writers draw later";

    keys.SetBaseOctave(5);
    EXPECT_EQ(host.presented, (std::vector<PresentedRect>{{1, 0, 200, 50}}));
    EXPECT_EQ(host.invalidations, 3);
    EXPECT_EQ(keys.DownNotes(), held);
}

// BaseOctave 4, key width 16, depth 100, black keys 62 long and 9 wide. Points are given
// along and across the keyboard so that each case runs in both orientations.
struct HitCase {
    const char* what;
    int along, across, note, velocity;
};
const HitCase HitCases[] = {
    {"the right part of C is C sharp", 12, 5, 49, 5 * 127 / 62},
    {"below the black keys it is white C", 12, 70, 48, 70 * 127 / 100},
    {"the left part of C has no black key before it", 3, 5, 48, 5 * 127 / 100},
    {"the left part of D is the C sharp", 19, 5, 49, 5 * 127 / 62},
    {"the right part of C starts at 16 - 4 - 1", 11, 5, 49, 10},
    {"one pixel left of it is white C", 10, 5, 48, 6},
    {"the left part of D ends before 9 - 4 - 1", 20, 5, 50, 6},
    {"E has no black key after it", 44, 5, 52, 6},
    {"F has none before it", 48, 5, 53, 6},
    {"F sharp lies in the right part of F", 63, 30, 54, 30 * 127 / 62},
    {"A sharp is shifted one pixel right", 92, 5, 57, 6},
    {"A sharp right after that", 93, 5, 58, 10},
    {"B is the last key of the octave", 111, 5, 59, 6},
    {"the next octave starts with C", 112, 70, 60, 88},
    {"the far end gives velocity 0", 12, 0, 49, 0},
    {"the near edge of a white key gives at most 126", 3, 99, 48, 125},
    {"the last row of a black key gives at most 126", 12, 61, 49, 124},
    {"less than a key width before the start is the first C", -1, 70, 48, 88},
    {"a key width before the start but one pixel", -15, 5, 48, 6},
    {"a full key width before the start plays nothing", -16, 5, NoNote, 0},
    {"a whole octave before the start plays nothing", -112, 70, NoNote, 0},
    {"far before the start plays nothing", -100000, 5, NoNote, 0},
    {"a drag past the end keeps counting keys", 16 * 7 * 20, 70, 48 + 12 * 20, 88},
    {"above the keys the velocity is clamped at 0", 12, -30, 49, 0},
    {"beyond the keys the velocity is clamped at 127", 20, 500, 50, 127},
};

TEST_F(KeysGeometry, TheHitTestFindsKeyAndVelocityInBothOrientations) {
    for (TKeyboardOrientation orientation :
         {TKeyboardOrientation::Horizontal, TKeyboardOrientation::Vertical}) {
        RecordingHost host;
        TKeys keys(host, SkinConfig);
        keys.SetBaseOctave(4);
        keys.SetNoteWidth(16);
        keys.SetOrientation(orientation);
        const bool vertical = orientation == TKeyboardOrientation::Vertical;
        keys.SetBounds(0, 0, vertical ? 100 : 700, vertical ? 700 : 100);
        for (const HitCase& c : HitCases) {
            const TNoteHit hit =
                vertical ? keys.NoteAt(c.across, 699 - c.along) : keys.NoteAt(c.along, c.across);
            const char* where = vertical ? "vertical: " : "horizontal: ";
            EXPECT_EQ(hit.Note, c.note) << where << c.what;
            EXPECT_EQ(hit.Note == NoNote ? 0 : hit.Velocity, c.velocity) << where << c.what;
        }
    }
}

TEST_F(KeysGeometry, TheHitTestCopesWithoutVelocityModeDepthOrMidiRange) {
    RecordingHost host;
    TKeys keys(host, SkinConfig);
    keys.VelocityMode = false;
    for (int y : {0, 30, 49}) EXPECT_EQ(keys.NoteAt(7, y).Velocity, 127) << y;

    keys.SetBaseOctave(10);
    EXPECT_EQ(keys.NoteAt(75, 45).Note, 132);
    keys.SetBaseOctave(-2);
    EXPECT_EQ(keys.NoteAt(5, 45).Note, -24);

    keys.VelocityMode = true;
    SkinConfig.BlackKeysHeight = 0;
    keys.SetBounds(0, 0, 200, 0);
    EXPECT_EQ(keys.NoteAt(8, -1).Velocity, 0);
    EXPECT_EQ(keys.NoteAt(3, 0).Velocity, 0);
}

} // namespace

} // namespace zevaver
