// The whole portable core started from hostile stored settings and a hostile layout file,
// then driven by anything the watch and the window may deliver: every message that reaches
// the MIDI library must be a note-on or note-off that the wire can carry, and what is
// saved at the end must read back the same.
//
// The platform's own limits are kept where the core relies on them: window sizes are what
// the platform makes of a request, mouse coordinates are 16-bit.
#include "engine/NumberText.h"
#include "engine/SettingsStore.h"
#include "mainwindow/AppCore.h"
#include "support/FakeAppHost.h"
#include "support/FuzzCheck.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace zevaver {

namespace {

// The window in memory, as the tests know it, kept to what the platform would allow.
class Host final : public fakes::FakeAppHost {
public:
    // No back buffer: drawing is not what is tried here, and it would cost every run a
    // whole window of pixels.
    fw::PixelSurface* BackBuffer() override { return nullptr; }
    // As the platform does: a window is at least its frame and at most about the
    // screen's size; positions are kept.
    void SetWindowBounds(const WindowRect& value) override {
        bounds = value;
        bounds.width = std::clamp(value.width, 32, screen.Width);
        bounds.height = std::clamp(value.height, 40, screen.Height);
    }
    // The trackbar holds its range.
    void SetFaderPosition(int32_t position) override { fader = std::clamp(position, 0, 127); }
};

class WireMidi final : public MidiOut {
public:
    uint32_t devices = 1;
    uint32_t DeviceCount() override { return devices; }
    Result DeviceName(int device, std::string& name) override {
        if (device < -1 || device >= static_cast<int>(devices)) return 2;
        name = "Port " + std::to_string(device);
        return NoError;
    }
    // Like the platform's library, an unknown index is refused (a stored index below -1
    // reaches it: only indexes at or past the count are kept from it).
    OpenResult Open(int device) override {
        if (device < -1 || device >= static_cast<int>(devices)) return {2, 0};
        return {NoError, ++opened_};
    }
    Result ShortMessage(Handle, uint32_t message) override {
        const uint32_t status = message & 0xFF;
        FUZZ_CHECK(status >= 0x80 && status <= 0x9F); // note-off or note-on, any channel
        FUZZ_CHECK((message >> 8 & 0xFF) < 128);      // note
        FUZZ_CHECK((message >> 16 & 0xFF) < 128);     // velocity
        FUZZ_CHECK((message >> 24) == 0);
        return NoError;
    }
    Result Reset(Handle) override { return NoError; }
    Result Close(Handle) override { return NoError; }

private:
    Handle opened_ = 0;
};

class Registry final : public SettingsRegistry {
public:
    std::map<std::string, RegistryText> values;
    std::vector<std::string> written; // names in the order they were written
    bool exists = true;
    bool KeyExists(RegistryHive hive, std::string_view) override {
        return exists && hive == RegistryHive::CurrentUser;
    }
    // Opening for writing creates the key.
    bool OpenKey(RegistryHive, std::string_view, bool forWriting) override {
        if (forWriting) exists = true;
        return exists;
    }
    RegistryText ReadString(const std::string& name) override {
        const auto found = values.find(name);
        return found == values.end() ? RegistryText{} : found->second;
    }
    bool WriteString(const std::string& name, const std::string& text) override {
        written.push_back(name);
        values[name] = {RegistryText::Kind::Text, text};
        return true;
    }
    void CloseKey() override {}
};

// The stored values' names, in the order the settings are written.
const std::vector<std::string>& ValueNames() {
    static const std::vector<std::string> names = [] {
        Registry registry;
        (void)SaveSettings(TSettings{}, registry, nullptr);
        return registry.written;
    }();
    return names;
}

// Numbers at and near the edges more often than chance would give them.
std::string StoredText(FuzzedDataProvider& input) {
    switch (input.ConsumeIntegralInRange(0, 3)) {
    case 0:
        return FormatDecimal(input.ConsumeIntegral<int32_t>());
    case 1:
        return FormatDecimal(input.ConsumeIntegralInRange(-300, 300));
    case 2:
        return input.ConsumeBool() ? "Yes" : "No";
    default:
        return input.ConsumeRandomLengthString(24);
    }
}

} // namespace

} // namespace zevaver

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace zevaver;
    FuzzedDataProvider input(data, size);
    Registry registry;
    registry.exists = input.ConsumeIntegralInRange(0, 7) != 0;
    for (const std::string& name : ValueNames()) {
        switch (input.ConsumeIntegralInRange(0, 5)) {
        case 0:
            break; // missing
        case 1:
            registry.values[name] = {RegistryText::Kind::WrongType, {}};
            break;
        default:
            registry.values[name] = {RegistryText::Kind::Text, StoredText(input)};
            break;
        }
    }
    class Files final : public LayoutFiles {
    public:
        std::string text;
        bool Exists(const std::string& path) override { return path == LayoutPath(FallbackLayout); }
        FileBytes ReadAll(const std::string&) override { return {text, true}; }
        bool WriteAll(const std::string&, std::string_view) override { return false; }
    } files;
    files.text = input.ConsumeRandomLengthString(300);

    Host host;
    // Small screens keep every run cheap; the sizes that matter come from the settings.
    host.screen = {input.ConsumeIntegralInRange(320, 1024), input.ConsumeIntegralInRange(200, 768)};
    host.active = input.ConsumeBool();
    WireMidi midi;
    midi.devices = input.ConsumeIntegralInRange(0, 3);

    {
        AppCore core(host, midi, registry, files);
        core.Start();
        core.Paint();
        while (input.remaining_bytes() > 0) {
            const int x = input.ConsumeIntegral<int16_t>(), y = input.ConsumeIntegral<int16_t>();
            switch (input.ConsumeIntegralInRange(0, 8)) {
            case 0:
                core.MouseDown(TMouseButton::Left, {}, x, y);
                break;
            case 1:
                core.MouseUp(TMouseButton::Left, {}, x, y);
                break;
            case 2:
                core.MouseMove({}, x, y);
                break;
            case 3:
                (void)core.KeyDown(input.ConsumeIntegral<uint16_t>(),
                                   {input.ConsumeBool(), input.ConsumeBool(), input.ConsumeBool()});
                break;
            case 4:
                host.SetWindowBounds(
                    {x, y, input.ConsumeIntegral<int16_t>(), input.ConsumeIntegral<int16_t>()});
                core.Resized(host.ClientArea());
                break;
            case 5:
                core.Paint();
                break;
            case 6:
                host.fader = input.ConsumeIntegralInRange(0, 127);
                break;
            default:
                core.KeyWatched(input.ConsumeIntegral<int32_t>(), input.ConsumeIntegral<int32_t>());
                break;
            }
        }
        core.Stop();
    }

    // What was saved reads back the same when the program starts again.
    const auto saved = registry.values;
    Host again;
    again.screen = host.screen;
    WireMidi midi2;
    midi2.devices = midi.devices;
    {
        AppCore core(again, midi2, registry, files);
        core.Start();
        core.Stop();
    }
    for (const char* name :
         {"Skin", "Layout", "Note Width", "Channel", "Base Octave", "Pedal Key", "Vertical",
          "Enabled", "Kill Keystrokes", "Key Names", "Shortcut Base Octave C4"})
        if (registry.values.at(name).text != saved.at(name).text) {
            std::fprintf(stderr, "%s: \"%s\" saved, \"%s\" after another run\n", name,
                         saved.at(name).text.c_str(), registry.values.at(name).text.c_str());
            FUZZ_CHECK(false);
        }
    return 0;
}
