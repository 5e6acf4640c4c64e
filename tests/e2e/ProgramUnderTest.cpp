#include "ProgramUnderTest.h"

#include "framework/win/WidePath.h"
#include "mainwindow/win/KeysForm.h"

#include <dbt.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

namespace zevaver {

namespace fs = std::filesystem;

namespace e2e {
namespace {

std::string Env(const char* name) {
    char buffer[MAX_PATH * 2];
    DWORD n = GetEnvironmentVariableA(name, buffer, sizeof buffer);
    return (n > 0 && n < sizeof buffer) ? std::string(buffer, n) : std::string();
}

// A dialog-class window (a message box) counts only once it is shown.
HWND FindTopLevel(DWORD processId, const char* className) {
    return FindProcessWindow(processId, [className](HWND window) {
        const std::string name = ClassName(window);
        return name == className && (name != "#32770" || IsWindowVisible(window));
    });
}

void SendOne(INPUT input) {
    SendInput(1, &input, sizeof input);
}

} // namespace

ProgramUnderTest::ProgramUnderTest(const std::string& testName)
    : ProgramUnderTest(testName, std::wstring()) {}

ProgramUnderTest::ProgramUnderTest(const std::string& testName, const std::wstring& subfolder)
    : name_(testName) {
    fs::path stage = Env("MK_STAGE_DIR");
    testFolder_ = fs::temp_directory_path() / "mk-e2e" / testName;
    std::error_code ignored;
    fs::remove_all(testFolder_, ignored);
    programFolder_ = subfolder.empty() ? testFolder_ : testFolder_ / subfolder;
    fs::create_directories(programFolder_);
    fs::copy(stage, programFolder_,
             fs::copy_options::recursive | fs::copy_options::overwrite_existing);
    folder_ = subfolder.empty() ? programFolder_.string() : std::string();
    log_ = (testFolder_ / "midi.log").string();
    portsFile_ = testFolder_ / "ports.txt";
}

ProgramUnderTest::ProgramUnderTest(const std::string& testName, const std::string& installedFolder)
    : name_(testName), folder_(installedFolder), programFolder_(installedFolder) {
    testFolder_ = fs::temp_directory_path() / "mk-e2e" / testName;
    std::error_code ignored;
    fs::remove_all(testFolder_, ignored);
    fs::create_directories(testFolder_);
    log_ = (testFolder_ / "midi.log").string();
    portsFile_ = testFolder_ / "ports.txt";
}

void ProgramUnderTest::WithoutSkins() const {
    std::error_code ignored;
    fs::remove_all(programFolder_ / "Skins", ignored);
}

ProgramUnderTest::~ProgramUnderTest() {
    if (Running()) {
        Close();
        if (Running()) TerminateProcess(process_.get(), 99);
    }
}

bool ProgramUnderTest::Start(const MidiSetup& midi, const std::string& arguments,
                             const fs::path& startIn) {
    SetEnvironmentVariableA("FAKEMIDI_LOG", log_.c_str());
    SetEnvironmentVariableA("FAKEMIDI_DEVICES", std::to_string(midi.devices).c_str());
    SetEnvironmentVariableA("FAKEMIDI_NAMES", midi.names.empty() ? nullptr : midi.names.c_str());
    SetEnvironmentVariableA("FAKEMIDI_OPEN_FAIL",
                            midi.openFail.empty() ? nullptr : midi.openFail.c_str());
    if (midi.ports) SetPorts(*midi.ports);
    SetEnvironmentVariableA("FAKEMIDI_PORTS_FILE",
                            midi.ports ? portsFile_.string().c_str() : nullptr);
    SetEnvironmentVariableA("WINEDLLOVERRIDES", "winmm=n,b;mscoree,mshtml=");
    SetEnvironmentVariableW(L"APPDATA", (testFolder_ / "AppData").wstring().c_str());

    // Wide throughout: the program's folder may lie outside the ANSI code page.
    const std::wstring exe = (programFolder_ / "MIDIKeyboard.exe").wstring();
    std::wstring commandLine = L"\"" + exe + L"\"";
    if (!arguments.empty()) commandLine += L" " + fs::path(arguments).wstring();
    const std::wstring currentFolder = (startIn.empty() ? programFolder_ : startIn).wstring();
    STARTUPINFOW startup{sizeof startup};
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        currentFolder.c_str(), &startup, &info))
        return false;
    process_.reset(info.hProcess);
    CloseHandle(info.hThread);
    processId_ = info.dwProcessId;

    for (int i = 0; i < 300 && Running(); ++i) {
        if (HWND found = FindTopLevel(processId_, TKeysForm::ClassName)) {
            window_ = found;
            WaitForInputIdle(process_.get(), 10000);
            Settle(300);
            return true;
        }
        Sleep(50);
    }
    return false;
}

int ProgramUnderTest::Close() {
    if (!process_) return -1;
    if (window_ && IsWindow(window_)) PostMessageA(window_, WM_CLOSE, 0, 0);
    WaitForSingleObject(process_.get(), 15000);
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(process_.get(), &code);
    window_ = nullptr;
    return static_cast<int>(code);
}

bool ProgramUnderTest::Running() const {
    return process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT;
}

void ProgramUnderTest::SetPorts(const std::vector<std::string>& names) const {
    const fs::path written = fs::path(portsFile_).concat(".new");
    {
        std::ofstream out(written, std::ios::binary | std::ios::trunc);
        for (const std::string& name : names) out << name << "\r\n";
    }
    MoveFileExW(written.wstring().c_str(), portsFile_.wstring().c_str(), MOVEFILE_REPLACE_EXISTING);
}

void ProgramUnderTest::DevicesChanged() const {
    SendMessageTimeoutA(window_, WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, 0, SMTO_ABORTIFHUNG, 5000,
                        nullptr);
}

std::vector<MidiCall> ProgramUnderTest::MidiCalls() const {
    std::vector<MidiCall> calls;
    std::ifstream in(log_);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        MidiCall call;
        fields >> call.time >> call.name;
        call.text = line.substr(std::min(line.size(), line.find(' ') + 1));
        std::string field;
        while (fields >> field) {
            if (field.rfind("msg=", 0) == 0)
                call.message = std::stoul(field.substr(4), nullptr, 16);
            if (field.rfind("dev=", 0) == 0) call.device = std::stoi(field.substr(4));
        }
        calls.push_back(call);
    }
    return calls;
}

std::vector<uint32_t> ProgramUnderTest::ShortMessages() const {
    std::vector<uint32_t> messages;
    for (const MidiCall& call : MidiCalls())
        if (call.name == "midiOutShortMsg") messages.push_back(call.message);
    return messages;
}

bool ProgramUnderTest::WaitForShortMessages(size_t count, int timeoutMs) const {
    for (int waited = 0; waited <= timeoutMs; waited += 20) {
        if (ShortMessages().size() >= count) return true;
        Sleep(20);
    }
    return false;
}

std::string ProgramUnderTest::WaitForMessageBox(int timeoutMs, std::string* caption) const {
    for (int waited = 0; waited <= timeoutMs; waited += 50) {
        if (HWND box = FindTopLevel(processId_, "#32770")) {
            Sleep(100); // let it finish drawing its text
            if (caption) *caption = WindowTitle(box);
            return BoxText(box);
        }
        Sleep(50);
    }
    return {};
}

void ProgramUnderTest::DismissMessageBox() const {
    if (HWND box = FindTopLevel(processId_, "#32770")) {
        PostMessageA(box, WM_COMMAND, IDOK, 0);
        for (int i = 0; i < 100 && IsWindow(box); ++i) Sleep(20);
    }
}

void ProgramUnderTest::ClearMidiLog() const {
    DeleteFileA(log_.c_str());
}

void ProgramUnderTest::Settle(int milliseconds) const {
    // Let our own queue run too: input we inject passes through it.
    MSG message;
    for (int waited = 0; waited < milliseconds; waited += 10) {
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        Sleep(10);
    }
}

HWND FindProcessWindow(DWORD processId, const std::function<bool(HWND)>& matches) {
    struct Search {
        DWORD processId;
        const std::function<bool(HWND)>& matches;
        HWND found;
    } search{processId, matches, nullptr};
    EnumWindows(
        [](HWND window, LPARAM lParam) -> BOOL {
            auto* search = reinterpret_cast<Search*>(lParam);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner != search->processId || !search->matches(window)) return TRUE;
            search->found = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND VisibleWindow(DWORD processId, const char* className) {
    return FindProcessWindow(processId, [className](HWND window) {
        return IsWindowVisible(window) && ClassName(window) == className;
    });
}

HWND WatchReceiver(DWORD processId) {
    for (HWND window = nullptr;
         (window = FindWindowExA(HWND_MESSAGE, window, "MKWatchReceiver", nullptr));) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == processId) return window;
    }
    return nullptr;
}

std::string ClassName(HWND window) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

std::string WindowTitle(HWND window) {
    char title[256] = {};
    GetWindowTextA(window, title, sizeof title);
    return title;
}

std::string BoxText(HWND box) {
    std::string longest;
    EnumChildWindows(
        box,
        [](HWND child, LPARAM lParam) -> BOOL {
            if (_stricmp(ClassName(child).c_str(), "Static") != 0) return TRUE;
            char text[1024] = {};
            GetWindowTextA(child, text, sizeof text);
            auto* longest = reinterpret_cast<std::string*>(lParam);
            if (std::string(text).size() > longest->size()) *longest = text;
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&longest));
    return longest;
}

void MouseMoveTo(int screenX, int screenY) {
    SetCursorPos(screenX, screenY);
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = screenX * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = screenY * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendOne(input);
}

static void SendMouseButton(DWORD flags) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    SendOne(input);
}

void MouseLeftDown() {
    SendMouseButton(MOUSEEVENTF_LEFTDOWN);
}
void MouseLeftUp() {
    SendMouseButton(MOUSEEVENTF_LEFTUP);
}

void MouseRightClick() {
    SendMouseButton(MOUSEEVENTF_RIGHTDOWN);
    SendMouseButton(MOUSEEVENTF_RIGHTUP);
}

static void SendKey(WORD virtualKey, WORD scanCode, bool extended, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = virtualKey;
    input.ki.wScan = scanCode ? scanCode : static_cast<WORD>(MapVirtualKeyA(virtualKey, 0));
    input.ki.dwFlags = (extended ? KEYEVENTF_EXTENDEDKEY : 0) | (up ? KEYEVENTF_KEYUP : 0);
    SendOne(input);
}

void KeyDown(WORD virtualKey, WORD scanCode, bool extended) {
    SendKey(virtualKey, scanCode, extended, false);
}

void KeyUp(WORD virtualKey, WORD scanCode, bool extended) {
    SendKey(virtualKey, scanCode, extended, true);
}

COLORREF ScreenPixel(int screenX, int screenY) {
    fw::WindowDc screen(nullptr);
    return GetPixel(screen.get(), screenX, screenY);
}

POINT ClientOrigin(HWND window) {
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    return origin;
}

void ForgetSettings() {
    RegDeleteTreeA(HKEY_CURRENT_USER, SettingsKey.c_str());
}

void StoreSetting(const std::string& name, const std::string& value) {
    RegSetKeyValueA(HKEY_CURRENT_USER, SettingsKey.c_str(), name.c_str(), REG_SZ, value.c_str(),
                    static_cast<DWORD>(value.size() + 1));
}

std::string StoredSetting(const std::string& name) {
    wchar_t buffer[512] = {};
    DWORD size = sizeof buffer;
    if (RegGetValueW(HKEY_CURRENT_USER, fw::Utf8ToWide(SettingsKey).c_str(),
                     fw::Utf8ToWide(name).c_str(), RRF_RT_REG_SZ, nullptr, buffer,
                     &size) != ERROR_SUCCESS)
        return "<missing>";
    return fw::WideToUtf8(buffer);
}

ForeignWindow::ForeignWindow() {
    window_ = CreateWindowExA(0, "STATIC", "Another application", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                              20, 20, 300, 200, nullptr, nullptr, nullptr, nullptr);
    Activate();
}

ForeignWindow::~ForeignWindow() {
    if (window_) DestroyWindow(window_);
}

void ForeignWindow::Activate() const {
    SetForegroundWindow(window_);
    SetActiveWindow(window_);
    SetFocus(window_);
}

void Tap(WORD virtualKey) {
    KeyDown(virtualKey);
    KeyUp(virtualKey);
}

StoppedThread::StoppedThread(HWND window) {
    const DWORD threadId = GetWindowThreadProcessId(window, nullptr);
    thread_.reset(OpenThread(THREAD_SUSPEND_RESUME, FALSE, threadId));
    if (thread_ && SuspendThread(thread_.get()) == static_cast<DWORD>(-1)) thread_.reset();
}

void StoppedThread::Resume() {
    if (thread_) ResumeThread(thread_.get());
    thread_.reset();
}

long long Ticks() {
    LARGE_INTEGER now{};
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

double TicksToMs(long long ticks) {
    LARGE_INTEGER frequency{};
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(ticks) / static_cast<double>(frequency.QuadPart);
}

bool WaitFor(const std::function<bool()>& condition, int timeoutMs) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        if (condition()) return true;
        if (std::chrono::steady_clock::now() > end) return false;
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
        Sleep(20);
    }
}

RECT Bounds(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return r;
}

} // namespace e2e

} // namespace zevaver
