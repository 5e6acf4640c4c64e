#include "keyboard/win/WinMidiOut.h"

#include <windows.h>
#include <mmsystem.h>

#include <gtest/gtest.h>

#include <string>

namespace zevaver {

namespace {

TEST(WinMidiOut, ADevicePastTheCountHasNoNameAndLeavesTheTextAlone) {
    WinMidiOut library;
    const uint32_t count = library.DeviceCount();
    std::string name = "unchanged";
    EXPECT_NE(library.DeviceName(static_cast<int>(count) + 5, name), MidiOut::NoError);
    EXPECT_EQ(name, "unchanged");
}

TEST(WinMidiOut, OpeningADevicePastTheCountFailsWithoutAPort) {
    WinMidiOut library;
    const MidiOut::OpenResult opened = library.Open(static_cast<int>(library.DeviceCount()) + 5);
    EXPECT_EQ(opened.result, static_cast<MidiOut::Result>(MMSYSERR_BADDEVICEID));
    EXPECT_EQ(opened.port, 0u);
}

TEST(WinMidiOut, PassesTheLibrarysResultForAPortThatIsNotOpen) {
    WinMidiOut library;
    EXPECT_EQ(library.Close(0), static_cast<MidiOut::Result>(MMSYSERR_INVALHANDLE));
    EXPECT_EQ(library.ShortMessage(0, 0x00643C90),
              static_cast<MidiOut::Result>(MMSYSERR_INVALHANDLE));
}

} // namespace

} // namespace zevaver
