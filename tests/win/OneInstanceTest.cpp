// The single-instance guard in one process: the running copy's side of the hand-over
// against a later start played by hand on another thread, and a later start against a
// running copy played by hand.
#include "framework/win/Application.h"
#include "framework/win/Handles.h"
#include "services/InstanceBlock.h"
#include "services/win/OneInstance.h"

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <functional>
#include <stdexcept>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

namespace zevaver {

namespace {

using Strings = std::vector<std::string>;
using Bytes = std::array<uint8_t, instance::BlockSize>;

std::string UniqueExecutable() {
    static int counter = 0;
    return "Z:\\tmp\\OneInstanceTest-" + std::to_string(GetCurrentProcessId()) + "-" +
           std::to_string(++counter) + ".exe";
}

OneInstanceOptions Options(const std::string& path, Strings parameters = {}) {
    OneInstanceOptions options;
    options.executablePath = path;
    options.parameters = std::move(parameters);
    return options;
}

struct SharedBlock {
    fw::KernelHandle mapping;
    fw::MappedView view;
    explicit SharedBlock(const std::wstring& name)
        : mapping(CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                     instance::BlockSize, name.c_str())),
          view(MapViewOfFile(mapping.get(), FILE_MAP_READ | FILE_MAP_WRITE, 0, 0,
                             instance::BlockSize)) {}
    instance::Block Bytes() const {
        return instance::Block(static_cast<uint8_t*>(view.get()), instance::BlockSize);
    }
};

// Runs the message loop of this thread until done is set or ten seconds (far more than
// needed) have passed.
void PumpUntil(const std::atomic<bool>& done) {
    for (int i = 0; i < 1000 && !done; ++i) {
        fw::ProcessMessages();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

class OneInstance : public ::testing::Test {
protected:
    void TearDown() override { fw::ClearTerminationRequest(); }
    const std::string path = UniqueExecutable();
};

TEST_F(OneInstance, OnlyOneMayExistInAProgram) {
    {
        TOneInstance first(Options(path));
        EXPECT_EQ(TOneInstance::Current(), &first);
        try {
            TOneInstance second(Options(path));
            ADD_FAILURE() << "a second component was created";
        } catch (const std::logic_error& error) {
            EXPECT_STREQ(error.what(), "Drop only one of these components on your form !");
        }
        EXPECT_EQ(TOneInstance::Current(), &first);
        EXPECT_TRUE(first.ShowOnNewInstance);
        EXPECT_FALSE(first.UseHaltToExit);
        EXPECT_FALSE(first.IsFirstInstance()); // not before the check
    }
    EXPECT_EQ(TOneInstance::Current(), nullptr);
    TOneInstance again(Options(path));
}

TEST_F(OneInstance, TheRunningCopyReadsWhatALaterStartWroteAndAcknowledgesIt) {
    struct Row {
        const char* what;
        std::function<void(instance::Block)> write;
        bool show;
        Strings expected;
    };
    Strings twelve;
    for (int i = 1; i <= 12; ++i) twelve.push_back(std::to_string(i));
    auto corrupt = [](uint32_t count) {
        return [count](instance::Block bytes) {
            std::fill(bytes.begin() + 4, bytes.end(), 'Z');
            for (size_t i = 0; i < 4; ++i) bytes[4 + i] = static_cast<uint8_t>(count >> (8 * i));
        };
    };
    const Row rows[] = {
        {"none", [](instance::Block b) { instance::WriteParameters(b, {}); }, true, {}},
        {"twelve", [&](instance::Block b) { instance::WriteParameters(b, twelve); }, true,
         Strings(twelve.begin(), twelve.begin() + 10)},
        {"500 characters",
         [](instance::Block b) {
             instance::WriteParameters(b, {std::string(500, 'a'), "/M"});
         },
         false,
         {std::string(300, 'a'), "/M"}},
        {"count 9999, no terminators", corrupt(9999), true, Strings(10, std::string(301, 'Z'))},
        {"count -5", corrupt(static_cast<uint32_t>(-5)), true, {}},
    };

    TOneInstance guard(Options(path));
    guard.Loaded();
    ASSERT_TRUE(guard.IsFirstInstance());
    int broughtForward = 0;
    Strings received;
    guard.OnBringToFront = [&] { ++broughtForward; };
    guard.OnInstanceStarted = [&](TOneInstance& sender, const Strings& params) {
        EXPECT_EQ(&sender, &guard);
        received = params;
    };
    const InstanceObjectNames names = InstanceNamesOf(path);

    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        guard.ShowOnNewInstance = row.show;
        broughtForward = 0;
        received = {"untouched"};
        std::atomic<bool> done{false};
        bool acknowledged = false;
        // The later start, as the protocol has it.
        std::thread later([&] {
            fw::KernelHandle semaphore(
                OpenSemaphoreW(SEMAPHORE_ALL_ACCESS, FALSE, names.semaphore.c_str()));
            SharedBlock block(names.block);
            if (semaphore && block.view && WaitForSingleObject(semaphore.get(), 5000) == 0) {
                row.write(block.Bytes());
                PostMessageA(reinterpret_cast<HWND>(instance::ReadReceiver(block.Bytes())),
                             instance::NewInstanceMessage, 0, 0);
                acknowledged = WaitForSingleObject(semaphore.get(), 5000) == WAIT_OBJECT_0;
                ReleaseSemaphore(semaphore.get(), 1, nullptr);
            }
            done = true;
        });
        PumpUntil(done);
        later.join();
        EXPECT_TRUE(acknowledged);
        EXPECT_EQ(received, row.expected);
        EXPECT_EQ(broughtForward, row.show ? 1 : 0);
    }
}

// A running copy played by hand: its receiver window lives on a thread of its own.
class HandMadeRunningCopy {
public:
    explicit HandMadeRunningCopy(const std::string& path)
        : block_(InstanceNamesOf(path).block),
          semaphore_(CreateSemaphoreW(nullptr, 1, 1, InstanceNamesOf(path).semaphore.c_str())) {
        std::atomic<HWND> window{nullptr};
        thread_ = std::thread([this, &window] {
            HWND own = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                       nullptr, nullptr);
            window = own;
            MSG message;
            while (GetMessageA(&message, nullptr, 0, 0) > 0) {
                if (message.message != instance::NewInstanceMessage) continue;
                ++calls;
                received = instance::ReadParameters(block_.Bytes());
                ReleaseSemaphore(semaphore_.get(), 1, nullptr);
            }
            DestroyWindow(own);
        });
        while (!window) Sleep(1);
        window_ = window;
        instance::WriteReceiver(block_.Bytes(), reinterpret_cast<uintptr_t>(window_));
    }
    ~HandMadeRunningCopy() {
        PostMessageA(window_, WM_QUIT, 0, 0);
        thread_.join();
    }
    HWND Window() const { return window_; }
    instance::ConstBlock Bytes() const { return block_.Bytes(); }
    std::atomic<int> calls{0};
    Strings received;

private:
    SharedBlock block_;
    fw::KernelHandle semaphore_;
    std::thread thread_;
    HWND window_ = nullptr;
};

TEST_F(OneInstance, ALaterStartHandsItsParametersOverAndAsksToEnd) {
    HandMadeRunningCopy running(path);
    TOneInstance guard(Options(path, {"/M", "second"}));
    guard.Loaded();
    EXPECT_TRUE(guard.HandedOver());
    EXPECT_FALSE(guard.IsFirstInstance());
    EXPECT_TRUE(fw::TerminationRequested());
    EXPECT_EQ(running.calls, 1);
    EXPECT_EQ(running.received, (Strings{"/M", "second"}));
    EXPECT_EQ(reinterpret_cast<HWND>(instance::ReadReceiver(running.Bytes())), running.Window());
}

// Copies meet whatever the letter case of their file names, as the file system finds a
// file; the shipped name keeps its spelling, which copies installed before use.
TEST(OneInstanceNames, IgnoreTheLetterCaseOfTheFileName) {
    const std::tuple<std::string, std::wstring> rows[] = {
        {"C:\\mk\\midikeyboard.EXE", L"MIDIKeyboard.exe"},
        {"Z:\\Other Folder\\Zevaver Keys.exe", L"ZEVAVER KEYS.EXE"},
        {"C:\\\xd0\x9a\\\xd0\xba\xd0\xbb\xd0\xb0\xd0\xb2\xd0\xb8\xd1\x88\xd0\xb8.exe",
         L"\u041A\u041B\u0410\u0412\u0418\u0428\u0418.EXE"},
    };
    for (const auto& [path, name] : rows) {
        SCOPED_TRACE(path);
        EXPECT_EQ(InstanceNamesOf(path).block, name);
        EXPECT_EQ(InstanceNamesOf(path).semaphore, name + L"Sem");
    }
}

TEST_F(OneInstance, ABlockNameTakenByAnotherKindOfObjectLeavesTheProgramUnguarded) {
    fw::KernelHandle squatter(CreateMutexW(nullptr, FALSE, InstanceNamesOf(path).block.c_str()));
    TOneInstance guard(Options(path));
    guard.Loaded();
    EXPECT_FALSE(guard.IsFirstInstance());
    EXPECT_FALSE(guard.HandedOver());
    EXPECT_FALSE(fw::TerminationRequested());
}

} // namespace

} // namespace zevaver
