#include "skin/linux/LinuxSkinFiles.h"

#include "framework/linux/Folders.h"
#include "skin/BitmapFile.h"

#include <gtk/gtk.h>

#include <algorithm>
#include <set>

namespace zevaver {

namespace {

// A picture (or, for a cursor file, its hot spot too) from the file's bytes.
GdkPixbuf* ReadPicture(std::string_view bytes, const char* type) {
    GdkPixbufLoader* loader = gdk_pixbuf_loader_new_with_type(type, nullptr);
    if (!loader) return nullptr;
    const bool read = gdk_pixbuf_loader_write(loader, reinterpret_cast<const guchar*>(bytes.data()),
                                              bytes.size(), nullptr) != FALSE;
    const bool closed = gdk_pixbuf_loader_close(loader, nullptr) != FALSE;
    GdkPixbuf* picture = read && closed ? gdk_pixbuf_loader_get_pixbuf(loader) : nullptr;
    if (picture) g_object_ref(picture);
    g_object_unref(loader);
    return picture;
}

} // namespace

Pixels24 PixbufBitmap::PicturePixels() const noexcept {
    if (rows_.empty()) return {};
    return {rows_.data(), width_, height_, stride_, false};
}

void PixbufBitmap::Clear() noexcept {
    rows_.clear();
    width_ = height_ = stride_ = 0;
    PictureReplaced();
}

bool PixbufBitmap::Load(std::string_view bytes) {
    Clear();
    // The loader trusts the headers as Windows' does; the portable check goes first.
    if (!IsWholeBitmapFile(bytes)) return false;
    GdkPixbuf* picture = ReadPicture(bytes, "bmp");
    if (!picture) return false;
    const int width = gdk_pixbuf_get_width(picture), height = gdk_pixbuf_get_height(picture);
    const int channels = gdk_pixbuf_get_n_channels(picture);
    const int sourceStride = gdk_pixbuf_get_rowstride(picture);
    const guchar* source = gdk_pixbuf_read_pixels(picture);
    if (width <= 0 || height <= 0 || channels < 3 || gdk_pixbuf_get_bits_per_sample(picture) != 8) {
        g_object_unref(picture);
        return false;
    }
    stride_ = (width * 3 + 3) & ~3;
    rows_.assign(static_cast<size_t>(stride_) * static_cast<size_t>(height), 0);
    for (int y = 0; y < height; ++y) {
        const guchar* from = source + static_cast<ptrdiff_t>(y) * sourceStride;
        uint8_t* to = rows_.data() + static_cast<ptrdiff_t>(y) * stride_;
        for (int x = 0; x < width; ++x, from += channels, to += 3) {
            to[0] = from[2];
            to[1] = from[1];
            to[2] = from[0];
        }
    }
    width_ = width;
    height_ = height;
    PictureReplaced();
    g_object_unref(picture);
    return true;
}

LinuxSkinFiles::LinuxSkinFiles(std::vector<std::string> roots)
    : roots_(roots.empty() ? fw::DataRoots() : std::move(roots)) {}

LinuxSkinFiles::~LinuxSkinFiles() {
    if (cursor_) g_object_unref(cursor_);
}

std::string LinuxSkinFiles::Find(const std::string& path) const {
    const std::string relative = fw::PortablePath(path);
    for (const std::string& root : roots_) {
        std::string file = fw::JoinPath(root, relative);
        if (fw::IsFile(file) || fw::IsFolder(file)) return file;
    }
    return {};
}

bool LinuxSkinFiles::FileExists(const std::string& path) {
    const std::string file = Find(path);
    return !file.empty() && fw::IsFile(file);
}

bool LinuxSkinFiles::FolderExists(const std::string& path) {
    std::string relative = fw::PortablePath(path);
    while (!relative.empty() && relative.back() == '/') relative.pop_back();
    for (const std::string& root : roots_)
        if (fw::IsFolder(fw::JoinPath(root, relative))) return true;
    return false;
}

std::optional<std::string> LinuxSkinFiles::ReadFile(const std::string& path) {
    const std::string file = Find(path);
    if (file.empty() || !fw::IsFile(file)) return std::nullopt;
    return fw::ReadWholeFile(file);
}

std::optional<std::vector<std::string>> LinuxSkinFiles::SkinFolders() {
    const std::string skins = fw::PortablePath(SkinsFolder);
    bool any = false;
    std::set<std::string> names;
    std::vector<std::string> folders;
    for (const std::string& root : roots_) {
        const std::string folder = fw::JoinPath(root, skins);
        if (!fw::IsFolder(folder)) continue;
        any = true;
        for (std::string& name : fw::SubFolders(folder))
            if (names.insert(name).second) folders.push_back(std::move(name));
    }
    if (!any) return std::nullopt;
    return folders;
}

bool LinuxSkinFiles::LoadBitmap(TSkinBitmap& bitmap, const std::string& path) {
    auto& picture = static_cast<PixbufBitmap&>(bitmap);
    if (path.empty()) {
        picture.Clear();
        return true;
    }
    const std::optional<std::string> bytes = ReadFile(path);
    if (!bytes) {
        picture.Clear();
        return false;
    }
    return picture.Load(*bytes);
}

void LinuxSkinFiles::LoadSkinCursor(const std::string& path) {
    GdkCursor* next = nullptr;
    GdkDisplay* display = gdk_display_get_default();
    const std::optional<std::string> bytes = path.empty() ? std::nullopt : ReadFile(path);
    if (bytes && display) {
        if (GdkPixbuf* picture = ReadPicture(*bytes, "ico")) {
            const char* x = gdk_pixbuf_get_option(picture, "x_hot");
            const char* y = gdk_pixbuf_get_option(picture, "y_hot");
            next = gdk_cursor_new_from_pixbuf(display, picture, x ? std::atoi(x) : 0,
                                              y ? std::atoi(y) : 0);
            g_object_unref(picture);
        }
    }
    if (cursor_) g_object_unref(cursor_);
    cursor_ = next;
}

void LinuxSkinFiles::ReportError(const std::string& text) {
    if (onError) onError(text);
}

std::unique_ptr<TSkinBitmap> LinuxSkinFiles::NewSkinBitmap() {
    return std::make_unique<PixbufBitmap>();
}

} // namespace zevaver
