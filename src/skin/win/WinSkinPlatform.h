// Skin files on Windows: existence and folder search through the file system, bitmaps
// through the platform's loader, pointers through LoadCursorFromFileA. The half of the
// skin's Win32 shell (TWinSkinShell) that the skin loader sees.
#pragma once

#include "framework/win/Handles.h"
#include "skin/SkinFeature.h"

#include <functional>
#include <string>

namespace zevaver {

class TWinSkinPlatform : public SkinShell {
public:
    std::function<void(const std::string&)> onError;

    [[nodiscard]] bool FileExists(const std::string& path) override;
    [[nodiscard]] bool FolderExists(const std::string& path) override;
    [[nodiscard]] std::optional<std::string> ReadFile(const std::string& path) override;
    [[nodiscard]] std::optional<std::vector<std::string>> SkinFolders() override;
    [[nodiscard]] bool LoadBitmap(TSkinBitmap& bitmap, const std::string& path) override;
    void LoadSkinCursor(const std::string& path) override;
    void SetCursorDpi(int dpi) override { cursorDpi_ = dpi; }
    void ReportError(const std::string& text) override;

    // The current skin's pointer, or null for the platform's default one.
    [[nodiscard]] HCURSOR SkinCursor() const noexcept { return skinCursor_.get(); }
    // "Skins\Default\Cursor.cur", the settings dialog's logo's pointer: loaded when first
    // asked for (the dialog opens), not before the window shows; null when it cannot be.
    [[nodiscard]] HCURSOR LogoCursor();

protected:
    ~TWinSkinPlatform() = default;

private:
    fw::Cursor skinCursor_;
    fw::Cursor logoCursor_;
    bool logoCursorLoaded_ = false;
    int cursorDpi_ = 96;
};

} // namespace zevaver
