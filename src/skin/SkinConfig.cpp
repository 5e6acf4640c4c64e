#include "skin/SkinConfig.h"

namespace zevaver {

void TSkinConfig::ResolveKeyColors() noexcept {
    WhiteKeyColorRef = RGBValue(WhiteKeyColor);
    BlackKeyColorRef = RGBValue(BlackKeyColor);
    WhiteKeyDownColorRef = RGBValue(WhiteKeyDownColor);
    BlackKeyDownColorRef = RGBValue(BlackKeyDownColor);
    KeysOutlineColorRef = RGBValue(KeysOutlineColor);
}

TSkinConfig ScaledConfig(const TSkinConfig& config, const fw::DpiScale& scale) {
    TSkinConfig scaled = config;
    scaled.Scale = scale;
    for (int32_t TSkinConfig::*length :
         {&TSkinConfig::BorderSize, &TSkinConfig::CornerSize, &TSkinConfig::CornerArea,
          &TSkinConfig::FaderWidth, &TSkinConfig::KeysOutlineWidth, &TSkinConfig::TitleHeight,
          &TSkinConfig::IconWidth, &TSkinConfig::MinimizeWidth, &TSkinConfig::CloseWidth})
        scaled.*length = scale.Px(config.*length);
    return scaled;
}

} // namespace zevaver
