// Key names drawn with Pango into the main window's back buffer (a cairo image surface), in
// the desktop's user-interface font, antialiased in grey (the back buffer is scaled and
// copied as it is, where coloured fringes would show) and without a background.
#pragma once

#include "keyboard/KeyLabels.h"

#include <map>
#include <string>
#include <utility>

typedef struct _cairo_surface cairo_surface_t;
typedef struct _cairo cairo_t;
typedef struct _PangoContext PangoContext;
typedef struct _PangoFontDescription PangoFontDescription;
typedef struct _PangoLayout PangoLayout;

namespace zevaver {

class PangoLabelPainter final : public TextPainter {
public:
    // buffer: the back buffer as the window holds it (null while there is none).
    explicit PangoLabelPainter(cairo_surface_t* const& buffer) noexcept : buffer_(buffer) {}
    ~PangoLabelPainter() override;
    PangoLabelPainter(const PangoLabelPainter&) = delete;
    PangoLabelPainter& operator=(const PangoLabelPainter&) = delete;

    [[nodiscard]] TextSize Measure(const std::string& text, int size) override;
    void Draw(const std::string& text, int left, int top, int size, fw::ColorRef color,
              const fw::PixelRect& clip) override;

private:
    // The context is made when the first name is: names are off unless the user turns them
    // on.
    void Prepare();
    // The layout of a text at a letter height; light text on a dark key reads heavier than
    // dark on light at the same weight, and is set a step lighter.
    [[nodiscard]] PangoLayout* Layout(const std::string& text, int size, bool light = false);

    cairo_surface_t* const& buffer_;
    PangoContext* context_ = nullptr;
    PangoLayout* layout_ = nullptr;
    std::string family_;
};

} // namespace zevaver
