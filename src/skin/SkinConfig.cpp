#include "skin/SkinConfig.h"

namespace zevaver {

void TSkinConfig::ResolveKeyColors() noexcept {
    WhiteKeyColorRef = RGBValue(WhiteKeyColor);
    BlackKeyColorRef = RGBValue(BlackKeyColor);
    WhiteKeyDownColorRef = RGBValue(WhiteKeyDownColor);
    BlackKeyDownColorRef = RGBValue(BlackKeyDownColor);
    KeysOutlineColorRef = RGBValue(KeysOutlineColor);
}

} // namespace zevaver
