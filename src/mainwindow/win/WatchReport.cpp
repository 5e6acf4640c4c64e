#include "mainwindow/win/WatchReport.h"

#include "framework/win/Application.h"

namespace zevaver {

void ReportWatchStatus(WatchStatus status) noexcept {
    try {
        const WatchStatusReport report = ReportFor(status);
        for (const std::string& message : report.messages) fw::ReportError(message);
        if (report.endProgram) fw::RequestTermination();
    } catch (...) {
        // Out of memory for a message: ending the program is still due.
        if (status != WatchStatus::Ok && status != WatchStatus::Disabled) fw::RequestTermination();
    }
}

} // namespace zevaver
