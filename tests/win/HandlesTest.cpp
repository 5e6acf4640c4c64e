// The handle owners release exactly once, with their own release function, and moving
// one hands the handle over.
#include "framework/win/BackBuffer.h"
#include "framework/win/Handles.h"
#include "framework/win/Application.h"
#include "framework/win/Window.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include <type_traits>

namespace zevaver {

namespace {

static_assert(!std::is_copy_constructible_v<fw::Bitmap>);
static_assert(!std::is_copy_assignable_v<fw::MemoryDc>);
static_assert(std::is_nothrow_move_constructible_v<fw::RegKey>);
static_assert(!std::is_copy_constructible_v<fw::WindowDc>);
static_assert(!std::is_copy_constructible_v<fw::BackBuffer>);

bool IsGdiObject(HGDIOBJ object) {
    return GetObjectType(object) != 0;
}

TEST(Handles, AGdiObjectIsDeletedWhenItsOwnerGoesAway) {
    HBRUSH raw = nullptr;
    {
        fw::Brush brush(CreateSolidBrush(RGB(1, 2, 3)));
        raw = brush.get();
        ASSERT_TRUE(IsGdiObject(raw));
    }
    EXPECT_FALSE(IsGdiObject(raw));
}

TEST(Handles, MovingHandsTheHandleOverAndReleasesItOnce) {
    fw::Pen first(CreatePen(PS_SOLID, 1, RGB(0, 0, 0)));
    HPEN raw = first.get();
    fw::Pen second(std::move(first));
    EXPECT_FALSE(first.valid());
    EXPECT_EQ(second.get(), raw);
    fw::Pen third;
    third = std::move(second);
    EXPECT_EQ(third.get(), raw);
    EXPECT_TRUE(IsGdiObject(raw));
    third.reset();
    EXPECT_FALSE(IsGdiObject(raw));
}

TEST(Handles, ReleaseGivesUpOwnershipWithoutDeleting) {
    HBRUSH raw = nullptr;
    {
        fw::Brush brush(CreateSolidBrush(RGB(4, 5, 6)));
        raw = brush.release();
    }
    EXPECT_TRUE(IsGdiObject(raw));
    DeleteObject(raw);
}

TEST(Handles, AMemoryDcIsDeletedWithDeleteDc) {
    HDC raw = nullptr;
    {
        fw::MemoryDc dc(CreateCompatibleDC(nullptr));
        raw = dc.get();
        ASSERT_EQ(GetObjectType(raw), static_cast<DWORD>(OBJ_MEMDC));
    }
    EXPECT_EQ(GetObjectType(raw), 0u);
}

TEST(Handles, AKernelHandleAndAFileAreClosed) {
    HANDLE event = nullptr;
    {
        fw::KernelHandle handle(CreateEventA(nullptr, TRUE, FALSE, nullptr));
        event = handle.get();
        DWORD flags = 0;
        ASSERT_TRUE(GetHandleInformation(event, &flags));
    }
    DWORD flags = 0;
    EXPECT_FALSE(GetHandleInformation(event, &flags));

    fw::File none;
    EXPECT_FALSE(none.valid()) << "a default file owner holds INVALID_HANDLE_VALUE";
}

TEST(Handles, ARegistryKeyIsClosed) {
    HKEY raw = nullptr;
    {
        HKEY key = nullptr;
        ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software", 0, KEY_READ, &key), ERROR_SUCCESS);
        fw::RegKey owner(key);
        raw = owner.get();
    }
    DWORD count = 0;
    EXPECT_NE(RegQueryInfoKeyA(raw, nullptr, nullptr, nullptr, &count, nullptr, nullptr, nullptr,
                               nullptr, nullptr, nullptr, nullptr),
              ERROR_SUCCESS);
}

TEST(Handles, AWindowAndAMenuAreDestroyed) {
    HWND raw = nullptr;
    HMENU menu = nullptr;
    {
        fw::Window window(
            CreateWindowExA(0, "STATIC", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr));
        fw::Menu popup(CreatePopupMenu());
        raw = window.get();
        menu = popup.get();
        ASSERT_TRUE(IsWindow(raw));
        ASSERT_TRUE(IsMenu(menu));
    }
    EXPECT_FALSE(IsWindow(raw));
    EXPECT_FALSE(IsMenu(menu));
}

TEST(Handles, AWindowDcIsGivenBack) {
    fw::Window window(
        CreateWindowExA(0, "STATIC", "", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr));
    for (int i = 0; i < 200; ++i) {
        fw::WindowDc dc(window.get());
        ASSERT_TRUE(dc) << "DCs leak when ReleaseDC is not called";
    }
}

TEST(BackBuffer, PixelsWrittenDirectlyAreWhatGdiCopies) {
    fw::BackBuffer buffer;
    ASSERT_TRUE(buffer.Resize(8, 4));
    const int stride = buffer.Stride();
    buffer.Pixels()[1 * stride + 2] = 0x00112233; // row 1, column 2, as 0x00RRGGBB
    EXPECT_EQ(GetPixel(buffer.Dc(), 2, 1), RGB(0x11, 0x22, 0x33));
    SetPixel(buffer.Dc(), 5, 3, RGB(0xAA, 0xBB, 0xCC));
    buffer.FinishGdi();
    EXPECT_EQ(buffer.Pixels()[3 * stride + 5], 0x00AABBCCu);
}

TEST(BackBuffer, ResizingReplacesTheImageAndNeverGoesBelowOnePixel) {
    fw::BackBuffer buffer;
    ASSERT_TRUE(buffer.Resize(0, -5));
    EXPECT_EQ(buffer.Width(), 1);
    EXPECT_EQ(buffer.Height(), 1);
    ASSERT_TRUE(buffer.Resize(300, 200));
    EXPECT_EQ(buffer.Width(), 300);
    ASSERT_GE(buffer.Stride(), 300);
    buffer.Pixels()[199 * buffer.Stride() + 299] = 0x00FFFFFF; // the last pixel of the image
    EXPECT_EQ(GetPixel(buffer.Dc(), 299, 199), RGB(255, 255, 255));
}

TEST(BackBuffer, SmallStepsOfADragKeepTheBitmapAndLargeOnesReplaceIt) {
    fw::BackBuffer buffer;
    ASSERT_TRUE(buffer.Resize(1920, 200));
    const uint32_t* first = buffer.Pixels();
    buffer.Pixels()[5] = 0x00123456;
    ASSERT_TRUE(buffer.Resize(1919, 199));
    EXPECT_EQ(buffer.Width(), 1919);
    EXPECT_EQ(buffer.Height(), 199);
    EXPECT_EQ(buffer.Pixels(), first);
    EXPECT_EQ(buffer.Pixels()[5], 0x00123456u) << "a kept bitmap keeps its contents";
    ASSERT_TRUE(buffer.Resize(2500, 200)); // past the slack
    EXPECT_GE(buffer.Stride(), 2500);
    EXPECT_EQ(buffer.Pixels()[5], 0u) << "a new bitmap starts black";
    ASSERT_TRUE(buffer.Resize(100, 80)); // a small image does not hold on to a large bitmap
    EXPECT_LT(buffer.Stride(), 2500);
}

class ProbeWindow : public fw::WindowBase {
public:
    int creates = 0;
    int destroys = 0;
    bool Create() {
        return CreateHandle({"MkProbeWindow"}, WS_OVERLAPPED, 0, "probe", 0, 0, 50, 50);
    }
    ~ProbeWindow() override { DestroyHandle(); }

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) noexcept override {
        if (message == WM_APP) return 3;
        if (message == WM_CREATE) ++creates;
        if (message == WM_DESTROY) ++destroys;
        return WindowBase::HandleMessage(message, wParam, lParam);
    }
};

TEST(WindowBase, MessagesFromCreationToDestructionReachTheObject) {
    ProbeWindow probe;
    ASSERT_TRUE(probe.Create());
    EXPECT_EQ(probe.creates, 1);
    HWND raw = probe.Handle();
    probe.DestroyHandle();
    EXPECT_EQ(probe.destroys, 1);
    EXPECT_EQ(probe.Handle(), nullptr);
    EXPECT_FALSE(IsWindow(raw));
}

// A feature's handler: answers `message` with `answer`, or throws when told to.
struct FeatureHandler final : fw::MessageHandler {
    FeatureHandler(UINT m, LRESULT a) : message(m), answer(a) {}
    UINT message = 0;
    LRESULT answer = 0;
    bool throws = false;
    int seen = 0;
    bool TryHandle(UINT m, WPARAM, LPARAM, LRESULT& result) override {
        if (m != message) return false;
        ++seen;
        if (throws) throw std::runtime_error("feature failed");
        result = answer;
        return true;
    }
};

std::vector<std::string> errorBoxes;
int RecordErrorBox(HWND, const char* text, const char* caption, UINT) noexcept {
    errorBoxes.push_back(std::string(caption) + ": " + text);
    return IDOK;
}

TEST(WindowBase, HandlersAnswerInTheOrderAddedAndAThrowingOneIsReportedNotFatal) {
    ProbeWindow probe;
    ASSERT_TRUE(probe.Create());
    FeatureHandler first(WM_APP + 1, 1), second(WM_APP + 1, 2), failing(WM_APP + 2, 0);
    failing.throws = true;
    probe.AddHandler(first);
    probe.AddHandler(second);
    probe.AddHandler(failing);
    EXPECT_EQ(SendMessageA(probe.Handle(), WM_APP + 1, 0, 0), 1);
    EXPECT_EQ(second.seen, 0);
    EXPECT_EQ(SendMessageA(probe.Handle(), WM_APP, 0, 0), 3) << "unhandled: the window's own";
    probe.RemoveHandler(first);
    EXPECT_EQ(SendMessageA(probe.Handle(), WM_APP + 1, 0, 0), 2);

    errorBoxes.clear();
    const fw::MessageBoxFunction previous = fw::SetMessageBoxFunction(&RecordErrorBox);
    SendMessageA(probe.Handle(), WM_APP + 2, 0, 0);
    fw::SetMessageBoxFunction(previous);
    EXPECT_EQ(errorBoxes, std::vector<std::string>{"Error: feature failed"});
    EXPECT_TRUE(IsWindow(probe.Handle()));
}

} // namespace

} // namespace zevaver
