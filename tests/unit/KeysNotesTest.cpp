#include "keyboard/KeyboardNotes.h"
#include "keyboard/Keys.h"

#include "KeysTestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <string>

namespace zevaver {

namespace {

using keystest::BuiltInSkin;
using keystest::Calls;
using keystest::Join;
using keystest::LogNotes;
using keystest::RecordingHost;

using KeysNotes = BuiltInSkin;
using KeysMouse = BuiltInSkin;

enum Start { Silent, Held, Sustained };
enum Action { Press, Release, ReleaseAll };

// Note 60 acted on from each of its states, with the pedal up or down: whether it is then
// drawn down, whether it sounds, and which events report that.
TEST_F(KeysNotes, FollowTheStateTableOfDrawnAndSoundingNotes) {
    struct Case {
        Start start;
        bool pedal;
        Action action;
        bool down, sounding;
        Calls events;
    };
    const Case cases[] = {
        {Silent, false, Press, true, true, {"on 60 100"}},
        {Held, false, Press, true, true, {"off 60", "on 60 100"}},
        {Held, false, Release, false, false, {"off 60"}},
        {Held, true, Release, false, true, {}},
        {Sustained, false, Press, true, true, {"off 60", "on 60 100"}},
        {Sustained, false, ReleaseAll, false, false, {"off 60"}},
        {Sustained, true, ReleaseAll, false, true, {}},
        {Silent, false, Release, false, false, {"off 60"}},
        {Silent, true, Release, false, false, {}},
        {Silent, false, ReleaseAll, false, false, {}},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        RecordingHost host;
        TKeyboardNotes keys(host);
        Calls log;
        LogNotes(keys, log);
        if (c.start != Silent) keys.PressNote(60, 80);
        host.pedalDown = c.start == Sustained;
        if (c.start == Sustained) keys.ReleaseNote(60);
        log.clear();
        host.pedalDown = c.pedal;
        if (c.action == Press) keys.PressNote(60, 100);
        if (c.action == Release) keys.ReleaseNote(60);
        if (c.action == ReleaseAll) keys.ReleaseAllNotes();
        EXPECT_EQ(keys.DownNotes().Contains(60), c.down) << "row " << i;
        EXPECT_EQ(keys.SoundingNotes().Contains(60), c.sounding) << "row " << i;
        EXPECT_EQ(keys.IsNoteSounding(60), c.sounding) << "row " << i;
        EXPECT_EQ(log, c.events) << "row " << i;
    }
}

TEST_F(KeysNotes, ReleaseAllEndsEverySoundingNoteFromTheLowestUp) {
    RecordingHost host;
    TKeyboardNotes keys(host);
    Calls log;
    LogNotes(keys, log);
    for (int note : {90, 0, 127, 45}) keys.PressNote(note, 1);
    host.pedalDown = true;
    keys.ReleaseNote(45);
    host.pedalDown = false;
    log.clear();
    keys.ReleaseAllNotes();
    EXPECT_EQ(log, (Calls{"off 0", "off 45", "off 90", "off 127"}));
    EXPECT_TRUE(keys.SoundingNotes().Empty());
    EXPECT_TRUE(keys.DownNotes().Empty());
}

TEST_F(KeysNotes, NotesOutsideTheMidiRangeAreReportedButNeverHeld) {
    RecordingHost host;
    TKeyboardNotes keys(host);
    Calls log;
    LogNotes(keys, log);
    keys.PressNote(128, 70);
    keys.PressNote(-1, 70);
    keys.ReleaseNote(128);
    EXPECT_EQ(log, (Calls{"on 128 70", "on -1 70", "off 128"}));
    EXPECT_TRUE(keys.DownNotes().Empty());
    EXPECT_TRUE(keys.SoundingNotes().Empty());
    EXPECT_FALSE(keys.IsNoteSounding(-1));
}

TEST_F(KeysNotes, TheControlRedrawsWhenTheKeysHeldChangeUnlessMinimized) {
    RecordingHost host(300, 100);
    TKeys keys(host, SkinConfig);
    TNoteSet held;
    held.Add(60);
    keys.ShowNotes(held);
    keys.ShowNotes(held); // no change
    EXPECT_EQ(host.presented.size(), 1u);
    keys.ShowNotes({});
    EXPECT_EQ(host.presented.size(), 2u);

    host.minimized = true;
    held.Add(61);
    keys.ShowNotes(held);
    EXPECT_EQ(host.presented.size(), 2u);
    EXPECT_EQ(keys.DownNotes(), held) << "drawn when the window comes back";
    EXPECT_EQ(host.invalidations, 0);
}

// Mouse events on the default control (200 x 50, key width 10, first C 36, black keys 31
// long), or on the same control stood upright (50 x 200): "L15,40" a left press, "R" and
// "C" a right and a middle press, ">15,40" a move with the left button held, "~" one with
// no button, "r" one with the right button and Shift, "U", "RU" and "CU" left, right and
// middle release, "X" the capture taken away.
TEST_F(KeysMouse, PressesDragsAndReleasesPlayTheKeysUnderThePoint) {
    struct Case {
        const char* what;
        bool vertical;
        int baseOctave;
        const char* events;
        const char* expected;
    };
    // clang-format off
    const Case cases[] = {
        {"a left press captures and plays, a drag moves from key to key, the release ends it",
         false, 3, "L15,40 >16,45 >9,10 >25,20 U",
         "capture, on 38 101, off 38, on 37 40, off 37, on 40 50, release, off 40"},
        {"other buttons capture but play nothing; the last release frees the mouse", false, 3,
         "R15,40 C15,40 RU CU", "capture, capture, release"},
        {"a move plays only with the left button held, taking the mouse and ending note -1",
         false, 3, "~5,40 r25,40 >25,40", "capture, off -1, on 40 101"},
        {"a left release after another button's press and release still ends the note", false,
         3, "L15,40 R15,40 RU U", "capture, on 38 101, capture, release, off 38"},
        {"a lost capture ends the left button's note", false, 3, "L15,40 X",
         "capture, on 38 101, off 38"},
        {"a capture lost with no left press ends nothing", false, 3, "R15,40 X", "capture"},
        {"a second left press without a release ends the first press's note", false, 3,
         "L15,40 L25,40 U", "capture, on 38 101, capture, off 38, on 40 101, release, off 40"},
        {"a drag just before the first key plays it and further out nothing", false, 3,
         "L25,40 >-9,40 >-10,40 >-3000,10 U",
         "capture, on 40 101, off 40, on 36 101, release, off 36"},
        {"a press above 127 plays nothing and its release ends note -1", false, 10, "L55,40 U",
         "capture, release, off -1"},
        {"a drag onto notes above 127 keeps the last playable one", false, 10,
         "L45,40 >55,40 >150,40 U L55,40 U",
         "capture, on 127 101, release, off 127, capture, release, off 127"},
        {"a drag below a horizontal keyboard plays its last row", false, 3, ">15,500",
         "capture, off -1, on 38 124"},
        {"a drag above a horizontal keyboard plays its far end", false, 3, ">8,-20",
         "capture, off -1, on 37 0"},
        {"a drag past the right end plays keys beyond those drawn", false, 3, ">215,40",
         "capture, off -1, on 72 101"},
        {"a drag right of a vertical keyboard plays its last row", true, 3, ">400,195",
         "capture, off -1, on 36 124"},
        {"a drag left of a vertical keyboard plays its far end", true, 3, ">-9,190",
         "capture, off -1, on 37 0"},
        {"a drag above a vertical keyboard plays keys beyond those drawn", true, 3, ">40,-20",
         "capture, off -1, on 72 101"},
    };
    // clang-format on
    for (const Case& c : cases) {
        RecordingHost host;
        TKeys keys(host, SkinConfig);
        LogNotes(keys, host.calls);
        keys.SetBaseOctave(c.baseOctave);
        if (c.vertical) {
            keys.SetOrientation(TKeyboardOrientation::Vertical);
            keys.SetBounds(0, 0, 50, 200);
        }
        std::istringstream in(c.events);
        int moves = 0;
        for (std::string event; in >> event;) {
            const size_t at = event.find_first_of("-0123456789");
            const std::string what = event.substr(0, at);
            int x = 0, y = 0;
            if (at != std::string::npos) std::sscanf(event.c_str() + at, "%d,%d", &x, &y);
            if (what == "L") keys.KeysMouseDown(TMouseButton::Left, TShiftState::Left, x, y);
            if (what == "R") keys.KeysMouseDown(TMouseButton::Right, TShiftState::Right, x, y);
            if (what == "C") keys.KeysMouseDown(TMouseButton::Middle, TShiftState::Middle, x, y);
            if (what == ">") keys.KeysMouseMove(TShiftState::Left, x, y);
            if (what == "~") keys.KeysMouseMove(TShiftState::None, x, y);
            if (what == "r") keys.KeysMouseMove(TShiftState::Right | TShiftState::Shift, x, y);
            if (what == "U") keys.KeysMouseUp(TMouseButton::Left, TShiftState::None, x, y);
            if (what == "RU") keys.KeysMouseUp(TMouseButton::Right, TShiftState::None, x, y);
            if (what == "CU") keys.KeysMouseUp(TMouseButton::Middle, TShiftState::None, x, y);
            if (what == "X") keys.KeysCaptureLost();
            moves += what == ">" || what == "~" || what == "r";
        }
        EXPECT_EQ(Join(host.calls), c.expected) << c.what;
        EXPECT_EQ(host.cursorSets, moves) << c.what << ": every move sets the skin cursor";
    }
}

} // namespace

} // namespace zevaver
