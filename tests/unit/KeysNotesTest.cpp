#include "keyboard/Keys.h"

#include "KeysTestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

using keystest::BuiltInSkin;
using keystest::EventLog;
using keystest::NoteEvent;
using keystest::Off;
using keystest::On;
using keystest::RecordingHost;

using KeysNotes = BuiltInSkin;
using KeysMouse = BuiltInSkin;

constexpr int Note = 60;

// Brings note 60 into one of the three states a note can be in.
enum class Start { Silent, Held, Sustained };

void Prepare(TKeys& keys, RecordingHost& host, Start start) {
    if (start == Start::Silent) return;
    keys.PressNote(Note, 80);
    if (start == Start::Sustained) {
        host.pedalDown = true;
        keys.ReleaseNote(Note);
        host.pedalDown = false;
    }
}

TEST_F(KeysNotes, FollowTheStateTableOfDrawnAndSoundingNotes) {
    struct Case {
        const char* what;
        Start start;
        bool pedal;
        std::function<void(TKeys&)> action;
        bool down;
        bool sounding;
        std::vector<NoteEvent> events;
    };
    const auto press = [](TKeys& keys) { keys.PressNote(Note, 100); };
    const auto release = [](TKeys& keys) { keys.ReleaseNote(Note); };
    const auto releaseAll = [](TKeys& keys) { keys.ReleaseAllNotes(); };
    const Case cases[] = {
        {"a press starts a silent note", Start::Silent, false, press, true, true, {On(Note, 100)}},
        {"a press of a held note ends it first",
         Start::Held,
         false,
         press,
         true,
         true,
         {Off(Note), On(Note, 100)}},
        {"a release ends a held note", Start::Held, false, release, false, false, {Off(Note)}},
        {"the pedal keeps a released note sounding", Start::Held, true, release, false, true, {}},
        {"a press of a sustained note ends it first",
         Start::Sustained,
         false,
         press,
         true,
         true,
         {Off(Note), On(Note, 100)}},
        {"releasing all ends a sustained note",
         Start::Sustained,
         false,
         releaseAll,
         false,
         false,
         {Off(Note)}},
        {"releasing all with the pedal down keeps it",
         Start::Sustained,
         true,
         releaseAll,
         false,
         true,
         {}},
        {"a release ends even a silent note",
         Start::Silent,
         false,
         release,
         false,
         false,
         {Off(Note)}},
        {"a release with the pedal down of a silent note fires nothing",
         Start::Silent,
         true,
         release,
         false,
         false,
         {}},
        {"releasing all leaves silent notes alone",
         Start::Silent,
         false,
         releaseAll,
         false,
         false,
         {}},
    };
    for (const Case& c : cases) {
        RecordingHost host;
        TKeys keys(host);
        EventLog log(keys);
        Prepare(keys, host, c.start);
        log.Take();
        host.pedalDown = c.pedal;
        c.action(keys);
        EXPECT_EQ(keys.DownNotes().Contains(Note), c.down) << c.what;
        EXPECT_EQ(keys.SoundingNotes().Contains(Note), c.sounding) << c.what;
        EXPECT_EQ(keys.IsNoteSounding(Note), c.sounding) << c.what;
        EXPECT_EQ(log.Take(), c.events) << c.what;
    }
}

TEST_F(KeysNotes, ReleaseAllEndsEverySoundingNoteFromTheLowestUp) {
    RecordingHost host;
    TKeys keys(host);
    EventLog log(keys);
    for (int note : {90, 0, 127, 45}) keys.PressNote(note, 1);
    host.pedalDown = true;
    keys.ReleaseNote(45);
    host.pedalDown = false;
    log.Take();
    keys.ReleaseAllNotes();
    EXPECT_EQ(log.Take(), (std::vector<NoteEvent>{Off(0), Off(45), Off(90), Off(127)}));
    EXPECT_TRUE(keys.SoundingNotes().Empty());
    EXPECT_TRUE(keys.DownNotes().Empty());
}

TEST_F(KeysNotes, ReportNotesOutsideTheMidiRangeButNeverHoldThem) {
    RecordingHost host;
    TKeys keys(host);
    EventLog log(keys);
    keys.PressNote(128, 70);
    keys.PressNote(-1, 70);
    keys.ReleaseNote(128);
    EXPECT_EQ(log.Take(), (std::vector<NoteEvent>{On(128, 70), On(-1, 70), Off(128)}));
    EXPECT_TRUE(keys.DownNotes().Empty());
    EXPECT_TRUE(keys.SoundingNotes().Empty());
    EXPECT_FALSE(keys.IsNoteSounding(128));
    EXPECT_FALSE(keys.IsNoteSounding(-1));
}

TEST_F(KeysNotes, WorkWithoutEventHandlers) {
    RecordingHost host;
    TKeys keys(host);
    keys.PressNote(60, 1);
    keys.PressNote(60, 1);
    keys.ReleaseNote(60);
    EXPECT_TRUE(keys.SoundingNotes().Empty());
}

TEST_F(KeysNotes, RedrawAtOnceWhenAKeyChangesUnlessMinimized) {
    RecordingHost host(300, 100);
    TKeys keys(host);
    keys.PressNote(60, 1);
    keys.PressNote(60, 1); // already drawn down
    EXPECT_EQ(host.presented.size(), 1u);
    host.pedalDown = true;
    keys.ReleaseNote(60); // drawn up although it keeps sounding
    EXPECT_EQ(host.presented.size(), 2u);
    keys.ReleaseNote(60); // already drawn up
    EXPECT_EQ(host.presented.size(), 2u);

    host.minimized = true;
    keys.PressNote(61, 1);
    keys.ReleaseNote(61);
    EXPECT_EQ(host.presented.size(), 2u);
    EXPECT_EQ(host.invalidations, 0);
}

// Mouse: the default control (200 x 50, key width 10, base octave 3: the first C is 36),
// black keys 31 pixels long and 6 wide.

TEST_F(KeysMouse, ALeftPressPlaysTheKeyUnderThePointAndCapturesTheMouse) {
    RecordingHost host;
    TKeys keys(host);
    EventLog log(keys);
    keys.KeysMouseDown(mbLeft, ssLeft, 15, 40);
    EXPECT_EQ(host.captures, 1);
    EXPECT_EQ(keys.MouseNote(), 38);
    EXPECT_EQ(log.Take(), (std::vector<NoteEvent>{On(38, 40 * 127 / 50)}));
}

TEST_F(KeysMouse, OtherButtonsCaptureButPlayNothing) {
    RecordingHost host;
    TKeys keys(host);
    EventLog log(keys);
    keys.KeysMouseDown(mbRight, ssRight, 15, 40);
    keys.KeysMouseDown(mbMiddle, ssMiddle, 15, 40);
    keys.KeysMouseUp(mbRight, 0, 15, 40);
    EXPECT_EQ(host.captures, 2);
    EXPECT_EQ(host.captureReleases, 1);
    EXPECT_EQ(keys.MouseNote(), -1);
    EXPECT_TRUE(log.events.empty());
}

TEST_F(KeysMouse, ADragEndsThePreviousKeyAndPlaysEachNewOneWithItsOwnVelocity) {
    RecordingHost host;
    TKeys keys(host);
    EventLog log(keys);
    keys.KeysMouseDown(mbLeft, ssLeft, 5, 40); // C
    keys.KeysMouseMove(ssLeft, 6, 45);         // still C: nothing
    keys.KeysMouseMove(ssLeft, 9, 10);         // C sharp
    keys.KeysMouseMove(ssLeft, 25, 20);        // E
    keys.KeysMouseUp(mbLeft, 0, 25, 20);
    EXPECT_EQ(log.Take(), (std::vector<NoteEvent>{On(36, 101), Off(36), On(37, 10 * 127 / 31),
                                                  Off(37), On(40, 20 * 127 / 50), Off(40)}));
    EXPECT_EQ(host.captureReleases, 1);
    EXPECT_TRUE(keys.SoundingNotes().Empty());
}

TEST_F(KeysMouse, AMoveSetsTheSkinCursorAndPlaysOnlyWithTheLeftButtonHeld) {
    RecordingHost host;
    TKeys keys(host);
    EventLog log(keys);
    keys.KeysMouseMove(0, 5, 40);
    keys.KeysMouseMove(ssRight | ssShift, 25, 40);
    EXPECT_EQ(host.cursorSets, 2);
    EXPECT_TRUE(log.events.empty());
    keys.KeysMouseMove(ssLeft, 25, 40);
    EXPECT_EQ(host.cursorSets, 3);
    // No press came first: the drag ends MouseNote (-1) before its first note.
    EXPECT_EQ(log.Take(), (std::vector<NoteEvent>{Off(-1), On(40, 101)}));
}

TEST_F(KeysMouse, ADragHoldsOnlyTheAcrossCoordinateInsideTheControl) {
    struct Case {
        const char* what;
        TKeyboardOrientation orientation;
        int x, y;
        NoteEvent played;
    };
    const Case cases[] = {
        {"below a horizontal keyboard: its last row", kbHorizontal, 15, 500, On(38, 49 * 127 / 50)},
        {"above a horizontal keyboard: its far end", kbHorizontal, 8, -20, On(37, 0)},
        {"past the right end: keys beyond those drawn", kbHorizontal, 215, 40, On(72, 101)},
        {"right of a vertical keyboard", kbVertical, 400, 195, On(36, 49 * 127 / 50)},
        {"left of a vertical keyboard", kbVertical, -9, 190, On(37, 0)},
        {"above a vertical keyboard", kbVertical, 40, -20, On(72, 101)},
    };
    for (const Case& c : cases) {
        RecordingHost host;
        TKeys keys(host);
        if (c.orientation == kbVertical) {
            keys.SetOrientation(kbVertical);
            keys.SetBounds(0, 0, 50, 200);
        }
        EventLog log(keys);
        keys.KeysMouseMove(ssLeft, c.x, c.y);
        ASSERT_EQ(log.events.size(), 2u) << c.what;
        EXPECT_EQ(log.events[1], c.played) << c.what;
    }
}

TEST_F(KeysMouse, ADragJustBeforeTheStartPlaysTheFirstCAndFurtherOutNothing) {
    RecordingHost host;
    TKeys keys(host);
    EventLog log(keys);
    keys.KeysMouseDown(mbLeft, ssLeft, 25, 40); // E
    keys.KeysMouseMove(ssLeft, -9, 40);
    EXPECT_EQ(keys.MouseNote(), 36);
    keys.KeysMouseMove(ssLeft, -10, 40);
    keys.KeysMouseMove(ssLeft, -95, 40);
    keys.KeysMouseMove(ssLeft, -3000, 10);
    EXPECT_EQ(keys.MouseNote(), 36);
    EXPECT_EQ(log.Take(), (std::vector<NoteEvent>{On(40, 101), Off(40), On(36, 101)}));
}

TEST_F(KeysMouse, APressAbove127PlaysNothingAndTheReleaseEndsTheEarlierMouseNote) {
    RecordingHost host;
    TKeys keys(host);
    EventLog log(keys);
    keys.SetBaseOctave(10); // the first C is 120; G (x 45) is 127, A (x 55) is 129
    keys.KeysMouseDown(mbLeft, ssLeft, 55, 40);
    EXPECT_EQ(keys.MouseNote(), -1);
    EXPECT_TRUE(log.events.empty());
    EXPECT_EQ(host.captures, 1);
    keys.KeysMouseUp(mbLeft, 0, 55, 40);
    EXPECT_EQ(log.Take(), (std::vector<NoteEvent>{Off(-1)}));

    keys.KeysMouseDown(mbLeft, ssLeft, 45, 40);
    keys.KeysMouseUp(mbLeft, 0, 45, 40);
    keys.KeysMouseDown(mbLeft, ssLeft, 55, 40);
    EXPECT_EQ(keys.MouseNote(), 127);
    keys.KeysMouseUp(mbLeft, 0, 55, 40);
    EXPECT_EQ(log.Take(), (std::vector<NoteEvent>{On(127, 101), Off(127), Off(127)}));
}

TEST_F(KeysMouse, ADragOntoNotesAbove127KeepsTheLastPlayableOne) {
    RecordingHost host;
    TKeys keys(host);
    EventLog log(keys);
    keys.SetBaseOctave(10);
    keys.KeysMouseDown(mbLeft, ssLeft, 45, 40);
    keys.KeysMouseMove(ssLeft, 55, 40);
    keys.KeysMouseMove(ssLeft, 150, 40);
    EXPECT_EQ(keys.MouseNote(), 127);
    EXPECT_EQ(log.Take(), (std::vector<NoteEvent>{On(127, 101)}));
}

} // namespace
