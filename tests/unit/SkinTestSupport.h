// Shared by the skin tests: bitmaps known only by their size, a chrome host that records
// every draw and flush, and skin folders held in memory.
#pragma once

#include "skin/Chrome.h"
#include "skin/Skin.h"

#include <map>
#include <set>
#include <string>
#include <vector>

namespace zevaver {

namespace skintest {

class SizedBitmap final : public TSkinBitmap {
public:
    int width = 0;
    int height = 0;
    std::string file; // what was loaded into it
    int PictureWidth() const noexcept override { return width; }
    int PictureHeight() const noexcept override { return height; }
};

inline SizedBitmap& Sized(const std::unique_ptr<TSkinBitmap>& bitmap) {
    return static_cast<SizedBitmap&>(*bitmap);
}
inline void SetSize(const std::unique_ptr<TSkinBitmap>& bitmap, int width, int height,
                    std::string file = {}) {
    Sized(bitmap).width = width;
    Sized(bitmap).height = height;
    Sized(bitmap).file = std::move(file);
}

struct DrawCall {
    std::string file; // of the drawn bitmap
    fw::PixelRect source;
    fw::PixelRect dest;
};

class RecordingChrome final : public TChromeHost, public TChromeCanvas {
public:
    TSkinConfig config;
    fw::PixelRect window{100, 200, 816, 340}; // 716 x 140 on the screen
    bool active = true;
    bool enabled = true;
    std::vector<DrawCall> draws;
    std::vector<fw::PixelRect> flushes;
    std::vector<std::string> actions;

    std::unique_ptr<TSkinBitmap> NewSkinBitmap() override {
        return std::make_unique<SizedBitmap>();
    }
    TChromeCanvas& Canvas() override { return *this; }
    void FlushRect(const fw::PixelRect& rect) override { flushes.push_back(rect); }
    const TSkinConfig& Config() const override { return config; }
    fw::PixelRect WindowBounds() const override { return window; }
    bool IsMainWindowActive() const override { return active; }
    bool PlayingEnabled() const override { return enabled; }
    void PopupMenuAt(int x, int y) override {
        actions.push_back("popup " + std::to_string(x) + "," + std::to_string(y));
    }
    void CloseMainWindow() override { actions.push_back("close"); }
    void MinimizeApplication() override { actions.push_back("minimize"); }

    void Draw(const TSkinBitmap& bitmap, const fw::PixelRect& source,
              const fw::PixelRect& dest) override {
        draws.push_back({static_cast<const SizedBitmap&>(bitmap).file, source, dest});
    }
};

// Skin folders in memory. A bitmap file's text is its size, "W x H"; any other text
// makes it an invalid bitmap.
class MemorySkins final : public SkinPlatform {
public:
    std::map<std::string, std::string> files;
    std::set<std::string> unreadable;
    std::set<std::string> folders;
    bool skinsFolder = true;
    std::string cursor = "(none loaded)";
    std::vector<std::string> errors;

    // Adds "Skins\<skin>\<file>" and the skin's folder.
    void Add(const std::string& skin, const std::string& file, const std::string& text) {
        folders.insert(skin);
        files[std::string(SkinsFolder) + skin + "\\" + file] = text;
    }

    bool FileExists(const std::string& path) override { return files.count(path) != 0; }
    bool FolderExists(const std::string& path) override {
        return path.rfind(SkinsFolder, 0) == 0 && folders.count(path.substr(6)) != 0;
    }
    std::optional<std::string> ReadFile(const std::string& path) override {
        if (unreadable.count(path) || !files.count(path)) return std::nullopt;
        return files[path];
    }
    std::optional<std::vector<std::string>> SkinFolders() override {
        if (!skinsFolder) return std::nullopt;
        return std::vector<std::string>(folders.begin(), folders.end());
    }
    bool LoadBitmap(TSkinBitmap& bitmap, const std::string& path) override {
        auto& sized = static_cast<SizedBitmap&>(bitmap);
        sized.width = sized.height = 0;
        sized.file.clear();
        if (path.empty()) return true;
        int w = 0, h = 0;
        if (std::sscanf(files[path].c_str(), "%d x %d", &w, &h) != 2) return false;
        sized.width = w;
        sized.height = h;
        sized.file = path;
        return true;
    }
    void LoadSkinCursor(const std::string& path) override { cursor = path; }
    void ReportError(const std::string& text) override { errors.push_back(text); }
};

} // namespace skintest

} // namespace zevaver
