#include "mainwindow/AppState.h"

#include "engine/Settings.h"

#include <cctype>

bool Minimized = false;
std::string IconName = "TRAYICON";

void SetEnabledState(bool value) {
    Settings.Enabled = value;
    IconName = value ? "TRAYICON" : "TRAYDISABLED";
}

bool StartsMinimized(int argc, const char* const* argv) {
    if (argc < 2 || argv[1] == nullptr) return false;
    std::string first = argv[1];
    for (char& c : first) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return first == "/M";
}
