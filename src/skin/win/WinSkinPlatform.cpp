#include "skin/win/WinSkinPlatform.h"

#include "framework/win/Application.h"
#include "framework/win/Dpi.h"
#include "skin/win/SkinDib.h"

namespace zevaver {

namespace {

DWORD Attributes(const std::string& path) noexcept {
    return GetFileAttributesA(path.c_str());
}

// A cursor that may be the one on the screen is replaced there before it is destroyed.
void ReplaceCursor(fw::Cursor& slot, HCURSOR next) noexcept {
    HCURSOR old = slot.get();
    if (old && GetCursor() == old) SetCursor(next ? next : LoadCursorA(nullptr, IDC_ARROW));
    slot.reset(next);
}

} // namespace

bool TWinSkinPlatform::FileExists(const std::string& path) {
    const DWORD attributes = Attributes(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool TWinSkinPlatform::FolderExists(const std::string& path) {
    const DWORD attributes = Attributes(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::optional<std::string> TWinSkinPlatform::ReadFile(const std::string& path) {
    return ReadWholeFile(path);
}

std::optional<std::vector<std::string>> TWinSkinPlatform::SkinFolders() {
    WIN32_FIND_DATAA found{};
    fw::FindHandle search(FindFirstFileA((std::string(SkinsFolder) + "*.*").c_str(), &found));
    if (!search) return std::nullopt;
    std::vector<std::string> folders;
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            folders.emplace_back(found.cFileName);
    } while (FindNextFileA(search.get(), &found));
    return folders;
}

bool TWinSkinPlatform::LoadBitmap(TSkinBitmap& bitmap, const std::string& path) {
    auto& dib = static_cast<TSkinDib&>(bitmap);
    if (path.empty()) {
        dib.Clear();
        return true;
    }
    return dib.LoadFromFile(path);
}

// At the size the system gives pointers at that DPI: the file's picture of that size where
// it holds one, else its nearest one stretched.
void TWinSkinPlatform::LoadSkinCursor(const std::string& path) {
    const int size = fw::MetricAtDpi(SM_CXCURSOR, cursorDpi_);
    HCURSOR next = path.empty()
                       ? nullptr
                       : static_cast<HCURSOR>(LoadImageA(nullptr, path.c_str(), IMAGE_CURSOR, size,
                                                         size, LR_LOADFROMFILE));
    ReplaceCursor(skinCursor_, next);
}

HCURSOR TWinSkinPlatform::LogoCursor() {
    if (!logoCursorLoaded_) {
        logoCursorLoaded_ = true;
        ReplaceCursor(logoCursor_,
                      LoadCursorFromFileA((std::string(DefaultSkinPath) + "Cursor.cur").c_str()));
    }
    return logoCursor_.get();
}

void TWinSkinPlatform::ReportError(const std::string& text) {
    if (onError)
        onError(text);
    else
        fw::ReportError(text);
}

} // namespace zevaver
