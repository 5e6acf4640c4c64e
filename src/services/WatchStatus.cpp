#include "services/WatchStatus.h"

namespace zevaver {

namespace {

constexpr char NotFoundText[] = "Library vivuvav.dll not found.";
constexpr char NotValidText[] = "Library vivuvav.dll is not valid.";
constexpr char InUseText[] = "Another application already uses vivuvav.dll.\r\n"
                             "Try restarting the program.";
constexpr char CannotOverrideText[] = "Unable to override.\r\nSystem watching is disabled.";

} // namespace

WatchStatusReport ReportFor(WatchStatus status) {
    switch (status) {
    case WatchStatus::NotFound:
        return {{NotFoundText}, true};
    case WatchStatus::NotValid:
        return {{NotValidText}, true};
    case WatchStatus::InUse:
        return {{InUseText}, true};
    case WatchStatus::CannotOverride:
        return {{InUseText, CannotOverrideText}, true};
    case WatchStatus::Ok:
    case WatchStatus::Disabled:
        break;
    }
    return {};
}

} // namespace zevaver
