// Skin files on Linux: the skin's relative paths (with Windows separators, as the portable
// skin code writes them) looked for in the data folders in turn, the Skin submenu's folders
// gathered from all of them, pictures read by gdk-pixbuf once the portable check has found
// them whole, and the skin's pointer from its cursor file. The half of the skin's shell
// that the skin loader sees; the window's half is the main window's.
#pragma once

#include "skin/GraphicUtils.h"
#include "skin/SkinFeature.h"

#include <functional>
#include <string>
#include <vector>

typedef struct _GdkCursor GdkCursor;

namespace zevaver {

// A skin bitmap: the file's picture as 24-bit rows, top row first, three bytes blue, green,
// red, as the portable drawing reads them.
class PixbufBitmap final : public TSkinBitmap {
public:
    [[nodiscard]] int PictureWidth() const noexcept override { return width_; }
    [[nodiscard]] int PictureHeight() const noexcept override { return height_; }
    [[nodiscard]] Pixels24 PicturePixels() const noexcept override;
    // Replaces the picture with the file's; false (and empty) when it is no whole bitmap.
    [[nodiscard]] bool Load(std::string_view bytes);
    void Clear() noexcept;

private:
    std::vector<uint8_t> rows_;
    int width_ = 0;
    int height_ = 0;
    int stride_ = 0;
};

class LinuxSkinFiles : public SkinShell {
public:
    // roots: the data folders, first first; fw::DataRoots() when none are given.
    explicit LinuxSkinFiles(std::vector<std::string> roots = {});
    ~LinuxSkinFiles();
    LinuxSkinFiles(const LinuxSkinFiles&) = delete;
    LinuxSkinFiles& operator=(const LinuxSkinFiles&) = delete;

    std::function<void(const std::string&)> onError;

    [[nodiscard]] bool FileExists(const std::string& path) override;
    [[nodiscard]] bool FolderExists(const std::string& path) override;
    [[nodiscard]] std::optional<std::string> ReadFile(const std::string& path) override;
    [[nodiscard]] std::optional<std::vector<std::string>> SkinFolders() override;
    [[nodiscard]] bool LoadBitmap(TSkinBitmap& bitmap, const std::string& path) override;
    void LoadSkinCursor(const std::string& path) override;
    void ReportError(const std::string& text) override;
    [[nodiscard]] std::unique_ptr<TSkinBitmap> NewSkinBitmap() override;

    // The pointer over the keyboard: the skin's, or null for the default one.
    [[nodiscard]] GdkCursor* SkinCursor() const noexcept { return cursor_; }
    // The file a relative path stands for, or "" when no data folder has it.
    [[nodiscard]] std::string Find(const std::string& path) const;

private:
    std::vector<std::string> roots_;
    GdkCursor* cursor_ = nullptr;
};

} // namespace zevaver
