// A stand-in for the hook library: it watches nothing, answers as the test scripts it and
// writes down every call, so a test can check exactly what the component asked for.
#include <windows.h>

#include <string>

namespace {

std::string calls;
HWND registered = nullptr;
int refusalsLeft = 0;
BOOL stillWatching = TRUE;

void Note(const std::string& call) {
    calls += (calls.empty() ? "" : " ") + call;
}

} // namespace

extern "C" {

// Forgets all calls; the next `refusals` SetReceiver calls with a window fail regardless.
void WINAPI ScriptReset(int refusals) {
    calls.clear();
    registered = nullptr;
    refusalsLeft = refusals;
    stillWatching = TRUE;
}

// What StillWatching answers, and who holds the registration now.
void WINAPI ScriptAnswer(BOOL still, HWND holder) {
    stillWatching = still;
    registered = holder;
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
    if (window && refusalsLeft > 0) {
        --refusalsLeft;
        return FALSE;
    }
    if (window && registered && registered != window) return FALSE;
    registered = window;
    return TRUE;
}

HWND WINAPI GetReceiver() {
    Note("GetReceiver");
    return registered;
}

} // extern "C"
