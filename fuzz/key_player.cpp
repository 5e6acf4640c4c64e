// Watched key messages as any process may post them to the receiver window: any key code
// (negated too) and any flags, with any settings and layout, through the key player. The
// player must stay inside its tables, play only velocities of the wire's range and end only
// notes that sound.
#include "engine/CommandKeys.h"
#include "engine/KeyPlayer.h"
#include "support/FuzzCheck.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <set>

namespace zevaver {

namespace {

class RecordingHost final : public KeyPlayerHost {
public:
    std::multiset<int32_t> sounding;
    bool mainWindowActive = false, dialogOpen = false;
    int32_t velocityPosition = 0;

    void PressNote(int32_t note, int32_t velocity) override {
        FUZZ_CHECK(velocity >= 0 && velocity <= 127);
        sounding.insert(note);
    }
    void ReleaseNote(int32_t note) override {
        const auto found = sounding.find(note);
        FUZZ_CHECK(found != sounding.end());
        sounding.erase(found);
    }
    bool IsNoteSounding(int32_t note) override { return sounding.count(note) != 0; }
    void ReleaseAllNotes() override { sounding.clear(); }
    void ClickCommand(KeyCommand) override {}
    void SetPushChecked(bool) override {}
    bool IsMainWindowActive() override { return mainWindowActive; }
    bool IsSettingsDialogOpen() override { return dialogOpen; }
    int32_t VelocityPosition() override { return velocityPosition; }
    bool IsKeyDown(int32_t key) override { return keysDown.count(key) != 0; }
    uint32_t EventTime() override { return clock; }

    std::set<int32_t> keysDown; // what the platform says is held
    uint32_t clock = 0;         // wraps, as the platform's does
};

} // namespace

} // namespace zevaver

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace zevaver;
    FuzzedDataProvider input(data, size);
    TSettings settings;
    settings.Enabled = input.ConsumeBool();
    settings.BaseOctave = input.ConsumeBool() ? input.ConsumeIntegral<int32_t>()
                                              : 12 * input.ConsumeIntegralInRange(-2, 2);
    settings.PedalKey = input.ConsumeIntegral<int32_t>();
    for (int32_t& shortcut : settings.Shortcuts) shortcut = input.ConsumeIntegral<uint16_t>();
    KeyNoteTable notes{};
    for (int i = 0; i < 8; ++i)
        notes[input.ConsumeIntegral<uint8_t>()] = input.ConsumeIntegral<uint8_t>();

    RecordingHost host;
    host.mainWindowActive = input.ConsumeBool();
    host.velocityPosition = input.ConsumeIntegralInRange(0, 127);
    KeyPlayer player(host, settings, notes);
    while (input.remaining_bytes() > 0) {
        switch (input.ConsumeIntegralInRange(0, 7)) {
        case 0: {
            const CommandKeyAction action =
                CommandKeyDown(input.ConsumeIntegral<uint16_t>(),
                               {input.ConsumeBool(), input.ConsumeBool(), input.ConsumeBool()},
                               player.Transpose());
            if (action.transpose) player.SetTranspose(*action.transpose);
            FUZZ_CHECK(player.Transpose() >= -MaxTranspose && player.Transpose() <= MaxTranspose);
            break;
        }
        case 1:
            player.TogglePedalLatch();
            break;
        case 2:
            host.dialogOpen = input.ConsumeBool();
            break;
        case 3: {
            const int32_t key = input.ConsumeIntegral<uint8_t>();
            if (!host.keysDown.erase(key)) host.keysDown.insert(key);
            break;
        }
        default:
            host.clock += input.ConsumeIntegral<uint16_t>();
            player.KeyWatchKeyNative(input.ConsumeIntegral<int32_t>(),
                                     input.ConsumeIntegral<uint32_t>());
            break;
        }
    }
    return 0;
}
