// TOneInstance: keeps one running copy of the program per executable file name. The
// first process to start keeps a hidden receiver window; a later start writes its
// command line into the named instance block, posts the new-instance message to that
// window, waits until the running copy has read the block and then ends without showing
// its main window, while the running copy comes to the front. An instance semaphore
// (count at most 1) lets concurrent starts hand over one at a time.
#pragma once

#include "framework/win/Handles.h"

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace zevaver {

namespace fw {
class MessageOnlyWindow;
}

class TOneInstance;

// params belongs to the component and lives only during the call.
using TOnInstanceStarted =
    std::function<void(TOneInstance& sender, const std::vector<std::string>& params)>;

struct OneInstanceOptions {
    // The path (UTF-8) whose file name names the block and the semaphore; the running
    // executable's when empty.
    std::string executablePath;
    // The parameters a later start hands over; the command line's (without the program
    // path) when not given.
    std::optional<std::vector<std::string>> parameters;
};

class TOneInstance {
public:
    // Only one may exist in the program: a second throws std::logic_error with the text
    // "Drop only one of these components on your form !".
    explicit TOneInstance(OneInstanceOptions options = {});
    virtual ~TOneInstance();
    TOneInstance(const TOneInstance&) = delete;
    TOneInstance& operator=(const TOneInstance&) = delete;

    // The instance check, run once the owner has everything it needs to be called. A
    // later start hands over here and asks the application to end (or, with
    // UseHaltToExit, ends the process). Throws std::runtime_error("Unable to create
    // semaphore") when it cannot become the first instance.
    void Loaded();

    // True exactly when this process keeps the receiver window: false in a later start
    // and when the block could not be created or mapped.
    [[nodiscard]] bool IsFirstInstance() const noexcept { return receiver_ != nullptr; }
    // A later start that handed over: its main window is never shown.
    [[nodiscard]] bool HandedOver() const noexcept { return handedOver_; }
    [[nodiscard]] HWND ReceiverWindow() const noexcept;
    [[nodiscard]] static TOneInstance* Current() noexcept;

    // Restore and bring the application forward when a later start reports.
    bool ShowOnNewInstance = true;
    // A later start ends the process at once instead of asking the application to end.
    bool UseHaltToExit = false;
    TOnInstanceStarted OnInstanceStarted;
    // The application's "restore if minimised (also from the notification area) and
    // bring the last active window to the front"; see RestoreToFront for the plain one.
    std::function<void()> OnBringToFront;

protected:
    virtual void DoInstanceStarted(const std::vector<std::string>& params);

private:
    void InstanceStarted() noexcept;
    void BecomeFirst(fw::MappedView& view);
    void HandOver(fw::MappedView& view);
    [[nodiscard]] bool Acquire() noexcept;
    void Release() noexcept;
    [[nodiscard]] bool CreateReceiver() noexcept;
    [[nodiscard]] std::vector<std::string> CommandLineParameters() const;

    OneInstanceOptions options_;
    std::wstring blockName_;
    std::wstring semaphoreName_;
    fw::KernelHandle block_;
    std::unique_ptr<fw::MessageOnlyWindow> receiver_;
    fw::KernelHandle semaphore_;
    bool handedOver_ = false;
};

// The names of the instance block and semaphore of the executable at that path (UTF-8):
// its file name, without regard to letter case as the file system has it.
struct InstanceObjectNames {
    std::wstring block;
    std::wstring semaphore;
};
[[nodiscard]] InstanceObjectNames InstanceNamesOf(const std::string& executablePath);

// The platform's plain restore: shows the window again if it is minimised or hidden and
// brings its last active popup (a dialog or message box, else the window) to the front.
void RestoreToFront(HWND window) noexcept;

} // namespace zevaver
