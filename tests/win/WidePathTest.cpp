// Paths outside the ANSI code page: UTF-8 inside the program, UTF-16 at the system.
#include "framework/win/WidePath.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace zevaver {

namespace {

std::wstring CurrentFolder() {
    std::wstring folder(GetCurrentDirectoryW(0, nullptr), L'\0');
    folder.resize(GetCurrentDirectoryW(static_cast<DWORD>(folder.size()), folder.data()));
    return folder;
}

TEST(WidePath, TextOutsideTheAnsiCodePageSurvivesTheRoundTrip) {
    const std::pair<std::wstring, std::string> rows[] = {
        {L"", ""},
        {L"C:\\Program Files\\MIDI", "C:\\Program Files\\MIDI"},
        {L"C:\\Users\\\u0418\u0432\u0430\u043d", "C:\\Users\\\xd0\x98\xd0\xb2\xd0\xb0\xd0\xbd"},
        {L"D:\\\u97f3\u4e50", "D:\\\xe9\x9f\xb3\xe4\xb9\x90"},
        {L"\U0001F3B9.txt", "\xf0\x9f\x8e\xb9.txt"}, // beyond the 16-bit plane
    };
    for (const auto& [wide, utf8] : rows) {
        EXPECT_EQ(fw::WideToUtf8(wide), utf8);
        EXPECT_EQ(fw::Utf8ToWide(utf8), wide);
    }
}

TEST(WidePath, MalformedTextBecomesReplacementCharactersNotNothing) {
    EXPECT_EQ(fw::Utf8ToWide("a\xff"
                             "b"),
              L"a\ufffd"
              L"b");
    EXPECT_EQ(fw::WideToUtf8(std::wstring(L"a") + wchar_t(0xD800) + L"b"), "a\xef\xbf\xbd"
                                                                           "b");
}

TEST(WidePath, TheProgramsOwnPathNamesItsFileAndItsFolderCanBeEntered) {
    const std::wstring path = fw::ModulePath(nullptr);
    ASSERT_GT(path.size(), 4u);
    EXPECT_EQ(path.substr(path.size() - 4), L".exe");

    const std::wstring before = CurrentFolder();
    SetCurrentDirectoryW(L"C:\\");
    EXPECT_TRUE(fw::EnterProgramFolder());
    EXPECT_EQ(CurrentFolder() + L"\\", path.substr(0, path.find_last_of(L"\\/") + 1));
    SetCurrentDirectoryW(before.c_str());
}

} // namespace

} // namespace zevaver
