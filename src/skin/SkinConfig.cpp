#include "skin/SkinConfig.h"

void TSkinConfig::ResolveKeyColors() noexcept {
    WhiteKeyColorRef = RGBValue(WhiteKeyColor);
    BlackKeyColorRef = RGBValue(BlackKeyColor);
    WhiteKeyDownColorRef = RGBValue(WhiteKeyDownColor);
    BlackKeyDownColorRef = RGBValue(BlackKeyDownColor);
    KeysOutlineColorRef = RGBValue(KeysOutlineColor);
}
