// What the hook library and the watch pass each other: any run of keystrokes through the
// key state, any mouse message, shell and accessibility codes, window titles of any length
// and the module path the library is looked up beside.
#include "services/WatchEvents.h"
#include "support/FuzzCheck.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <string>

namespace zevaver {

namespace {

using namespace watch;

void Keystrokes(FuzzedDataProvider& input) {
    KeyStateTracker tracker;
    const int count = input.ConsumeIntegralInRange(0, 64);
    for (int i = 0; i < count && input.remaining_bytes() > 0; ++i) {
        RawKeystroke key;
        // Mostly real key codes, now and then anything the input may carry.
        key.virtualKey = input.ConsumeBool() ? input.ConsumeIntegral<uint8_t>()
                                             : input.ConsumeIntegral<uint32_t>();
        key.scanCode = input.ConsumeIntegral<uint32_t>();
        key.mappedScanCode = input.ConsumeIntegral<uint32_t>();
        key.mappedVirtualKey = input.ConsumeIntegral<uint32_t>();
        key.extended = input.ConsumeBool();
        key.released = input.ConsumeBool();
        const uint32_t code = key.virtualKey != 0 ? key.virtualKey : key.mappedVirtualKey;
        const bool wasDown = tracker.IsDown(code);

        const KeyMessage message = tracker.Apply(key);
        const auto flags = static_cast<uint32_t>(message.lParam);
        FUZZ_CHECK(static_cast<uint32_t>(message.wParam) == GenericKeyCode(code));
        FUZZ_CHECK((flags & 0xFFFF) == KeyRepeatCountOne);
        FUZZ_CHECK(((flags & KeyReleaseBit) != 0) == key.released);
        FUZZ_CHECK(((flags & KeyPreviousDownBit) != 0) == (key.released || wasDown));
        FUZZ_CHECK((flags & 0x1E000000u & ~KeyAltContextBit) == 0); // reserved bits stay clear
        FUZZ_CHECK(!tracker.IsDown(code) || !key.released);
        if (code < 256) FUZZ_CHECK(tracker.IsDown(code) == !key.released);
        // The player tells the two Shift keys apart by scan code; they always carry one.
        if (code == VkLeftShift || code == VkRightShift || code == VkShift)
            FUZZ_CHECK(((flags >> KeyScanCodeShift) & 0xFF) != 0);
    }
}

void Mouse(FuzzedDataProvider& input) {
    const auto wParam = input.ConsumeIntegral<uint32_t>();
    const auto lParam = input.ConsumeIntegral<uint32_t>();
    const MouseEvent event = DecodeMouse(wParam, lParam);
    FUZZ_CHECK(event.x >= -32768 && event.x <= 32767 && event.y >= -32768 && event.y <= 32767);
    FUZZ_CHECK(MousePositionParam(event.x, event.y) == lParam);
    FUZZ_CHECK(DecodeMouse(wParam & 0xF, lParam) == event);
}

void Shell(FuzzedDataProvider& input) {
    const auto code = input.ConsumeIntegral<int32_t>();
    const ShellEvent event = DecodeShellCode(code);
    FUZZ_CHECK((event == ShellEvent::None) == (code < 1 || code > 4));
    const int32_t forWinEvent = ShellCodeForWinEvent(input.ConsumeIntegral<uint32_t>());
    FUZZ_CHECK(forWinEvent == 0 || DecodeShellCode(forWinEvent) != ShellEvent::None);
}

void Titles(FuzzedDataProvider& input) {
    ActivationFilter filter;
    while (input.remaining_bytes() > 0) {
        const bool repeats = input.ConsumeBool();
        const std::string title = CutTitle(input.ConsumeRandomLengthString(1000));
        FUZZ_CHECK(title.size() <= MaxTitleLength);
        const std::string last = filter.LastTitle();
        FUZZ_CHECK(filter.ShouldReport(title, repeats) == (repeats || title != last));
        FUZZ_CHECK(filter.LastTitle() == title);
    }
}

void Paths(FuzzedDataProvider& input) {
    const std::string module = input.ConsumeRandomLengthString(600);
    const std::string file = input.ConsumeRandomLengthString(100);
    const std::string path = PathBeside(module, file);
    // Never a bare name that the loader would search for along its path.
    if (module.find_first_of("\\/") == std::string::npos) {
        FUZZ_CHECK(path.empty());
        return;
    }
    FUZZ_CHECK(path.size() >= file.size() + 1);
    const std::string folder = path.substr(0, path.size() - file.size());
    FUZZ_CHECK(path.compare(folder.size(), std::string::npos, file) == 0);
    FUZZ_CHECK(folder.back() == '\\' || folder.back() == '/');
    FUZZ_CHECK(module.compare(0, folder.size(), folder) == 0);
    FUZZ_CHECK(module.find_first_of("\\/", folder.size()) == std::string::npos);
}

} // namespace

} // namespace zevaver

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace zevaver;
    FuzzedDataProvider input(data, size);
    switch (input.ConsumeIntegralInRange(0, 4)) {
    case 0:
        Keystrokes(input);
        break;
    case 1:
        Mouse(input);
        break;
    case 2:
        Shell(input);
        break;
    case 3:
        Titles(input);
        break;
    default:
        Paths(input);
        break;
    }
    return 0;
}
