#include "skin/FaderModel.h"

#include <algorithm>
#include <cmath>

namespace zevaver {

int RoundHalfEven(double value) noexcept {
    const double down = std::floor(value);
    const double fraction = value - down;
    double result = down;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(down, 2.0) != 0.0)) result = down + 1.0;
    return static_cast<int>(result);
}

BitmapSize CurrentThumb(const FaderImages& images, bool vertical, bool dragging) noexcept {
    if (vertical) return dragging ? images.thumbVActive : images.thumbV;
    return dragging ? images.thumbHActive : images.thumbH;
}

int FaderModel::Travel() const noexcept {
    return trackLength_ > thumbLength_ ? trackLength_ - thumbLength_ : 0;
}

int FaderModel::ThumbValue() const noexcept {
    const int travel = Travel();
    if (trackLength_ == 0 || travel == 0) return 0;
    return RoundHalfEven(static_cast<double>(thumbPos_) / travel * MaxValue);
}

void FaderModel::SetFaderValue(int value) noexcept {
    value_ = std::clamp(value, 0, MaxValue);
    thumbPos_ = static_cast<int16_t>(
        RoundHalfEven(static_cast<double>(value_) / MaxValue * static_cast<double>(Travel())));
}

void FaderModel::SetThumbPos(int16_t pos) noexcept {
    thumbPos_ = pos;
    value_ = ThumbValue();
}

int FaderModel::ClampThumb() noexcept {
    if (thumbPos_ < 0) thumbPos_ = 0;
    if (thumbPos_ > Travel()) thumbPos_ = static_cast<int16_t>(Travel());
    // A thumb back where its drag began keeps the value it had then, which its pixel place
    // may only come near: a touch of the thumb changes nothing.
    value_ = dragging_ && thumbPos_ == dragStartPos_ ? dragStartValue_ : ThumbValue();
    return value_;
}

void FaderModel::UpdateBounds(const FaderImages& images, int border, int title, int width,
                              int height, int gap) noexcept {
    const int B = border, T = title, W = width, H = height;
    const BitmapSize thumb = CurrentThumb(images, IsVertical, dragging_);
    fw::PixelRect& r = bounds_;
    r.right = W - B;
    if (IsVertical) {
        thumbLength_ = thumb.height;
        r.top = B + T + gap;
        r.left = W - images.trackV.width - B;
        r.bottom = H - B;
        thumbCross_ = images.trackV.width / 2 - thumb.width / 2;
        trackLength_ = r.bottom - r.top;
        tileRect_ = {r.left, r.top + images.capTop.height, r.right,
                     r.bottom - images.capBottom.height};
    } else {
        thumbLength_ = thumb.width;
        r.top = B + T;
        r.left = B + gap;
        r.bottom = r.top + images.trackH.height;
        thumbCross_ = images.trackH.height / 2 - thumb.height / 2;
        trackLength_ = r.right - r.left;
        tileRect_ = {r.left + images.capLeft.width, r.top, r.right - images.capRight.width,
                     r.bottom};
    }
    SetFaderValue(value_);
}

void FaderModel::MouseDown(int x, int y) noexcept {
    dragging_ = true;
    dragStartPos_ = thumbPos_;
    dragStartValue_ = value_;
    pressX_ = x - bounds_.left;
    pressY_ = y - bounds_.top;
}

int FaderModel::MouseMove(int x, int y) noexcept {
    const int moved = IsVertical ? y - bounds_.top - pressY_ : x - bounds_.left - pressX_;
    // The thumb's offset is a 16-bit number and the sum wraps like one.
    thumbPos_ =
        static_cast<int16_t>(static_cast<uint16_t>(dragStartPos_) + static_cast<uint16_t>(moved));
    return ClampThumb();
}

FaderLayout FaderModel::Layout(const FaderImages& images) const noexcept {
    const fw::PixelRect& r = bounds_;
    FaderLayout layout;
    layout.tile = tileRect_;
    if (IsVertical) {
        layout.firstCap = {r.left, r.top};
        layout.secondCap = {r.left, r.bottom - images.capBottom.height};
        layout.thumb = {r.left + thumbCross_, r.top + thumbPos_};
    } else {
        layout.firstCap = {r.left, r.top};
        layout.secondCap = {r.right - images.capRight.width, r.top};
        layout.thumb = {r.left + thumbPos_, r.top + thumbCross_};
    }
    return layout;
}

} // namespace zevaver
