#include "services/win/OneInstance.h"

#include "framework/Paths.h"
#include "framework/win/Application.h"
#include "framework/win/MessageOnlyWindow.h"
#include "framework/win/WidePath.h"
#include "framework/win/Window.h"
#include "services/InstanceBlock.h"

#include <cstdlib>
#include <stdexcept>

namespace zevaver {

namespace {

constexpr char ReceiverClassName[] = "TOneInstanceReceiver";
constexpr char OnlyOneText[] = "Drop only one of these components on your form !";
constexpr char NoSemaphoreText[] = "Unable to create semaphore";

TOneInstance* current = nullptr;

// Upper case as the file system compares names: the same for every user's language.
std::wstring UpperCase(const std::wstring& text) {
    if (text.empty()) return text;
    const int size = static_cast<int>(text.size());
    const int length = LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, text.data(), size,
                                     nullptr, 0, nullptr, nullptr, 0);
    if (length <= 0) return text;
    std::wstring upper(static_cast<size_t>(length), L'\0');
    if (LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, text.data(), size, upper.data(),
                      length, nullptr, nullptr, 0) != length)
        return text;
    return upper;
}

instance::Block BlockOf(const fw::MappedView& view) noexcept {
    return instance::Block(static_cast<uint8_t*>(view.get()), instance::BlockSize);
}

fw::MappedView MapBlock(HANDLE block) noexcept {
    return fw::MappedView(
        MapViewOfFile(block, FILE_MAP_READ | FILE_MAP_WRITE, 0, 0, instance::BlockSize));
}

} // namespace

TOneInstance::TOneInstance(OneInstanceOptions options) : options_(std::move(options)) {
    if (current) throw std::logic_error(OnlyOneText);
    const std::string path = options_.executablePath.empty()
                                 ? fw::WideToUtf8(fw::ModulePath(nullptr))
                                 : options_.executablePath;
    if (!path.empty()) {
        InstanceObjectNames names = InstanceNamesOf(path);
        blockName_ = std::move(names.block);
        semaphoreName_ = std::move(names.semaphore);
    }
    current = this;
}

TOneInstance::~TOneInstance() {
    block_.reset();
    receiver_.reset();
    semaphore_.reset();
    if (current == this) current = nullptr;
}

HWND TOneInstance::ReceiverWindow() const noexcept {
    return receiver_ ? receiver_->Handle() : nullptr;
}

TOneInstance* TOneInstance::Current() noexcept {
    return current;
}

void TOneInstance::Loaded() {
    if (block_ || blockName_.empty()) return;
    HANDLE block = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                      static_cast<DWORD>(instance::BlockSize), blockName_.c_str());
    const bool existed = GetLastError() == ERROR_ALREADY_EXISTS;
    block_.reset(block);
    // Without the block the program runs unguarded (and so without the input watch).
    if (!block_) return;
    fw::MappedView view = MapBlock(block_.get());
    if (!view) return;
    if (existed)
        HandOver(view);
    else
        BecomeFirst(view);
}

void TOneInstance::BecomeFirst(fw::MappedView& view) {
    if (!CreateReceiver()) return;
    // Held only by a later start whose running copy did not answer.
    Release();
    semaphore_.reset();
    semaphore_.reset(CreateSemaphoreW(nullptr, 0, 1, semaphoreName_.c_str()));
    if (!semaphore_) {
        receiver_.reset();
        throw std::runtime_error(NoSemaphoreText);
    }
    instance::WriteReceiver(BlockOf(view), reinterpret_cast<uintptr_t>(ReceiverWindow()));
    Release(); // ready to be called
}

void TOneInstance::HandOver(fw::MappedView& view) {
    if (!Acquire()) {
        BecomeFirst(view);
        return;
    }
    instance::WriteParameters(BlockOf(view), CommandLineParameters());
    const auto target = reinterpret_cast<HWND>(instance::ReadReceiver(BlockOf(view)));
    // This start is the user's own doing, so it may pass the foreground on to the copy
    // that is to come forward.
    DWORD targetProcess = 0;
    if (GetWindowThreadProcessId(target, &targetProcess)) AllowSetForegroundWindow(targetProcess);
    PostMessageA(target, instance::NewInstanceMessage, 0, 0);
    // Satisfied once the running copy has read the block.
    if (!Acquire()) {
        BecomeFirst(view);
        return;
    }
    Release(); // the next waiting start may go on
    semaphore_.reset();
    view.reset();
    handedOver_ = true;
    if (UseHaltToExit) std::exit(0);
    fw::RequestTermination();
}

bool TOneInstance::Acquire() noexcept {
    if (!semaphore_)
        semaphore_.reset(OpenSemaphoreW(SEMAPHORE_ALL_ACCESS, FALSE, semaphoreName_.c_str()));
    if (!semaphore_) return false;
    return WaitForSingleObject(semaphore_.get(), instance::WaitMilliseconds) == WAIT_OBJECT_0;
}

void TOneInstance::Release() noexcept {
    // Fails harmlessly when the count is at its maximum already.
    if (semaphore_) ReleaseSemaphore(semaphore_.get(), 1, nullptr);
}

std::vector<std::string> TOneInstance::CommandLineParameters() const {
    if (options_.parameters) return *options_.parameters;
    std::vector<std::string> parameters;
    for (int i = 1; i < __argc; ++i) parameters.emplace_back(__argv[i] ? __argv[i] : "");
    return parameters;
}

bool TOneInstance::CreateReceiver() noexcept {
    if (receiver_) return true;
    // Where a later start of the program announces itself.
    auto receiver = std::make_unique<fw::MessageOnlyWindow>(
        [this](UINT message, WPARAM, LPARAM, LRESULT& result) {
            if (message != instance::NewInstanceMessage) return false;
            InstanceStarted();
            result = 0;
            return true;
        });
    if (!receiver->Create(ReceiverClassName)) return false;
    receiver_ = std::move(receiver);
    return true;
}

void TOneInstance::InstanceStarted() noexcept {
    if (!block_) return;
    fw::MappedView view = MapBlock(block_.get());
    // Without an acknowledgement the waiting start times out and runs on its own.
    if (!view) return;
    std::string failure;
    try {
        const std::vector<std::string> params = instance::ReadParameters(BlockOf(view));
        DoInstanceStarted(params);
    } catch (const std::exception& error) {
        failure = error.what();
    } catch (...) {
        failure = "Unknown error";
    }
    view.reset();
    Release(); // the acknowledgement that ends the later start's wait
    if (!failure.empty()) fw::ReportError(failure);
}

void TOneInstance::DoInstanceStarted(const std::vector<std::string>& params) {
    if (ShowOnNewInstance && OnBringToFront) OnBringToFront();
    if (OnInstanceStarted) OnInstanceStarted(*this, params);
}

InstanceObjectNames InstanceNamesOf(const std::string& executablePath) {
    // Names travel as UTF-8 and meet the system as UTF-16, so that a file name outside the
    // ANSI code page keeps its letters; a name the old ANSI calls made is the same object.
    const std::string upper =
        fw::WideToUtf8(UpperCase(fw::Utf8ToWide(fw::FileNameOf(executablePath))));
    return {fw::Utf8ToWide(instance::BlockName(upper)),
            fw::Utf8ToWide(instance::SemaphoreName(upper))};
}

void RestoreToFront(HWND window) noexcept {
    if (!window || !IsWindow(window)) return;
    if (IsIconic(window) || !IsWindowVisible(window)) ShowWindow(window, SW_RESTORE);
    fw::BringForward(window);
}

} // namespace zevaver
