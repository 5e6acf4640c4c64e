#include "mainwindow/win/DeviceWatch.h"

#include <dbt.h>

namespace zevaver {

DeviceWatch::DeviceWatch(HWND window, AppCore& core) noexcept : core_(core) {
    DEV_BROADCAST_DEVICEINTERFACE_A filter{};
    filter.dbcc_size = sizeof filter;
    filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    interfaces_.reset(RegisterDeviceNotificationA(
        window, &filter, DEVICE_NOTIFY_WINDOW_HANDLE | DEVICE_NOTIFY_ALL_INTERFACE_CLASSES));
}

// Which device it was does not matter: the outputs are read again whatever came or went.
bool DeviceWatch::TryHandle(UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
    if (message != WM_DEVICECHANGE) return false;
    switch (wParam) {
    case DBT_DEVNODES_CHANGED:
    case DBT_DEVICEARRIVAL:
    case DBT_DEVICEREMOVECOMPLETE:
        core_.DevicesChanged();
        result = TRUE;
        return true;
    default:
        return false;
    }
}

} // namespace zevaver
