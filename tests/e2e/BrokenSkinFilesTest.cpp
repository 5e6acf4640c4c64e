// The real program under Wine with its skin files broken on purpose: each time it starts,
// names the file it could not use (or falls back silently where a file is optional), keeps
// running, plays and keeps the chosen skin.
#include "ProgramUnderTest.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace zevaver {

namespace {

namespace fs = std::filesystem;
using e2e::ProgramUnderTest;
using Messages = std::vector<uint32_t>;

std::string ReadAll(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
void WriteAll(const fs::path& file, const std::string& bytes) {
    std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
}

struct BrokenSkin {
    const char* what;
    std::function<void(const fs::path& skins)> make;
    // What every message shown must name; empty when the program stays silent.
    std::string named;
};

TEST(BrokenSkinFiles, LeaveTheProgramRunningPlayingAndOnItsSkin) {
    const BrokenSkin cases[] = {
        {"config.txt is a folder",
         [](const fs::path& skins) {
             fs::remove(skins / "Zevizi" / "config.txt");
             fs::create_directory(skins / "Zevizi" / "config.txt");
         },
         ""},
        {"a truncated bitmap",
         [](const fs::path& skins) {
             const fs::path file = skins / "Zevizi" / "Border.bmp";
             const std::string bytes = ReadAll(file);
             WriteAll(file, bytes.substr(0, bytes.size() / 3));
         },
         "Skins\\Zevizi\\Border.bmp"},
        {"a bitmap whose header claims an impossible size",
         [](const fs::path& skins) {
             const fs::path file = skins / "Zevizi" / "Title Box.bmp";
             std::string bytes = ReadAll(file);
             // BITMAPINFOHEADER: width at offset 18, height at 22.
             for (size_t offset : {size_t{18}, size_t{22}})
                 bytes.replace(offset, 4, std::string("\xff\xff\xff\x7f", 4));
             WriteAll(file, bytes);
         },
         "Skins\\Zevizi\\Title Box.bmp"},
        {"a 0-byte cursor file",
         [](const fs::path& skins) { WriteAll(skins / "Zevizi" / "Cursor.cur", ""); }, ""},
        {"1,000 skin folders",
         [](const fs::path& skins) {
             for (int i = 0; i < 1000; ++i)
                 fs::create_directory(skins / ("Many " + std::to_string(i)));
         },
         ""},
        {"a skin folder named outside the ANSI code page",
         [](const fs::path& skins) {
             fs::copy(skins / "Zevizi", skins / fs::path(L"\u0421\u043a\u0438\u043d \u76ae\u80a4"));
         },
         ""},
    };
    int index = 0;
    for (const BrokenSkin& broken : cases) {
        SCOPED_TRACE(broken.what);
        e2e::ForgetSettings();
        ProgramUnderTest program("BrokenSkin" + std::to_string(index++));
        broken.make(program.ProgramFolder() / "Skins");
        ASSERT_TRUE(program.Start());
        for (std::string text; !(text = program.WaitForMessageBox(1500)).empty();) {
            EXPECT_FALSE(broken.named.empty()) << "unexpected message: " << text;
            EXPECT_NE(text.find(broken.named), std::string::npos) << text;
            program.DismissMessageBox();
        }
        EXPECT_TRUE(program.Running());
        DWORD_PTR ignored = 0;
        EXPECT_TRUE(
            SendMessageTimeoutA(program.MainWindow(), WM_NULL, 0, 0, SMTO_NORMAL, 10000, &ignored));

        e2e::ForeignWindow foreign;
        program.Settle(300);
        program.ClearMidiLog();
        e2e::Tap('Z');
        ASSERT_TRUE(program.WaitForShortMessages(2, 3000));
        EXPECT_EQ(program.ShortMessages(), (Messages{0x7F3090u, 0x3080u}));
        EXPECT_EQ(program.Close(), 0);
        EXPECT_EQ(e2e::StoredSetting("Skin"), "Zevizi");
    }
}

} // namespace

} // namespace zevaver
