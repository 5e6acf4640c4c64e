// Menu actions that do nothing: a test that builds the main menu derives from this and
// overrides only the clicks it looks at.
#pragma once

#include "mainwindow/MainMenu.h"

#include <cstdint>

namespace zevaver {

namespace fakes {

struct IgnoredMenuActions : MainMenuActions {
    void DeviceClick(int32_t) override {}
    void ChannelClick(int32_t) override {}
    void BaseOctaveClick(int32_t) override {}
    void TransposeClick(int32_t) override {}
    void PushClick() override {}
    void PedalKeyClick(int32_t) override {}
    void SkinClick(fw::MenuItem&) override {}
    void ZoomInClick() override {}
    void ZoomOutClick() override {}
    void VerticalClick() override {}
    void SettingsClick() override {}
    void EnabledClick() override {}
    void MinimizeClick() override {}
    void CloseClick() override {}
    void KeyNamesClick() override {}
    void EditKeysClick() override {}
    void SaveLayoutAsClick() override {}
    void KeysByPositionClick() override {}
    void RevertLayoutClick() override {}
};

} // namespace fakes

} // namespace zevaver
