// Every shipped skin on the Linux program's screen against the drawing the Windows program
// makes: the portable core (the same application core, skin chrome and keyboard drawing the
// Windows program paints its back buffer with) renders the window here, in memory, from the
// settings the program kept and the skin's files as read by a plain reader of the tests' own,
// and every pixel of the window on the screen must match.
#include <gtest/gtest.h>

#include "engine/linux/IniSettings.h"
#include "engine/linux/LinuxLayoutFiles.h"
#include "mainwindow/AppCore.h"
#include "skin/BitmapFile.h"
#include "support/FakeMidiOut.h"
#include "support/JackSession.h"
#include "support/ProgramRun.h"
#include "support/XSession.h"

#include <fstream>
#include <sstream>

namespace zevaver {

namespace {

using namespace linuxtest;

std::string DataDir() {
    const char* data = std::getenv("MK_DATA_DIR");
    return data ? data : "data";
}

std::optional<std::string> ReadData(const std::string& relative) {
    std::string path = DataDir() + "/" + relative;
    for (char& c : path)
        if (c == '\\') c = '/';
    std::ifstream file(path, std::ios::binary);
    if (!file) return std::nullopt;
    std::stringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

// The shipped pictures are 24-bit: read here without any library.
class PlainBitmap final : public TSkinBitmap {
public:
    int PictureWidth() const noexcept override { return width; }
    int PictureHeight() const noexcept override { return height; }
    Pixels24 PicturePixels() const noexcept override {
        if (bytes.empty()) return {};
        return {reinterpret_cast<const uint8_t*>(bytes.data()) + at, width, height,
                (width * 3 + 3) & ~3, true};
    }
    std::string bytes;
    uint32_t at = 0;
    int width = 0, height = 0;
};

class ReferenceSkin final : public SkinShell {
public:
    explicit ReferenceSkin(fw::PixelSurface*& surface) : surface_(surface) {}
    bool FileExists(const std::string& path) override { return ReadData(path).has_value(); }
    bool FolderExists(const std::string& path) override {
        return std::system(("test -d '" + DataDir() + "/" + Slashed(path) + "'").c_str()) == 0;
    }
    std::optional<std::string> ReadFile(const std::string& path) override { return ReadData(path); }
    std::optional<std::vector<std::string>> SkinFolders() override {
        return std::vector<std::string>{"Classic", "Default", "Midnight", "Zevizi"};
    }
    bool LoadBitmap(TSkinBitmap& bitmap, const std::string& path) override {
        auto& plain = static_cast<PlainBitmap&>(bitmap);
        plain = PlainBitmap{};
        if (path.empty()) return true;
        const std::optional<std::string> bytes = ReadData(path);
        if (!bytes) return false;
        const std::optional<BitmapFileLayout> layout = ReadBitmapFileLayout(*bytes);
        EXPECT_TRUE(layout && !layout->runLength && (*bytes)[28] == 24) << path;
        if (!layout) return false;
        plain.bytes = *bytes;
        plain.at = layout->pixelsAt;
        plain.width = layout->width;
        plain.height = layout->height;
        return true;
    }
    void LoadSkinCursor(const std::string&) override {}
    void ReportError(const std::string& text) override { ADD_FAILURE() << text; }
    std::unique_ptr<TSkinBitmap> NewSkinBitmap() override {
        return std::make_unique<PlainBitmap>();
    }
    fw::PixelSurface* BackBuffer() override { return surface_; }
    void FlushRect(const fw::PixelRect&) override {}
    void CopyScreenToBackBuffer() override {}
    fw::PixelRect WindowBounds() override { return {0, 0, 716, 140}; }
    bool IsMainWindowActive() override { return true; }
    bool WindowShown() override { return true; }
    void PopupMenuAt(int, int) override {}
    void CloseMainWindow() override {}
    void MinimizeApplication() override {}
    void ApplyWindowLook(const TSkinConfig&, bool) override {}

private:
    static std::string Slashed(std::string path) {
        for (char& c : path)
            if (c == '\\') c = '/';
        return path;
    }
    fw::PixelSurface*& surface_;
};

// The window as the core draws it, the back buffer of the given size.
class ReferenceHost final : public AppHost {
public:
    explicit ReferenceHost(ClientSize size)
        : size_(size),
          pixels_(static_cast<size_t>(size.width) * size.height), surface_{pixels_.data(),
                                                                           size.width, size.height,
                                                                           size.width} {}
    [[nodiscard]] const std::vector<uint32_t>& Pixels() const { return pixels_; }

    fw::PixelSurface* BackBuffer() override { return &surface_; }
    void Present(int, int, int, int) override {}
    void Invalidate() override {}
    void CaptureMouse() override {}
    void ReleaseMouseCapture() override {}
    void SetSkinCursor() override {}
    ScreenSize PrimaryScreen() override { return {1920, 1080}; }
    WindowRect WindowBounds() override { return {0, 0, size_.width, size_.height}; }
    void SetWindowBounds(const WindowRect&) override {}
    ClientSize ClientArea() override { return size_; }
    bool IsActive() override { return true; }
    bool IsKeyDown(int32_t) override { return false; }
    uint32_t EventTime() override { return 0; }
    void CloseWindow() override {}
    int32_t FaderPosition() override { return fader_; }
    void SetFaderPosition(int32_t position) override { fader_ = position; }
    void PlaceFader(const WindowRect&, bool) override {}
    void TrayIcon(const std::string&, TrayAction) override {}
    void SetWindowIcon(const std::string&) override {}
    void ShowApplicationWindow(bool) override {}
    void BringToFront() override {}
    void ReportError(const std::string& text) override { errors.push_back(text); }
    void ShowPopup(fw::MenuItem&) override {}
    void ShowSettingsDialog(TSettings&, const std::function<void()>&,
                            const std::function<void()>& dismissed) override {
        dismissed();
    }
    void StartTimer(int, uint32_t) override {}
    void StopTimer(int) override {}
    SkinShell* Skins() override { return &skin_; }
    std::vector<std::string> errors;

private:
    ClientSize size_;
    std::vector<uint32_t> pixels_;
    fw::PixelSurface surface_;
    fw::PixelSurface* surfacePointer_ = &surface_;
    ReferenceSkin skin_{surfacePointer_};
    int32_t fader_ = 0;
};

class ShippedSkinOnLinux : public ::testing::TestWithParam<const char*> {};

TEST_P(ShippedSkinOnLinux, MatchesThePortableDrawingPixelForPixel) {
    const std::string skin = GetParam();
    XSession x;
    ASSERT_TRUE(x.Open());
    TestHome home("skin" + skin);
    home.StoreSettings({{"Skin", skin}, {"Left", "200"}, {"Top", "300"}, {"Velocity", "30"}});
    std::vector<uint32_t> screen;
    XSession::Geometry at;
    {
        // No MIDI at all here: the port's message would cover the window.
        ProgramRun program(home, {}, {"JACK_DEFAULT_SERVER=mk-no-server"});
        ASSERT_TRUE(x.Dismiss("Error"));
        const Window window = x.Await("Zevaver MIDI Keyboard");
        ASSERT_NE(window, 0u);
        x.Focus(window);
        XSession::Pause(400);
        at = x.WindowGeometry(window);
        screen = x.Pixels(at);
        EXPECT_EQ(program.Close(), 0);
    }
    ASSERT_EQ(at.width, 716);
    ASSERT_EQ(at.height, 140);

    IniSettings kept(home.SettingsFile(), {});
    LinuxLayoutFiles layouts({DataDir()});
    fakes::FakeMidiOut midi;
    ReferenceHost host({at.width, at.height});
    AppCore core(host, midi, kept, layouts);
    core.Start();
    core.Paint();
    // A windows-style skin leaves the fader to the platform's trackbar: only the keyboard
    // is the core's drawing there.
    const bool windowsStyle = core.State().SkinConfig.WindowsStyle;
    const int right = windowsStyle ? core.Keys().Left() + core.Keys().Width() : at.width;
    int differing = 0;
    for (int y = 0; y < at.height; ++y) {
        for (int xx = 0; xx < right; ++xx) {
            const size_t i = static_cast<size_t>(y) * at.width + xx;
            if ((host.Pixels()[i] & 0xFFFFFF) != screen[i] && differing++ < 5)
                ADD_FAILURE() << skin << " differs at " << xx << "," << y << ": screen " << std::hex
                              << screen[i] << ", drawing " << (host.Pixels()[i] & 0xFFFFFF);
        }
    }
    EXPECT_EQ(differing, 0);
    EXPECT_EQ(kept.OpenKey(RegistryHive::CurrentUser, SettingsKeyPath, false), true);
    EXPECT_EQ(kept.ReadString("Skin").text, skin);
    kept.CloseKey();
}

TEST(NoMidiOnLinux, WithNoSequencerAndNoJackTheProgramSaysSoOnceAndKeepsRunning) {
    XSession x;
    ASSERT_TRUE(x.Open());
    TestHome home("nomidi");
    ProgramRun program(home, {}, {"JACK_DEFAULT_SERVER=mk-no-server"});
    ASSERT_TRUE(x.Dismiss("Error")) << "the port's message";
    ASSERT_NE(x.Await("Zevaver MIDI Keyboard"), 0u);
    EXPECT_EQ(x.Find("Error"), 0u);
    // Every key tries the port again, silently.
    x.FocusOwnWindow();
    for (int i = 0; i < 5; ++i) x.Tap(KeyQ, 10);
    XSession::Pause(300);
    EXPECT_EQ(x.Find("Error"), 0u);
    EXPECT_TRUE(program.Running());
    EXPECT_EQ(program.Close(), 0);
}

INSTANTIATE_TEST_SUITE_P(Skins, ShippedSkinOnLinux,
                         ::testing::Values("Zevizi", "Default", "Midnight", "Classic"));

} // namespace

} // namespace zevaver
