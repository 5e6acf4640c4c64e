// The six calls of the platform's MIDI output library that the program relies on, as an
// interface: the program hands the port the real library, tests a recording stand-in.
#pragma once

#include <cstdint>
#include <string>
#include <utility>

namespace zevaver {

class MidiOut {
public:
    // An open output port; 0 when there is none.
    using Handle = std::uintptr_t;
    // The library's result code; 0 is success.
    using Result = uint32_t;
    static constexpr Result NoError = 0;
    // A send's answer while the port is busy with other data (MIDIERR_NOTREADY).
    static constexpr Result NotReady = 67;
    // Any other failure of a send means the port can no longer be used: it was unplugged,
    // or the system took it away (MIDIERR_NODEVICE, MMSYSERR_NODRIVER, ...).
    [[nodiscard]] static constexpr bool PortGone(Result sendResult) noexcept {
        return sendResult != NoError && sendResult != NotReady;
    }
    // The system MIDI mapper, usable as a device index.
    static constexpr int Mapper = -1;

    struct OpenResult {
        Result result = NoError;
        Handle port = 0;
    };

    virtual ~MidiOut() = default;

    // midiOutGetNumDevs.
    [[nodiscard]] virtual uint32_t DeviceCount() = 0;
    // midiOutGetDevCapsA: on success `name` is the device's name (at most 31 characters).
    [[nodiscard]] virtual Result DeviceName(int device, std::string& name) = 0;
    // midiOutOpen without a callback; -1 opens the mapper.
    [[nodiscard]] virtual OpenResult Open(int device) = 0;
    // midiOutShortMsg.
    [[nodiscard]] virtual Result ShortMessage(Handle port, uint32_t message) = 0;
    // midiOutReset: silences what still sounds on the port.
    [[nodiscard]] virtual Result Reset(Handle port) = 0;
    // midiOutClose.
    [[nodiscard]] virtual Result Close(Handle port) = 0;
};

// Owns an open port: closing resets it first, so nothing keeps sounding after it is gone.
class MidiOutPort {
public:
    MidiOutPort() noexcept = default;
    MidiOutPort(MidiOut& library, MidiOut::Handle port) noexcept
        : library_(&library), port_(port) {}
    ~MidiOutPort() { Close(); }

    MidiOutPort(const MidiOutPort&) = delete;
    MidiOutPort& operator=(const MidiOutPort&) = delete;
    MidiOutPort(MidiOutPort&& other) noexcept
        : library_(other.library_), port_(std::exchange(other.port_, 0)) {}
    MidiOutPort& operator=(MidiOutPort&& other) noexcept {
        if (this != &other) {
            Close();
            library_ = other.library_;
            port_ = std::exchange(other.port_, 0);
        }
        return *this;
    }

    [[nodiscard]] bool IsOpen() const noexcept { return port_ != 0; }
    [[nodiscard]] MidiOut::Handle Get() const noexcept { return port_; }
    // Gives the handle up without closing it: its new owner closes it.
    [[nodiscard]] MidiOut::Handle Release() noexcept { return std::exchange(port_, 0); }

    // Failures of reset and close leave nothing to do: the handle is gone either way.
    void Close() noexcept {
        const MidiOut::Handle port = std::exchange(port_, 0);
        if (port == 0 || library_ == nullptr) return;
        static_cast<void>(library_->Reset(port));
        static_cast<void>(library_->Close(port));
    }

private:
    MidiOut* library_ = nullptr;
    MidiOut::Handle port_ = 0;
};

// Opens a device the way the program always has: the library's count is read as a 16-bit
// number, a device at or past it is not tried (the mapper, -1, always is), and only the low
// 16 bits of the result tell success. Closed (not open) on failure.
[[nodiscard]] MidiOutPort OpenOutputPort(MidiOut& library, int device);

} // namespace zevaver
