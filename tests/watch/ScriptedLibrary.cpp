// A stand-in for the hook library: it watches nothing, answers as the test scripts it and
// writes down every call, so a test can check exactly what the component asked for.
#include <windows.h>

#include <string>

namespace {

std::string calls;
HWND registered = nullptr;
int refusalsLeft = 0;
BOOL stillWatching = FALSE;

void Note(const std::string& call) {
    if (!calls.empty()) calls += ' ';
    calls += call;
}

} // namespace

extern "C" {

// Forgets all calls; the next refusals non-zero SetReceiver calls fail whatever the state.
void WINAPI ScriptReset(int refusals, BOOL still) {
    calls.clear();
    registered = nullptr;
    refusalsLeft = refusals;
    stillWatching = still;
}

void WINAPI ScriptSetStillWatching(BOOL still) {
    stillWatching = still;
}

// Another program's window takes the registration.
void WINAPI ScriptHold(HWND other) {
    registered = other;
}

const char* WINAPI ScriptLog() {
    return calls.c_str();
}

void WINAPI StartWatching(int kind) {
    Note("StartWatching(" + std::to_string(kind) + ")");
}

void WINAPI StopWatching(int kind) {
    Note("StopWatching(" + std::to_string(kind) + ")");
}

BOOL WINAPI StillWatching() {
    Note("StillWatching");
    return stillWatching;
}

void WINAPI StopAll() {
    Note("StopAll");
}

BOOL WINAPI SetReceiver(HWND window) {
    Note(window ? "SetReceiver(window)" : "SetReceiver(0)");
    if (!window) {
        registered = nullptr;
        return TRUE;
    }
    if (refusalsLeft > 0) {
        --refusalsLeft;
        return FALSE;
    }
    if (registered && registered != window) return FALSE;
    registered = window;
    return TRUE;
}

HWND WINAPI GetReceiver() {
    Note("GetReceiver");
    return registered;
}

} // extern "C"
