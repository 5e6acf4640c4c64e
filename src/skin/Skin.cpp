#include "skin/Skin.h"

#include "framework/Paths.h"
#include "framework/Text.h"
#include "skin/ConfigFile.h"

#include <algorithm>

namespace zevaver {

void TSkinLoader::Report(const std::string& path, const std::string& text) {
    if (reported_.insert(fw::LowerAscii(path)).second) platform_.ReportError(text);
}

void TSkinLoader::ReadSkinConfig(const std::string& name, TSkinConfig& config) {
    const std::string path = SkinsFolder + name + "\\config.txt";
    std::optional<std::string> text = platform_.ReadFile(path);
    if (!text) {
        Report(path, "The skin settings \"" + path + "\" could not be read.");
        return;
    }
    ReadSkinConfigText(*text, config);
}

bool TSkinLoader::LoadSkinBitmap(TSkinBitmap& bitmap, const std::string& path) {
    std::string file = path;
    if (!platform_.FileExists(file)) {
        file = DefaultSkinPath + fw::FileNameOf(path);
        if (!platform_.FileExists(file)) file.clear();
    }
    if (file.empty()) {
        (void)platform_.LoadBitmap(bitmap, {}); // empties it
        return false;
    }
    if (!platform_.LoadBitmap(bitmap, file))
        Report(file, "The skin picture \"" + file + "\" is not a bitmap that can be read.");
    return true;
}

void TSkinLoader::LoadSkinBitmaps(const std::string& skinPath, TSkinChrome& chrome) {
    for (const SkinBitmapSlot& slot : chrome.BitmapSlots())
        (void)LoadSkinBitmap(*slot.bitmap, skinPath + slot.file);
}

void TSkinLoader::LoadSkin(TSettings& settings, TSkinConfig& config, TSkinChrome& chrome) {
    if (!platform_.FolderExists(SkinsFolder + settings.Skin)) settings.Skin = DefaultSkinName;
    config.SkinPath = SkinsFolder + settings.Skin + "\\";
    if (platform_.FileExists(std::string(DefaultSkinPath) + "config.txt"))
        ReadSkinConfig(DefaultSkinName, config);
    if (platform_.FileExists(config.SkinPath + "config.txt")) ReadSkinConfig(settings.Skin, config);
    // A windows-style skin leaves the bitmaps as an earlier skin left them.
    if (!config.WindowsStyle) LoadSkinBitmaps(config.SkinPath, chrome);
    if (config.WindowsStyle) config.BorderSize = 0;
    chrome.ShowCtrls();
    config.ResolveKeyColors();
    LoadCursor(config.SkinPath);
}

void TSkinLoader::LoadCursor(const std::string& skinPath) {
    std::string cursor = skinPath + "Cursor.cur";
    if (!platform_.FileExists(cursor)) {
        cursor = std::string(DefaultSkinPath) + "Cursor.cur";
        if (!platform_.FileExists(cursor)) cursor.clear();
    }
    platform_.LoadSkinCursor(cursor);
}

FaderChoice ApplySkinMetrics(TSkinConfig& config, TSkinChrome& chrome) {
    // The pictures' own sizes: the description is at 96 DPI, like the files.
    const auto width = [](const std::unique_ptr<TSkinBitmap>& b) { return b->PictureWidth(); };
    if (config.WindowsStyle) {
        config.TitleHeight = 0;
    } else {
        config.TitleHeight = chrome.TitleBox.Bitmap->PictureHeight();
        config.FaderWidth = width(chrome.Fader.Bitmap);
        config.IconWidth = width(chrome.IconBox.Bitmap);
        config.MinimizeWidth = width(chrome.MinimizeBtn.Bitmap);
        config.CloseWidth = width(chrome.CloseBtn.Bitmap);
    }
    FaderChoice choice;
    choice.trackbarVisible = config.FaderStyle == FaderStyleWindows;
    if (choice.trackbarVisible && config.FaderWidth == 0) config.FaderWidth = 36;
    if (config.FaderStyle == FaderStyleNone) {
        config.FaderWidth = 0;
        chrome.Fader.Hide();
    }
    choice.skinnedFader = !config.WindowsStyle && !choice.trackbarVisible &&
                          config.FaderStyle != FaderStyleNone && chrome.Fader.Shown;
    return choice;
}

std::optional<std::vector<std::string>>
SkinMenuNames(const std::optional<std::vector<std::string>>& folders) {
    if (!folders) return std::nullopt;
    std::vector<std::string> names;
    for (const std::string& name : *folders) {
        if (name.empty() || name.front() == '.' || fw::EqualNoCase(name, "default")) continue;
        names.push_back(name);
    }
    std::stable_sort(names.begin(), names.end(), fw::LessNoCase);
    return names;
}

bool SkinCaptionMatches(std::string_view caption, std::string_view skin) {
    std::string plain;
    for (char c : caption)
        if (c != '&') plain.push_back(c);
    return fw::EqualNoCase(plain, skin);
}

} // namespace zevaver
