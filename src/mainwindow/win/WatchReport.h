// The program's answer to how opening the input watch went: the messages as error boxes
// (owned by the main window once there is one), then the request to end when it is due.
#pragma once

#include "services/WatchStatus.h"

namespace zevaver {

void ReportWatchStatus(WatchStatus status) noexcept;

} // namespace zevaver
