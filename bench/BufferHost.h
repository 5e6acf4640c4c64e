// A keyboard host for the benchmarks: the back buffer is a real pixel buffer and
// presentation costs nothing, so only the keyboard's own drawing is measured.
#pragma once

#include "framework/PixelSurface.h"
#include "keyboard/Keys.h"

#include <benchmark/benchmark.h>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace zevaver {

class BufferHost : public KeysHost {
public:
    BufferHost(int width, int height)
        : pixels_(static_cast<size_t>(width) * static_cast<size_t>(height)) {
        surface_ = {pixels_.data(), width, height, width};
    }
    fw::PixelSurface* BackBuffer() override { return &surface_; }
    void Present(int, int, int, int) override { benchmark::ClobberMemory(); }
    void Invalidate() override {}
    void CaptureMouse() override {}
    void ReleaseMouseCapture() override {}
    void SetSkinCursor() override {}
    [[nodiscard]] bool Minimized() const override { return false; }

private:
    std::vector<uint32_t> pixels_;
    fw::PixelSurface surface_{};
};

} // namespace zevaver
