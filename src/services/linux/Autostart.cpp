#include "services/linux/Autostart.h"

#include "framework/linux/Folders.h"
#include "services/DesktopEntry.h"

#include <cerrno>
#include <unistd.h>

namespace zevaver {

std::string AutostartFile() {
    return fw::JoinPath(fw::JoinPath(fw::ConfigHome(), "autostart"),
                        std::string(DesktopEntryName) + ".desktop");
}

bool StartsWithSession() {
    const std::optional<std::string> entry = fw::ReadWholeFile(AutostartFile());
    return entry && AutostartEnabled(*entry);
}

bool SetStartsWithSession(bool on, const std::string& programPath) {
    if (on) return fw::WriteWholeFile(AutostartFile(), AutostartEntry(programPath));
    return unlink(AutostartFile().c_str()) == 0 || errno == ENOENT;
}

} // namespace zevaver
