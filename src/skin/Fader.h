// The skinned velocity fader: a chrome control drawn from the skin's fader bitmaps, which
// the user drags and which writes its value into the velocity trackbar. The trackbar
// always holds the value; the fader's thumb is placed from it or writes it back.
#pragma once

#include "skin/Ctrls.h"
#include "skin/FaderModel.h"

#include <functional>

namespace zevaver {

class TFader : public TCtrl {
public:
    TFader(TCtrlsList& list, TChromeHost& host);

    // Bitmap holds "FaderV BG.bmp", the vertical track.
    std::unique_ptr<TSkinBitmap> TrackHBitmap;
    std::unique_ptr<TSkinBitmap> ThumbVBitmap;
    std::unique_ptr<TSkinBitmap> ThumbHBitmap;
    std::unique_ptr<TSkinBitmap> ThumbVActiveBitmap;
    std::unique_ptr<TSkinBitmap> ThumbHActiveBitmap;
    std::unique_ptr<TSkinBitmap> CapLeftBitmap;
    std::unique_ptr<TSkinBitmap> CapRightBitmap;
    std::unique_ptr<TSkinBitmap> CapTopBitmap;
    std::unique_ptr<TSkinBitmap> CapBottomBitmap;

    // Receives every value the fader writes: the velocity trackbar's new position.
    std::function<void(int position)> OnChange;

    // Runs top to bottom beside a horizontal keyboard, left to right above a vertical one.
    bool IsVertical = true;

    // The value 0..127 for the thumb's place.
    [[nodiscard]] int FaderValue() const noexcept { return model_.FaderValue(); }
    // Places the thumb for a value, without writing it anywhere.
    void SetFaderValue(int value) noexcept { model_.SetFaderValue(value); }
    // Keeps the thumb within its travel and writes the value to the trackbar.
    void ClampThumb();

    void Paint() override;
    void UpdateBounds() override;
    void MouseDown(int x, int y) override;
    void MouseMove(int x, int y) override;
    void MouseUp(int x, int y) override;
    void CaptureLost() override;

    // The thumb's offset from the fader's start, in pixels.
    [[nodiscard]] int16_t ThumbPos() const noexcept { return model_.ThumbPos(); }
    [[nodiscard]] int Travel() const noexcept { return model_.Travel(); }

private:
    [[nodiscard]] FaderImages Images() const noexcept;
    [[nodiscard]] FaderModel& Model() noexcept;
    [[nodiscard]] const TSkinBitmap& CurrentThumb() const noexcept;

    FaderModel model_;
};

} // namespace zevaver
