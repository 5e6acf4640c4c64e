#include <windows.h>
extern "C" {
__declspec(dllexport) BOOL WINAPI SetReceiver(HWND) { return TRUE; }
__declspec(dllexport) HWND WINAPI GetReceiver() { return nullptr; }
__declspec(dllexport) void WINAPI StartWatching(int) {}
__declspec(dllexport) void WINAPI StopWatching(int) {}
__declspec(dllexport) BOOL WINAPI StillWatching() { return FALSE; }
__declspec(dllexport) void WINAPI StopAll() {}
}
