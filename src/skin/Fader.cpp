#include "skin/Fader.h"

TFader::TFader(TCtrlsList& list, TChromeHost& host)
    : TCtrl(list, host), TrackHBitmap(NewSkinBitmap()), ThumbVBitmap(NewSkinBitmap()),
      ThumbHBitmap(NewSkinBitmap()), ThumbVActiveBitmap(NewSkinBitmap()),
      ThumbHActiveBitmap(NewSkinBitmap()), CapLeftBitmap(NewSkinBitmap()),
      CapRightBitmap(NewSkinBitmap()), CapTopBitmap(NewSkinBitmap()),
      CapBottomBitmap(NewSkinBitmap()) {}
