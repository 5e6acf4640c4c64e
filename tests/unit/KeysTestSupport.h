// Stand-ins the keyboard control's tests share: a host that records what the control asks
// of its window and owns a real pixel buffer, a recorder of note events, and a fixture that
// gives every test the built-in skin and puts the global skin back afterwards.
#pragma once

#include "framework/PixelSurface.h"
#include "keyboard/Keys.h"
#include "skin/SkinConfig.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <utility>
#include <vector>

namespace keystest {

struct PresentedRect {
    int left, top, width, height;
    bool operator==(const PresentedRect&) const = default;
};

class RecordingHost : public KeysHost {
public:
    // A buffer of width x height pixels, or none at all when either is 0.
    explicit RecordingHost(int width = 0, int height = 0, uint32_t background = 0x00ABCDEF)
        : pixels_(static_cast<size_t>(width) * static_cast<size_t>(height), background) {
        surface_ = {pixels_.data(), width, height, width};
    }

    fw::PixelSurface* BackBuffer() override { return pixels_.empty() ? nullptr : &surface_; }
    void Present(int left, int top, int width, int height) override {
        presented.push_back({left, top, width, height});
    }
    void Invalidate() override { ++invalidations; }
    void CaptureMouse() override { ++captures; }
    void ReleaseMouseCapture() override { ++captureReleases; }
    void SetSkinCursor() override { ++cursorSets; }
    [[nodiscard]] bool Minimized() const override { return minimized; }
    [[nodiscard]] bool PedalDown() const override { return pedalDown; }

    [[nodiscard]] uint32_t Pixel(int x, int y) const {
        return pixels_[static_cast<size_t>(y) * static_cast<size_t>(surface_.width) +
                       static_cast<size_t>(x)];
    }
    // The colour value of a pixel, comparable with the skin's colours.
    [[nodiscard]] fw::ColorRef Color(int x, int y) const {
        return fw::ColorRefFromPixel(Pixel(x, y));
    }
    [[nodiscard]] const std::vector<uint32_t>& Pixels() const { return pixels_; }

    bool minimized = false;
    bool pedalDown = false;
    std::vector<PresentedRect> presented;
    int invalidations = 0;
    int captures = 0;
    int captureReleases = 0;
    int cursorSets = 0;

private:
    std::vector<uint32_t> pixels_;
    fw::PixelSurface surface_{};
};

struct NoteEvent {
    bool on;
    int note;
    int velocity;
    bool operator==(const NoteEvent&) const = default;
};

inline NoteEvent On(int note, int velocity) {
    return {true, note, velocity};
}
inline NoteEvent Off(int note) {
    return {false, note, 0};
}

inline std::ostream& operator<<(std::ostream& out, const NoteEvent& e) {
    return out << (e.on ? "On(" : "Off(") << e.note << ", " << e.velocity << ")";
}

// Binds itself to a control's two events.
class EventLog {
public:
    explicit EventLog(TKeys& keys) {
        keys.OnNoteOn = [this, &keys](TKeys& sender, int note, int velocity) {
            EXPECT_EQ(&sender, &keys);
            events.push_back(On(note, velocity));
        };
        keys.OnNoteOff = [this, &keys](TKeys& sender, int note, int velocity) {
            EXPECT_EQ(&sender, &keys);
            events.push_back({false, note, velocity});
        };
    }
    // Returns and forgets what was recorded.
    std::vector<NoteEvent> Take() { return std::exchange(events, {}); }

    std::vector<NoteEvent> events;
};

class BuiltInSkin : public ::testing::Test {
protected:
    void SetUp() override {
        saved_ = SkinConfig;
        SkinConfig = TSkinConfig{};
    }
    void TearDown() override { SkinConfig = saved_; }

private:
    TSkinConfig saved_;
};

} // namespace keystest
