// Skin folders: where every skin file is looked for, loading a skin into the description
// and the chrome, the sizes a bitmap skin takes from its bitmaps, and the names the Skin
// submenu lists. Files, bitmaps and the cursor are reached through SkinPlatform; every
// path is relative to the current folder.
#pragma once

#include "engine/Settings.h"
#include "skin/Chrome.h"
#include "skin/SkinConfig.h"

#include <optional>
#include <set>
#include <string>
#include <vector>

namespace zevaver {

inline constexpr const char* DefaultSkinName = "Default";
inline constexpr const char* SkinsFolder = "Skins\\";
inline constexpr const char* DefaultSkinPath = "Skins\\Default\\";

class SkinPlatform {
public:
    [[nodiscard]] virtual bool FileExists(const std::string& path) = 0;
    [[nodiscard]] virtual bool FolderExists(const std::string& path) = 0;
    // The whole file; nullopt when it could not be opened or read to its end.
    [[nodiscard]] virtual std::optional<std::string> ReadFile(const std::string& path) = 0;
    // The names of the sub-folders of "Skins\"; nullopt when the search finds nothing at
    // all (there is no such folder).
    [[nodiscard]] virtual std::optional<std::vector<std::string>> SkinFolders() = 0;
    // Replaces the bitmap with the file's picture. False when the file is not a bitmap
    // that can be read; the bitmap is then empty. An empty path just empties it.
    [[nodiscard]] virtual bool LoadBitmap(TSkinBitmap& bitmap, const std::string& path) = 0;
    // Makes the file the keyboard's pointer; an empty path (or a file that is no cursor)
    // gives the default pointer.
    virtual void LoadSkinCursor(const std::string& path) = 0;
    // The DPI the pointers loaded from now on are sized for (a cursor file may hold a
    // picture for each size).
    virtual void SetCursorDpi(int dpi) { (void)dpi; }
    virtual void ReportError(const std::string& text) = 0;

protected:
    ~SkinPlatform() = default;
};

// Loads skins for one program run: a file that cannot be read is reported once, however
// often it is loaded again.
class TSkinLoader {
public:
    explicit TSkinLoader(SkinPlatform& platform) : platform_(platform) {}

    // Reads "Skins\<name>\config.txt" into the record. A file that cannot be read keeps
    // every current value.
    void ReadSkinConfig(const std::string& name, TSkinConfig& config);
    // The file, else the file of the same name in "Skins\Default\", else an empty bitmap.
    // True when a file was found.
    bool LoadSkinBitmap(TSkinBitmap& bitmap, const std::string& path);
    void LoadSkinBitmaps(const std::string& skinPath, TSkinChrome& chrome);
    // The skin that the settings name, or "Default" (which the settings then keep) when
    // its folder is missing: "config.txt" of "Default" first, then the skin's own, the
    // bitmaps for a bitmap skin, the controls shown or hidden, the key colours and the
    // pointer.
    void LoadSkin(TSettings& settings, TSkinConfig& config, TSkinChrome& chrome);
    // The skin's pointer: "Cursor.cur" of the skin's folder, else of "Default", else none.
    void LoadCursor(const std::string& skinPath);

private:
    void Report(const std::string& path, const std::string& text);

    SkinPlatform& platform_;
    std::set<std::string> reported_;
};

// Which velocity control a skin shows.
struct FaderChoice {
    bool trackbarVisible = true; // the standard trackbar
    bool skinnedFader = false;   // the skinned fader is in use (it may still lack a track)
    friend bool operator==(const FaderChoice&, const FaderChoice&) = default;
};

// The sizes ApplySkin derives, at 96 DPI: for a bitmap skin the title, fader, icon and
// button sizes come from their pictures (0 when empty); a windows-style skin has no title.
// A "windows" fader gets 36 pixels when it would get none; "none" gets no strip and no
// fader at all.
[[nodiscard]] FaderChoice ApplySkinMetrics(TSkinConfig& config, TSkinChrome& chrome);

// The Skin submenu's names: every folder but "Default" (any letter case) and names that
// begin with ".", sorted without regard to letter case. nullopt (no "Skins" folder at all)
// stays nullopt.
[[nodiscard]] std::optional<std::vector<std::string>>
SkinMenuNames(const std::optional<std::vector<std::string>>& folders);

// True when a Skin item's caption names the skin: letter case and accelerator marks ignored.
[[nodiscard]] bool SkinCaptionMatches(std::string_view caption, std::string_view skin);

} // namespace zevaver
