#include "mainwindow/AppState.h"

#include <cctype>

namespace zevaver {

std::string_view IdleIconName(bool enabled) noexcept {
    return enabled ? icons::TrayEnabled : icons::TrayDisabled;
}

bool StartsMinimized(int argc, const char* const* argv) {
    if (argc < 2 || argv[1] == nullptr) return false;
    std::string first = argv[1];
    for (char& c : first) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return first == "/M";
}

} // namespace zevaver
