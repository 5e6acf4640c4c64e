// Test stand-in for the six MIDI output calls of the platform's multimedia library.
// Loaded beside the program under test instead of the system winmm.dll, it records
// every call, with a QueryPerformanceCounter timestamp, as one line of a log file.
//
// Configured per test through the environment:
//   FAKEMIDI_LOG        file that receives the log lines (appended; none when unset)
//   FAKEMIDI_DEVICES    number of output devices (default 1)
//   FAKEMIDI_NAMES      device names separated by '|' (default "Fake MIDI Out N")
//   FAKEMIDI_OPEN_FAIL  device indexes whose open fails, separated by ',' ("-1" is the
//                       mapper), or "all"
//   FAKEMIDI_SIGNAL     name of an existing event set after each short message is logged,
//                       so a benchmark can wait for notes instead of polling the log
//   FAKEMIDI_PORTS_FILE file naming the output devices, one a line, read again at every
//                       call, so ports can come and go while the program runs (instead of
//                       FAKEMIDI_DEVICES and FAKEMIDI_NAMES; no file: no device). A send to
//                       a port whose name has left the list fails with MIDIERR_NODEVICE,
//                       as one to an unplugged port does.
//
// Log lines: "<qpc ticks> <call> <arguments> -> <result>".
#include <windows.h>
#include <mmsystem.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

std::string Env(const char* name) {
    char buffer[4096];
    DWORD n = GetEnvironmentVariableA(name, buffer, sizeof buffer);
    return (n > 0 && n < sizeof buffer) ? std::string(buffer, n) : std::string();
}

void Log(const char* format, ...) {
    static const std::string path = Env("FAKEMIDI_LOG");
    if (path.empty()) return;
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    char line[512];
    int head = std::snprintf(line, sizeof line, "%lld ", static_cast<long long>(now.QuadPart));
    va_list args;
    va_start(args, format);
    int body = std::vsnprintf(line + head, sizeof line - head - 2, format, args);
    va_end(args);
    int length = head + (body > 0 ? body : 0);
    line[length++] = '\n';
    // One append per line, so lines from several processes never interleave.
    HANDLE file = CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(file, line, static_cast<DWORD>(length), &written, nullptr);
    CloseHandle(file);
}

// The device names as the ports file lists them now; false when there is no such file.
bool PortsFromFile(std::vector<std::string>& names) {
    static const std::string path = Env("FAKEMIDI_PORTS_FILE");
    if (path.empty()) return false;
    names.clear();
    FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return true;
    char line[256];
    while (std::fgets(line, sizeof line, file)) {
        std::string name = line;
        while (!name.empty() && (name.back() == '\n' || name.back() == '\r')) name.pop_back();
        if (!name.empty()) names.push_back(name);
    }
    std::fclose(file);
    return true;
}

int DeviceCount() {
    std::vector<std::string> names;
    if (PortsFromFile(names)) return static_cast<int>(names.size());
    std::string text = Env("FAKEMIDI_DEVICES");
    return text.empty() ? 1 : std::atoi(text.c_str());
}

std::string DeviceName(int id) {
    if (id == -1) return "Microsoft MIDI Mapper";
    std::vector<std::string> listed;
    if (PortsFromFile(listed))
        return id >= 0 && id < static_cast<int>(listed.size()) ? listed[id] : std::string();
    std::string names = Env("FAKEMIDI_NAMES");
    for (int i = 0; !names.empty(); ++i) {
        size_t bar = names.find('|');
        if (i == id) return names.substr(0, bar);
        if (bar == std::string::npos) break;
        names.erase(0, bar + 1);
    }
    return "Fake MIDI Out " + std::to_string(id);
}

bool OpenFails(int id) {
    std::string list = Env("FAKEMIDI_OPEN_FAIL");
    if (list == "all") return true;
    std::string wanted = std::to_string(id);
    size_t start = 0;
    while (start <= list.size()) {
        size_t comma = list.find(',', start);
        if (comma == std::string::npos) comma = list.size();
        if (list.compare(start, comma - start, wanted) == 0) return true;
        start = comma + 1;
    }
    return false;
}

std::atomic<UINT_PTR> nextHandle{0x1001};

// The name of the port behind each open handle, for telling whether it is still there.
SRWLOCK openLock = SRWLOCK_INIT;
std::map<UINT_PTR, std::string> openPorts;

bool StillThere(HMIDIOUT handle) {
    std::vector<std::string> names;
    if (!PortsFromFile(names)) return true;
    AcquireSRWLockShared(&openLock);
    const auto port = openPorts.find(reinterpret_cast<UINT_PTR>(handle));
    const bool there = port != openPorts.end() &&
                       (port->second == "Microsoft MIDI Mapper" ||
                        std::find(names.begin(), names.end(), port->second) != names.end());
    ReleaseSRWLockShared(&openLock);
    return there;
}

} // namespace

extern "C" {

UINT WINAPI midiOutGetNumDevs() {
    int count = DeviceCount();
    Log("midiOutGetNumDevs -> %d", count);
    return static_cast<UINT>(count);
}

MMRESULT WINAPI midiOutGetDevCapsA(UINT_PTR id, LPMIDIOUTCAPSA caps, UINT size) {
    int device = static_cast<int>(static_cast<INT_PTR>(id));
    if (static_cast<UINT>(device) == 0xFFFFFFFFu) device = -1;
    MMRESULT result = MMSYSERR_NOERROR;
    if (caps == nullptr || size < sizeof(MIDIOUTCAPSA)) {
        result = MMSYSERR_INVALPARAM;
    } else if (device != -1 && (device < 0 || device >= DeviceCount())) {
        result = MMSYSERR_BADDEVICEID;
    } else {
        std::memset(caps, 0, sizeof *caps);
        caps->wMid = 1;
        caps->wTechnology = MOD_MIDIPORT;
        std::strncpy(caps->szPname, DeviceName(device).c_str(), MAXPNAMELEN - 1);
    }
    Log("midiOutGetDevCapsA dev=%d size=%u -> %u", device, size, result);
    return result;
}

MMRESULT WINAPI midiOutOpen(LPHMIDIOUT handle, UINT id, DWORD_PTR callback, DWORD_PTR instance,
                            DWORD flags) {
    int device = static_cast<int>(id);
    MMRESULT result = MMSYSERR_NOERROR;
    if (device != -1 && (device < 0 || device >= DeviceCount()))
        result = MMSYSERR_BADDEVICEID;
    else if (OpenFails(device))
        result = MMSYSERR_ALLOCATED;
    UINT_PTR value = 0;
    if (result == MMSYSERR_NOERROR) {
        value = nextHandle++;
        AcquireSRWLockExclusive(&openLock);
        openPorts[value] = DeviceName(device);
        ReleaseSRWLockExclusive(&openLock);
    }
    if (handle) *handle = reinterpret_cast<HMIDIOUT>(value);
    Log("midiOutOpen dev=%d callback=%llu instance=%llu flags=%lu -> %u h=0x%llx", device,
        static_cast<unsigned long long>(callback), static_cast<unsigned long long>(instance),
        static_cast<unsigned long>(flags), result, static_cast<unsigned long long>(value));
    return result;
}

MMRESULT WINAPI midiOutShortMsg(HMIDIOUT handle, DWORD message) {
    const MMRESULT result = StillThere(handle) ? MMSYSERR_NOERROR : MIDIERR_NODEVICE;
    Log("midiOutShortMsg h=0x%llx msg=0x%08lX -> %u",
        static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(handle)),
        static_cast<unsigned long>(message), result);
    // After the line (whose time is taken first), so the signal costs the measured path
    // nothing; opened once, the same cost for every program measured.
    static const HANDLE signal = [] {
        const std::string name = Env("FAKEMIDI_SIGNAL");
        return name.empty() ? nullptr : OpenEventA(EVENT_MODIFY_STATE, FALSE, name.c_str());
    }();
    if (signal) SetEvent(signal);
    return result;
}

MMRESULT WINAPI midiOutReset(HMIDIOUT handle) {
    Log("midiOutReset h=0x%llx",
        static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(handle)));
    return MMSYSERR_NOERROR;
}

MMRESULT WINAPI midiOutClose(HMIDIOUT handle) {
    AcquireSRWLockExclusive(&openLock);
    openPorts.erase(reinterpret_cast<UINT_PTR>(handle));
    ReleaseSRWLockExclusive(&openLock);
    Log("midiOutClose h=0x%llx",
        static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(handle)));
    return MMSYSERR_NOERROR;
}

} // extern "C"
