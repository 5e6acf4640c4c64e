#include "keyboard/Keys.h"

#include "KeysTestSupport.h"

#include <gtest/gtest.h>

namespace {

using keystest::BuiltInSkin;
using keystest::RecordingHost;

using KeysHitTest = BuiltInSkin;

// Points given along and across the keyboard, so each case runs in both orientations:
// horizontally (x = along, y = across) and vertically (x = across, y counted up from the
// bottom edge).
struct HitCase {
    const char* what;
    int along;
    int across;
    int note;
    int velocity;
};

// BaseOctave 4, key width 16, depth 100, black keys 62 pixels long: half a black key is 4.
const HitCase OctaveFourWidthSixteen[] = {
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
    {"A sharp is shifted one pixel right", 92, 5, 69 - 12, 6},
    {"A sharp right after that", 93, 5, 70 - 12, 10},
    {"B is the last key of the octave", 111, 5, 59, 6},
    {"the next octave starts with C", 112, 70, 60, 88},
    {"the far end gives velocity 0", 12, 0, 49, 0},
    {"the near edge of a white key gives at most 126", 3, 99, 48, 125},
    {"the last row of a black key gives at most 126", 12, 61, 49, 124},
    {"less than one key width before the start is still the first C", -1, 70, 48, 88},
    {"the whole width before the start but one pixel", -15, 5, 48, 6},
    {"one full key width before the start plays nothing", -16, 5, NoNote, 0},
    {"a whole octave before the start plays nothing", -112, 70, NoNote, 0},
    {"far before the start plays nothing", -100000, 5, NoNote, 0},
    {"a drag past the end keeps counting keys", 16 * 7 * 20, 70, 48 + 12 * 20, 88},
    {"a point above the keys clamps the velocity at 0", 12, -30, 49, 0},
    {"a point beyond the keys clamps the velocity at 127", 20, 500, 50, 127},
};

TNoteHit HitAt(TKeys& keys, const HitCase& c) {
    if (keys.Orientation() == kbHorizontal) return keys.NoteAt(c.along, c.across);
    return keys.NoteAt(c.across, keys.Height() - 1 - c.along);
}

TEST_F(KeysHitTest, FindsTheKeyAndVelocityOfEveryPointInBothOrientations) {
    for (TKeyboardOrientation orientation : {kbHorizontal, kbVertical}) {
        RecordingHost host;
        TKeys keys(host);
        keys.SetBaseOctave(4);
        keys.SetNoteWidth(16);
        keys.SetOrientation(orientation);
        if (orientation == kbHorizontal) {
            keys.SetBounds(0, 0, 700, 100);
        } else {
            keys.SetBounds(0, 0, 100, 700);
        }
        for (const HitCase& c : OctaveFourWidthSixteen) {
            const TNoteHit hit = HitAt(keys, c);
            const char* name = orientation == kbHorizontal ? "horizontal: " : "vertical: ";
            EXPECT_EQ(hit.Note, c.note) << name << c.what;
            if (c.note != NoNote) {
                EXPECT_EQ(hit.Velocity, c.velocity) << name << c.what;
            }
        }
    }
}

TEST_F(KeysHitTest, FindsTheLowestCSharpOfATallVerticalKeyboard) {
    RecordingHost host;
    TKeys keys(host);
    keys.SetOrientation(kbVertical);
    keys.SetBounds(0, 0, 50, 200);
    // Along 9, across 5: C sharp over the lowest white key (y 189..199).
    const TNoteHit hit = keys.NoteAt(5, 190);
    EXPECT_EQ(hit.Note, 37);
    EXPECT_EQ(hit.Velocity, 5 * 127 / 31);
    EXPECT_EQ(keys.NoteAt(40, 195).Note, 36);
    EXPECT_EQ(keys.NoteAt(40, 188).Note, 38);
}

TEST_F(KeysHitTest, GivesVelocity127EverywhereWithoutVelocityMode) {
    RecordingHost host;
    TKeys keys(host);
    keys.VelocityMode = false;
    for (int y : {0, 5, 30, 31, 49}) {
        for (int x : {0, 7, 15, 199}) {
            EXPECT_EQ(keys.NoteAt(x, y).Velocity, 127) << x << ", " << y;
        }
    }
}

TEST_F(KeysHitTest, GivesVelocityZeroWhenTheKeysHaveNoDepth) {
    RecordingHost host;
    TKeys keys(host);
    SkinConfig.BlackKeysHeight = 0;
    keys.SetBounds(0, 0, 200, 0);
    // Above the keys every point counts as black, and the black keys have no length.
    EXPECT_EQ(keys.NoteAt(8, -1).Velocity, 0);
    EXPECT_EQ(keys.NoteAt(3, 0).Velocity, 0);
}

TEST_F(KeysHitTest, DoesNotLimitTheNoteToTheMidiRange) {
    RecordingHost host;
    TKeys keys(host);
    keys.SetBaseOctave(10);
    EXPECT_EQ(keys.NoteAt(75, 45).Note, 120 + 12 + 0);
    keys.SetBaseOctave(-2);
    EXPECT_EQ(keys.NoteAt(5, 45).Note, -24);
}

} // namespace
