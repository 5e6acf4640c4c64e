#include "WatchTestSupport.h"

#include "framework/win/Application.h"

#include <atomic>

namespace watchtest {

std::string TestFolder() {
    char buffer[MAX_PATH * 4];
    const DWORD length = GetModuleFileNameA(nullptr, buffer, sizeof(buffer));
    std::string path(buffer, length);
    return path.substr(0, path.find_last_of("\\/") + 1);
}

std::string RealLibraryPath() {
    return TestFolder() + "vivuvav.dll";
}

std::string LackingLibraryPath(const std::string& missingExport) {
    return TestFolder() + "lacking_" + missingExport + "\\vivuvav.dll";
}

std::string ScriptedLibraryPath() {
    return TestFolder() + "scripted\\vivuvav.dll";
}

HookLibrary::HookLibrary(const std::string& path) : module_(LoadLibraryA(path.c_str())) {
    if (!module_) return;
    startWatching_ = Entry<decltype(startWatching_)>("StartWatching");
    stopWatching_ = Entry<decltype(stopWatching_)>("StopWatching");
    stillWatching_ = Entry<decltype(stillWatching_)>("StillWatching");
    stopAll_ = Entry<decltype(stopAll_)>("StopAll");
    setReceiver_ = Entry<decltype(setReceiver_)>("SetReceiver");
    getReceiver_ = Entry<decltype(getReceiver_)>("GetReceiver");
}

namespace {

std::vector<ShownBox> shownBoxes;

int RecordBox(HWND, const char* text, const char* caption, UINT type) noexcept {
    try {
        shownBoxes.push_back({text ? text : "", caption ? caption : "", type});
    } catch (...) {
    }
    return IDOK;
}

} // namespace

MessageBoxCapture::MessageBoxCapture() {
    shownBoxes.clear();
    fw::SetMessageBoxFunction(&RecordBox);
    fw::ClearTerminationRequest();
}

MessageBoxCapture::~MessageBoxCapture() {
    fw::SetMessageBoxFunction(nullptr);
    fw::ClearTerminationRequest();
}

const std::vector<ShownBox>& MessageBoxCapture::Shown() const {
    return shownBoxes;
}

void MessageBoxCapture::Clear() {
    shownBoxes.clear();
}

std::vector<std::string> MessageBoxCapture::Texts() const {
    std::vector<std::string> texts;
    for (const ShownBox& box : shownBoxes) texts.push_back(box.text);
    return texts;
}

bool PumpUntil(const std::function<bool()>& done) {
    // Up to about ten seconds, far beyond any delivery that works at all.
    for (int round = 0; round < 1000; ++round) {
        fw::ProcessMessages();
        if (done()) return true;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    fw::ProcessMessages();
    return done();
}

void PumpBriefly() {
    for (int round = 0; round < 20; ++round) {
        fw::ProcessMessages();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    fw::ProcessMessages();
}

fw::Window MakeTopLevelWindow(const std::string& title, bool visible) {
    static const ATOM atom = [] {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = &DefWindowProcA;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "MKWatchTestWindow";
        return RegisterClassA(&windowClass);
    }();
    (void)atom;
    return fw::Window(CreateWindowExA(0, "MKWatchTestWindow", title.c_str(),
                                      WS_OVERLAPPEDWINDOW | (visible ? WS_VISIBLE : 0), 10, 10, 200,
                                      100, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr));
}

PeerProcess::PeerProcess(const char* mode) {
    static std::atomic<int> counter{0};
    const std::string suffix =
        std::to_string(GetCurrentProcessId()) + "." + std::to_string(++counter);
    const std::string readyName = "mk.watch.peer.ready." + suffix;
    const std::string quitName = "mk.watch.peer.quit." + suffix;
    readyEvent_.reset(CreateEventA(nullptr, TRUE, FALSE, readyName.c_str()));
    quitEvent_.reset(CreateEventA(nullptr, TRUE, FALSE, quitName.c_str()));
    std::string commandLine(1, '"');
    commandLine.append(TestFolder()).append("watch_peer.exe\" ").append(mode);
    commandLine.append(" ").append(readyName).append(" ").append(quitName);
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info))
        return;
    process_.reset(info.hProcess);
    fw::KernelHandle thread(info.hThread);
    const HANDLE handles[] = {readyEvent_.get(), process_.get()};
    ready_ = WaitForMultipleObjects(2, handles, FALSE, 30000) == WAIT_OBJECT_0;
}

PeerProcess::~PeerProcess() {
    if (process_) (void)Finish();
}

int PeerProcess::Finish() {
    if (process_) SetEvent(quitEvent_.get());
    return AwaitExit();
}

int PeerProcess::AwaitExit() {
    if (!process_) return -1;
    if (WaitForSingleObject(process_.get(), 30000) != WAIT_OBJECT_0) {
        Kill();
        return -1;
    }
    DWORD code = 0;
    GetExitCodeProcess(process_.get(), &code);
    process_.reset();
    return static_cast<int>(code);
}

void PeerProcess::Kill() {
    if (!process_) return;
    TerminateProcess(process_.get(), 99);
    WaitForSingleObject(process_.get(), 30000);
    process_.reset();
}

} // namespace watchtest
