// Shared by the keyboard control's tests: a host that records what the control asks of its
// window and owns a real pixel buffer, a note event log, and a fixture that gives every test
// its own built-in skin.
#pragma once

#include "framework/PixelSurface.h"
#include "keyboard/KeyboardNotes.h"
#include "keyboard/Keys.h"
#include "skin/SkinConfig.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace zevaver {

namespace keystest {

using Calls = std::vector<std::string>;

struct PresentedRect {
    int left, top, width, height;
    bool operator==(const PresentedRect&) const = default;
};

class RecordingHost : public KeysHost, public NotesHost {
public:
    // A buffer of width x height pixels, or none at all when either is 0.
    explicit RecordingHost(int width = 0, int height = 0, uint32_t background = 0x00ABCDEF)
        : pixels_(static_cast<size_t>(width) * static_cast<size_t>(height), background),
          surface_{pixels_.data(), width, height, width} {}

    fw::PixelSurface* BackBuffer() override { return pixels_.empty() ? nullptr : &surface_; }
    void Present(int left, int top, int width, int height) override {
        presented.push_back({left, top, width, height});
    }
    void Invalidate() override { ++invalidations; }
    void CaptureMouse() override { calls.push_back("capture"); }
    void ReleaseMouseCapture() override { calls.push_back("release"); }
    void SetSkinCursor() override { ++cursorSets; }
    [[nodiscard]] bool Minimized() const override { return minimized; }
    [[nodiscard]] bool PedalDown() const override { return pedalDown; }

    [[nodiscard]] fw::ColorRef Color(int x, int y) const {
        return fw::ColorRefFromPixel(pixels_[static_cast<size_t>(y * surface_.width + x)]);
    }
    [[nodiscard]] const std::vector<uint32_t>& Pixels() const { return pixels_; }

    bool minimized = false, pedalDown = false;
    std::vector<PresentedRect> presented;
    int invalidations = 0, cursorSets = 0;
    Calls calls; // mouse captures and their releases

private:
    std::vector<uint32_t> pixels_;
    fw::PixelSurface surface_;
};

// Logs the events of the control or of the notes as "on <note> <velocity>" and
// "off <note>".
template <typename Keys> void LogNotes(Keys& keys, Calls& log) {
    keys.OnNoteOn = [&log, &keys](auto& sender, int note, int velocity) {
        EXPECT_EQ(&sender, &keys);
        log.push_back("on " + std::to_string(note) + " " + std::to_string(velocity));
    };
    keys.OnNoteOff = [&log, &keys](auto& sender, int note, int velocity) {
        EXPECT_EQ(&sender, &keys);
        EXPECT_EQ(velocity, 0);
        log.push_back("off " + std::to_string(note));
    };
}

inline std::string Join(const Calls& calls) {
    std::string text;
    for (const std::string& call : calls) text += (text.empty() ? "" : ", ") + call;
    return text;
}

class BuiltInSkin : public ::testing::Test {
protected:
    TSkinConfig SkinConfig;
};

} // namespace keystest

} // namespace zevaver
