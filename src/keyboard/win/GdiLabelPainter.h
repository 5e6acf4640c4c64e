// Key names drawn with GDI into the main window's back buffer, in the system's message
// font (what its dialogs and menus use), antialiased and without a background.
#pragma once

#include "framework/win/BackBuffer.h"
#include "framework/win/Handles.h"
#include "keyboard/KeyLabels.h"

#include <map>
#include <utility>
#include <string>

namespace zevaver {

class GdiLabelPainter final : public TextPainter {
public:
    explicit GdiLabelPainter(fw::BackBuffer& backBuffer);

    [[nodiscard]] TextSize Measure(const std::string& text, int size) override;
    void Draw(const std::string& text, int left, int top, int size, fw::ColorRef color,
              const fw::PixelRect& clip) override;
    void EndDrawing() override;

private:
    // The font and the measuring DC are made when the first name is, not at every start:
    // names are off unless the user turns them on.
    void Prepare();
    // Light text on a dark key reads heavier than dark text on a light one at the same
    // weight: it is drawn a step lighter, so that names look alike on every key.
    [[nodiscard]] HFONT FontOf(int size, bool light = false);

    fw::BackBuffer& backBuffer_;
    // Measuring does not wait for the back buffer: a DC of the screen's kind measures alike.
    fw::MemoryDc measureDc_;
    LOGFONTW face_{};
    bool prepared_ = false;
    std::map<std::pair<int, bool>, fw::Font> fonts_; // by letter height and lightness
};

} // namespace zevaver
