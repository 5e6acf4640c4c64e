// The main window in this process, with a recording MIDI library and an in-memory settings
// store: what its creation leaves behind, and what each kind of menu item does. The engine
// runs on the window's input thread, as in the program; the tests read it once it has
// caught up (and no key plays).
#include "framework/win/Application.h"
#include "mainwindow/win/KeysForm.h"
#include "support/FakeMidiOut.h"
#include "support/FakeRegistry.h"
#include "support/MessageBoxRecorder.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <vector>

namespace zevaver {

namespace {

using fakes::FakeMidiOut;
using fakes::FakeRegistry;

std::vector<std::string>& shownMessages = fakes::MessageBoxRecorder::Shown();

class KeysForm : public ::testing::Test {
protected:
    static FakeMidiOut OneDevice() {
        FakeMidiOut midi;
        midi.devices = 1;
        midi.names = {"Synth 0"};
        return midi;
    }
    void Devices(int count) {
        midi.devices = static_cast<uint32_t>(count);
        midi.names.clear();
        for (int i = 0; i < count; ++i) midi.names.push_back("Synth " + std::to_string(i));
    }
    void TearDown() override {
        form.reset();
        fw::ClearTerminationRequest();
    }
    TKeysForm& Start() {
        form = std::make_unique<TKeysForm>(KeysFormOptions{&midi, &registry});
        EXPECT_TRUE(form->Create());
        (void)Engine();
        return *form;
    }
    // The engine once it has applied every command, and the window once it has shown what
    // the engine published.
    PlayingEngine& Engine() {
        PlayingEngine& engine = form->SettledEngine();
        fw::ProcessMessages();
        return engine;
    }
    void Click(const char* name) {
        Item(name).Click();
        (void)Engine();
    }
    fw::MenuItem& Item(const char* name) { return form->Menu().Item(name); }
    std::vector<int> CheckedTags(const char* submenu) {
        std::vector<int> tags;
        fw::MenuItem& menu = Item(submenu);
        for (size_t i = 0; i < menu.Count(); ++i)
            if (menu[i].Checked()) tags.push_back(menu[i].Tag());
        return tags;
    }
    RECT Bounds() const {
        RECT r{};
        GetWindowRect(form->Handle(), &r);
        return r;
    }

    FakeMidiOut midi = OneDevice();
    FakeRegistry registry;
    fakes::MessageBoxRecorder boxes; // outlives the window
    std::unique_ptr<TKeysForm> form;
};

TEST_F(KeysForm, AFirstStartIsCentredWithTheFactoryChoicesChecked) {
    Start();
    const int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
    RECT r = Bounds();
    EXPECT_EQ(r.right - r.left, 716);
    EXPECT_EQ(r.bottom - r.top, 140);
    EXPECT_EQ(r.left, sw / 2 - 716 / 2);
    EXPECT_EQ(r.top, sh / 2 - 140 / 2);
    EXPECT_TRUE(Item("C4").Checked());
    EXPECT_EQ(form->Keys().BaseOctave(), 4);
    EXPECT_EQ(CheckedTags("mnuChannel"), std::vector<int>{1});
    EXPECT_EQ(CheckedTags("mnuDevice"), std::vector<int>{0});
    EXPECT_EQ(midi.Opened(), std::vector<int>{0});
    EXPECT_TRUE(Engine().Notes().MIDIPortOk());
    EXPECT_TRUE(Item("mnuEnabled").Checked());
    EXPECT_TRUE(Item("mnuOff").Checked());
    EXPECT_TRUE(shownMessages.empty());
}

TEST_F(KeysForm, AStoredPositionPastTheScreenMovesToTheBottomRightCorner) {
    registry.User() = {{"Width", "716"}, {"Height", "140"}, {"Top", "5000"},
                       {"Left", "10"},   {"Channel", "1"},  {"Note Width", "16"}};
    Start();
    RECT r = Bounds();
    EXPECT_EQ(r.right, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(r.bottom, GetSystemMetrics(SM_CYSCREEN));
}

TEST_F(KeysForm, AnUnknownStoredBaseOctaveClicksNothing) {
    registry.User() = {{"Width", "716"},
                       {"Height", "140"},
                       {"Base Octave", "7"},
                       {"Channel", "1"},
                       {"Note Width", "16"}};
    Start();
    EXPECT_TRUE(Item("C4").Checked()) << "C4 keeps its check mark from the start";
    EXPECT_EQ(form->Keys().BaseOctave(), 2);
    EXPECT_EQ(form->State().Settings.BaseOctave, 7);
}

TEST_F(KeysForm, EachKindOfItemDoesWhatItsHandlerSays) {
    Devices(3);
    Start();
    Item("mnuChannel")[15].Click();
    EXPECT_EQ(form->State().Settings.Channel, 16);
    EXPECT_EQ(Engine().Notes().MIDIChannel(), 16);
    EXPECT_EQ(CheckedTags("mnuChannel"), std::vector<int>{16});

    Item("C5").Click();
    EXPECT_EQ(form->State().Settings.BaseOctave, 12);
    EXPECT_EQ(form->Keys().BaseOctave(), 5);
    Item("C5").Click(); // the checked item stays checked
    EXPECT_TRUE(Item("C5").Checked());
    EXPECT_FALSE(Item("C4").Checked());

    fw::MenuItem& transpose = Item("mnuTranspose");
    for (size_t i = 0; i < transpose.Count(); ++i)
        if (transpose[i].Tag() == 17) transpose[i].Click();
    EXPECT_EQ(Engine().Player().Transpose(), 17);
    EXPECT_EQ(CheckedTags("mnuTranspose"), std::vector<int>{17});

    Item("mnuShift").Click();
    EXPECT_EQ(form->State().Settings.PedalKey, 16);
    EXPECT_TRUE(Item("mnuShift").Checked());
    EXPECT_FALSE(Item("mnuOff").Checked());

    Click("mnuPush");
    EXPECT_TRUE(Engine().Player().PedalDown());
    EXPECT_TRUE(Item("mnuPush").Checked()) << "the check mark follows the engine's pedal";
    Click("mnuPush");
    EXPECT_FALSE(Engine().Player().PedalDown());

    Item("mnuEnabled").Click();
    EXPECT_FALSE(form->State().Settings.Enabled);
    EXPECT_FALSE(Item("mnuEnabled").Checked());
    EXPECT_EQ(form->State().IconName, "TRAYDISABLED");

    const int width = form->State().Settings.NoteWidth;
    Item("mnuZoomIn").Click();
    EXPECT_EQ(form->Keys().NoteWidth(), width + 1);

    RECT before = Bounds();
    Item("mnuVertical").Click();
    RECT after = Bounds();
    EXPECT_TRUE(form->State().Settings.Vertical);
    EXPECT_EQ(after.right - after.left, before.bottom - before.top);
    EXPECT_EQ(after.bottom - after.top, before.right - before.left);
    EXPECT_EQ(form->Keys().Orientation(), TKeyboardOrientation::Vertical);
}

TEST_F(KeysForm, WithNoDeviceTheDeviceMessageIsShownAndTheMapperCanBeChosen) {
    Devices(0);
    midi.failingOpens = {-1, 0};
    Start();
    ASSERT_EQ(shownMessages.size(), 1u);
    EXPECT_EQ(shownMessages[0], "Error: " + std::string(NoPortsText) + " (error icon)")
        << "said plainly: nothing plays until there is an output";
    fw::MenuItem& devices = Item("mnuDevice");
    ASSERT_EQ(devices.Count(), 1u);
    EXPECT_EQ(devices[0].Tag(), -1);
    EXPECT_EQ(devices[0].Caption(), "Microsoft MIDI Mapper");
    EXPECT_EQ(form->State().Settings.Device, 0) << "0 is not below a count of 0 and stays";

    devices[0].Click();
    (void)Engine();
    EXPECT_EQ(form->State().Settings.Device, -1);
    EXPECT_EQ(CheckedTags("mnuDevice"), std::vector<int>{-1});
    EXPECT_EQ(shownMessages.size(), 2u) << "the mapper cannot be opened either";
}

TEST_F(KeysForm, ThreeDevicesGiveFourItemsAndChoosingTheLastChecksOnlyIt) {
    Devices(3);
    Start();
    fw::MenuItem& devices = Item("mnuDevice");
    ASSERT_EQ(devices.Count(), 4u);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(devices[i].Tag(), i - 1);
    EXPECT_EQ(devices[3].Caption(), "Synth 2");
    devices[3].Click();
    (void)Engine();
    EXPECT_EQ(CheckedTags("mnuDevice"), std::vector<int>{2});
    EXPECT_EQ(midi.Opened().back(), 2);
    EXPECT_TRUE(shownMessages.empty());
}

TEST_F(KeysForm, ShutdownStoresTheWindowAndTheFaderInAllValues) {
    Start();
    SetWindowPos(form->Handle(), nullptr, 33, 44, 500, 200, SWP_NOZORDER);
    SendMessageA(form->Velocity(), TBM_SETPOS, TRUE, 40);
    form->FormDestroy();
    auto& values = registry.User();
    EXPECT_EQ(values.size(), static_cast<size_t>(SettingsValueCount));
    EXPECT_EQ(values["Left"], "33");
    EXPECT_EQ(values["Top"], "44");
    EXPECT_EQ(values["Width"], "500");
    EXPECT_EQ(values["Height"], "200");
    EXPECT_EQ(values["Velocity"], "40");
    EXPECT_EQ(values["Pedal Key"], "-1");
}

// The position is kept between notes; each way of moving the thumb must still reach the
// next note-on.
TEST_F(KeysForm, AWatchedKeyPlaysWithTheFadersPositionHoweverTheFaderMoved) {
    Start();
    form->State().KeyNotes['Z'] = 60;
    form->Core().Engine().Send(play::SetLayout{form->State().KeyNotes});
    const HWND fader = form->Velocity();
    const struct {
        const char* how;
        void (*move)(HWND fader);
        const char* noteOn; // status, note 60 (0x3C), 127 - position
    } cases[] = {
        {"set by the program", [](HWND f) { SendMessageA(f, TBM_SETPOS, TRUE, 40); }, "00573C90"},
        {"a line down by key", [](HWND f) { SendMessageA(f, WM_KEYDOWN, VK_DOWN, 0); }, "00563C90"},
        {"a line up by key", [](HWND f) { SendMessageA(f, WM_KEYDOWN, VK_UP, 0); }, "00573C90"},
        {"moved to the end", [](HWND f) { SendMessageA(f, WM_KEYDOWN, VK_END, 0); }, "00003C90"},
    };
    for (const auto& c : cases) {
        c.move(fader);
        PlayingEngine& engine = Engine();
        (void)midi.Take();
        engine.KeyWatched('Z', 0x002C0001);
        engine.KeyWatched('Z', static_cast<int32_t>(0xC02C0001));
        const std::vector<std::string> calls = midi.Take();
        ASSERT_FALSE(calls.empty()) << c.how;
        EXPECT_EQ(calls.front().substr(calls.front().size() - 8), c.noteOn) << c.how;
    }
}

TEST_F(KeysForm, TheEndOfTheWindowsSessionSavesTheSettingsAndSilencesThePort) {
    Start();
    SendMessageA(form->Handle(), WM_ENDSESSION, TRUE, 0);
    EXPECT_EQ(registry.User().size(), static_cast<size_t>(SettingsValueCount));
    EXPECT_EQ(std::count(midi.calls.begin(), midi.calls.end(), "reset 1"), 1);
}

// Mouse messages at a white key in the middle of the keyboard: "L" "M" and "D" a left press,
// a middle press and a left double-click, "l" and "m" their releases, "X" the capture taken
// by another window (marked "|"). The notes that go out, as on and off.
TEST_F(KeysForm, EveryLeftPressPlaysAndItsNoteEndsOnItsReleaseOrWhenTheCaptureIsLost) {
    struct Case {
        const char* what;
        const char* events;
        const char* notes;
    };
    const Case cases[] = {
        {"a double-click plays a second time", "L l D l", "on off on off"},
        {"a left release after another button's press and release ends the note", "L M m l",
         "on off"},
        {"a lost capture ends the note, and the release then ends nothing", "L X l", "on off |"},
    };
    Start();
    const TKeys& keys = form->Keys();
    const LPARAM point =
        MAKELPARAM(keys.Left() + keys.Width() / 2, keys.Top() + keys.Height() * 9 / 10);
    fw::Window other(CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                     nullptr, nullptr));
    for (const Case& c : cases) {
        midi.calls.clear();
        for (const char* e = c.events; *e != 0; ++e) {
            const auto send = [&](UINT message, WPARAM buttons) {
                SendMessageA(form->Handle(), message, buttons, point);
            };
            if (*e == 'L') send(WM_LBUTTONDOWN, MK_LBUTTON);
            if (*e == 'D') send(WM_LBUTTONDBLCLK, MK_LBUTTON);
            if (*e == 'l') send(WM_LBUTTONUP, 0);
            if (*e == 'M') send(WM_MBUTTONDOWN, MK_LBUTTON | MK_MBUTTON);
            if (*e == 'm') {
                send(WM_MBUTTONUP, MK_LBUTTON);
                EXPECT_EQ(GetCapture(), form->Handle()) << "held for the left release";
            }
            if (*e == 'X') {
                SetCapture(other.get());
                (void)Engine();
                midi.calls.push_back("|"); // a mark in the log
            }
        }
        (void)Engine();
        std::string notes;
        for (const std::string& call : midi.calls) {
            // "send <port> <message in hex>": the status is the last byte.
            const char status = call.size() >= 2 ? call[call.size() - 2] : ' ';
            if (call == "|" || call.rfind("send ", 0) == 0) {
                notes += std::string(notes.empty() ? "" : " ") + (call == "|"     ? "|"
                                                                  : status == '9' ? "on"
                                                                                  : "off");
            }
        }
        EXPECT_EQ(notes, c.notes) << c.what;
        EXPECT_NE(GetCapture(), form->Handle()) << c.what;
        ReleaseCapture();
    }
}

// The player was told of a Ctrl press whose release never came: the system's own key state
// says Ctrl is up, and reading it back lets go of Ctrl.
TEST_F(KeysForm, HeldKeysAreReadBackFromTheSystemsKeyState) {
    Start();
    PlayingEngine& engine = Engine();
    engine.KeyWatched(VK_CONTROL, 0x001D0001);
    ASSERT_TRUE(engine.Player().CtrlHeld());
    engine.ReconcileKeys();
    EXPECT_FALSE(engine.Player().CtrlHeld());
}

TEST_F(KeysForm, TheVelocityTrackbarStepsByOneWithAnArrowAndByTwoWithAClickOnItsChannel) {
    Start();
    HWND bar = form->Velocity();
    SetWindowPos(bar, nullptr, 0, 0, 36, 200, SWP_NOZORDER | SWP_SHOWWINDOW);
    SendMessageA(bar, TBM_SETPOS, TRUE, 40);
    SendMessageA(bar, WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(SendMessageA(bar, TBM_GETPOS, 0, 0), 41);
    SendMessageA(bar, WM_KEYDOWN, VK_UP, 0);
    EXPECT_EQ(SendMessageA(bar, TBM_GETPOS, 0, 0), 40);

    RECT thumb{};
    SendMessageA(bar, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
    const int x = (thumb.left + thumb.right) / 2, y = thumb.bottom + 20;
    SendMessageA(bar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    SendMessageA(bar, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    EXPECT_EQ(SendMessageA(bar, TBM_GETPOS, 0, 0), 42);
}

} // namespace

} // namespace zevaver
