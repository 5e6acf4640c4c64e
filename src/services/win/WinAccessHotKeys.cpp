#include "services/win/WinAccessHotKeys.h"

#include <windows.h>

#include <atomic>
#include <exception>

namespace zevaver {

namespace {

// Reads a feature's record, lets `change` alter it, and writes it back when it returns true.
template <typename Record, typename Change>
bool WithRecord(UINT get, UINT set, Change&& change) noexcept {
    Record record{};
    record.cbSize = sizeof record;
    if (!SystemParametersInfoW(get, sizeof record, &record, 0)) return false;
    if (!change(record.dwFlags)) return true;
    // fWinIni 0: for this session only, never written to the user's profile.
    return SystemParametersInfoW(set, sizeof record, &record, 0) != FALSE;
}

template <typename Change> bool WithFlags(AccessFeature feature, Change&& change) noexcept {
    switch (feature) {
    case AccessFeature::StickyKeys:
        return WithRecord<STICKYKEYS>(SPI_GETSTICKYKEYS, SPI_SETSTICKYKEYS, change);
    case AccessFeature::FilterKeys:
        return WithRecord<FILTERKEYS>(SPI_GETFILTERKEYS, SPI_SETFILTERKEYS, change);
    case AccessFeature::ToggleKeys:
        return WithRecord<TOGGLEKEYS>(SPI_GETTOGGLEKEYS, SPI_SETTOGGLEKEYS, change);
    }
    return false;
}

// The hot keys to give back when the process ends abnormally.
std::atomic<AccessHotKeys*> crashRestore{nullptr};
LPTOP_LEVEL_EXCEPTION_FILTER previousFilter = nullptr;
std::terminate_handler previousTerminate = nullptr;

void RestoreOnCrash() noexcept {
    if (AccessHotKeys* hotKeys = crashRestore.exchange(nullptr)) hotKeys->RestoreSystem();
}

LONG WINAPI UnhandledException(EXCEPTION_POINTERS* exception) noexcept {
    RestoreOnCrash();
    return previousFilter ? previousFilter(exception) : EXCEPTION_CONTINUE_SEARCH;
}

[[noreturn]] void Terminating() noexcept {
    RestoreOnCrash();
    if (previousTerminate) previousTerminate();
    std::abort();
}

} // namespace

std::optional<uint32_t> WinAccessSystem::Flags(AccessFeature feature) noexcept {
    uint32_t flags = 0;
    const bool read = WithFlags(feature, [&flags](DWORD& now) {
        flags = now;
        return false;
    });
    return read ? std::optional<uint32_t>(flags) : std::nullopt;
}

bool WinAccessSystem::SetFlags(AccessFeature feature, uint32_t flags) noexcept {
    return WithFlags(feature, [flags](DWORD& now) {
        now = flags;
        return true;
    });
}

AccessHotKeysGuard::AccessHotKeysGuard(SettingsRegistry& registry, std::string keyPath,
                                       AccessSystem* system)
    : ownSystem_(system ? nullptr : std::make_unique<WinAccessSystem>()),
      record_(registry, std::move(keyPath)), hotKeys_(system ? *system : *ownSystem_, record_) {}

AccessHotKeysGuard::~AccessHotKeysGuard() {
    Stop();
}

void AccessHotKeysGuard::Start() {
    if (started_) return;
    started_ = true;
    hotKeys_.SwitchOff();
    if (!hotKeys_.AnyOff()) return;
    crashRestore.store(&hotKeys_);
    previousFilter = SetUnhandledExceptionFilter(&UnhandledException);
    previousTerminate = std::set_terminate(&Terminating);
}

void AccessHotKeysGuard::Stop() {
    if (!started_) return;
    started_ = false;
    if (crashRestore.exchange(nullptr) == &hotKeys_) {
        SetUnhandledExceptionFilter(previousFilter);
        std::set_terminate(previousTerminate);
    }
    hotKeys_.Restore();
}

} // namespace zevaver
