// What opening the input watch can come to, and what the program makes of it: the watch
// only returns the status; the program shows the messages and ends when told here.
#pragma once

#include <string>
#include <vector>

namespace zevaver {

enum class WatchStatus {
    Ok,
    Disabled,       // watching is off (an earlier failure, or no receiver window)
    NotFound,       // no hook library beside the program
    NotValid,       // the library lacks one of its exports
    InUse,          // another program held the library; it has been taken over
    CannotOverride, // another program holds the library and could not be replaced
};

struct WatchStatusReport {
    std::vector<std::string> messages; // shown one after another, as errors
    bool endProgram = false;
};

[[nodiscard]] WatchStatusReport ReportFor(WatchStatus status);

} // namespace zevaver
