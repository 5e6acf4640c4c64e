#include "keyboard/win/GdiLabelPainter.h"

#include "framework/win/WidePath.h"

namespace zevaver {

GdiLabelPainter::GdiLabelPainter(fw::BackBuffer& backBuffer) : backBuffer_(backBuffer) {}

void GdiLabelPainter::Prepare() {
    if (prepared_) return;
    prepared_ = true;
    measureDc_.reset(CreateCompatibleDC(nullptr));
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
        face_ = metrics.lfMessageFont;
    } else {
        GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof face_, &face_);
    }
    // Semi-bold reads better than regular at a few pixels' height, on any key colour.
    face_.lfWeight = FW_SEMIBOLD;
    face_.lfQuality = ANTIALIASED_QUALITY;
    face_.lfItalic = FALSE;
    face_.lfUnderline = FALSE;
}

HFONT GdiLabelPainter::FontOf(int size, bool light) {
    Prepare();
    auto found = fonts_.find({size, light});
    if (found == fonts_.end()) {
        LOGFONTW font = face_;
        font.lfHeight = -size; // the letters' height, not the cell's
        font.lfWidth = 0;
        if (light) font.lfWeight = FW_NORMAL;
        found = fonts_.emplace(std::pair(size, light), fw::Font(CreateFontIndirectW(&font))).first;
    }
    return found->second.get();
}

TextSize GdiLabelPainter::Measure(const std::string& text, int size) {
    HFONT font = FontOf(size);
    HDC dc = measureDc_.get();
    if (dc == nullptr || font == nullptr) return {};
    const fw::SelectObjectScope selected(dc, font);
    const std::wstring wide = fw::Utf8ToWide(text);
    SIZE extent{};
    if (!GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &extent)) return {};
    return {extent.cx, extent.cy};
}

void GdiLabelPainter::Draw(const std::string& text, int left, int top, int size, fw::ColorRef color,
                           const fw::PixelRect& clip) {
    HDC dc = backBuffer_.Dc();
    // Measured at the heavier weight, so a lighter drawing always fits.
    const unsigned brightness = GetRValue(color) * 2 + GetGValue(color) * 5 + GetBValue(color);
    HFONT font = FontOf(size, brightness > 128 * 8);
    if (dc == nullptr || font == nullptr) return;
    const int saved = SaveDC(dc);
    SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, color);
    SetTextAlign(dc, TA_LEFT | TA_TOP | TA_NOUPDATECP);
    const RECT bounds{clip.left, clip.top, clip.right, clip.bottom};
    const std::wstring wide = fw::Utf8ToWide(text);
    ExtTextOutW(dc, left, top, ETO_CLIPPED, &bounds, wide.c_str(), static_cast<UINT>(wide.size()),
                nullptr);
    RestoreDC(dc, saved);
}

void GdiLabelPainter::EndDrawing() {
    // The keyboard writes the pixels directly next time: the text must be there by then.
    backBuffer_.FinishGdi();
}

} // namespace zevaver
