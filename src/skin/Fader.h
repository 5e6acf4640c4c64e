// The skinned velocity fader as far as the skin needs it: a chrome control that holds the
// fader's bitmaps, so a skin load fills them and an empty track hides it. Its layout,
// painting and dragging follow the window's geometry and pointer routing.
#pragma once

#include "skin/Ctrls.h"

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
    bool IsVertical = true;

    // Nothing is drawn until the fader has a rectangle of its own.
    void Paint() override {}
};
