// The accessibility hot keys on Windows: the features' flags through SystemParametersInfo,
// changed for the session only, and given back at exit, at the end of the session and,
// when the process crashes, from its last moments (an unhandled exception, a terminate).
//
// Wine keeps none of these values: it reports every feature and hot key off, and refuses
// to change them, so there the program finds nothing to switch off.
#pragma once

#include "services/AccessHotKeys.h"

#include <memory>
#include <string>

namespace zevaver {

// The features' flags as the system keeps them.
class WinAccessSystem final : public AccessSystem {
public:
    [[nodiscard]] std::optional<uint32_t> Flags(AccessFeature feature) noexcept override;
    [[nodiscard]] bool SetFlags(AccessFeature feature, uint32_t flags) noexcept override;
};

// The hot keys off for as long as it is started: the record in the settings key, the
// system's flags (the platform's, unless given), the crash handlers.
class AccessHotKeysGuard {
public:
    AccessHotKeysGuard(SettingsRegistry& registry, std::string keyPath,
                       AccessSystem* system = nullptr);
    ~AccessHotKeysGuard();
    AccessHotKeysGuard(const AccessHotKeysGuard&) = delete;
    AccessHotKeysGuard& operator=(const AccessHotKeysGuard&) = delete;

    void Start();
    // Gives everything back; later calls do nothing.
    void Stop();

private:
    std::unique_ptr<WinAccessSystem> ownSystem_;
    RegistryAccessRecord record_;
    AccessHotKeys hotKeys_;
    bool started_ = false;
};

} // namespace zevaver
