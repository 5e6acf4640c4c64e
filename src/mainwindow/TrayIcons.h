// The program's icons and its place in the notification area: which icon the tray and the
// window show (playing enabled, disabled, or a blink after a MIDI message), the blink's
// timing, and what minimising to the tray and coming back change. The platform calls
// behind it (the shell's notification area, the window's icons, the window timer, showing
// and hiding the window) go through TrayIconsHost, so these rules run and are tested
// without a platform.
#pragma once

#include <string>
#include <string_view>

namespace zevaver {

// The icon groups in the program's resources: three for the tray, three for the window.
namespace icons {
inline constexpr const char* TrayEnabled = "TRAYICON";
inline constexpr const char* TrayDisabled = "TRAYDISABLED";
inline constexpr const char* TrayBlink = "TRAYBLINK";
inline constexpr const char* WindowEnabled = "MAINICON";
inline constexpr const char* WindowDisabled = "MDISABLED";
inline constexpr const char* WindowBlink = "MBLINK";
} // namespace icons

// The window icon that goes with a tray icon name. Exact, case-sensitive names; any other
// name is its own window name.
[[nodiscard]] std::string WindowIconName(std::string_view trayName);

// What the notification area is asked to do; the values are the ones the shell call takes.
enum class TrayAction { Add = 0, Modify = 1, Delete = 2 };

class TrayIconsHost {
public:
    // Adds, changes or removes the tray icon; for Delete the name is empty. Failures
    // (a modify with no icon there, a delete of nothing) are the shell's business.
    virtual void TrayIcon(const std::string& trayName, TrayAction action) = 0;
    // Makes the named window icon the window's and the taskbar's icon.
    virtual void SetWindowIcon(const std::string& windowName) = 0;
    // Starts or stops the blink timer, which calls TrayIcons::BlinkTimerTimer every
    // BlinkInterval milliseconds while it runs.
    virtual void SetBlinkTimer(bool running) = 0;
    // Shows or hides the window and with it its taskbar button.
    virtual void ShowApplicationWindow(bool shown) = 0;
    // The menu's look in the tray: Skin, Zoom and Vertical hidden, Minimize reading Restore.
    virtual void ShowTrayLook(bool inTray) = 0;
    // The skinned icon box's picture changed: IconBoxBlinking (also while in the tray, so
    // the box never comes back blinking), or the playing switch (only while on screen).
    virtual void IconBoxChanged() = 0;

protected:
    ~TrayIconsHost() = default;
};

class TrayIcons {
public:
    static constexpr int BlinkInterval = 175; // milliseconds

    // minimized and iconName are the program's state (true while in the tray; the idle
    // tray icon, which SetEnabledState picks); they are read and, for minimized, written
    // here.
    TrayIcons(TrayIconsHost& host, bool& minimized, const std::string& iconName) noexcept
        : host_(host), minimized_(minimized), iconName_(iconName) {}

    // The tray icon while in the tray, otherwise the matching window icon.
    void SetIcon(const std::string& trayName);

    // The activity signal, right after every MIDI message: the blink icon for one timer
    // period, counted from the first message after the timer was idle.
    void Blink();
    void BlinkTimerTimer();

    // To the tray and back. These run the steps unconditionally (a start in the tray runs
    // AppEventsMinimize while the flag is already set); Minimize and Restore are the
    // application-level commands that only act when there is something to do.
    void AppEventsMinimize();
    void AppEventsRestore();
    void Minimize();
    void Restore();

    // After SetEnabledState: the icon box and the icons follow the playing switch.
    void EnabledChanged();
    // The shell came back (restarted Explorer) and knows no icons: put ours back.
    void ShellRestarted();
    // The window goes away: remove the tray icon whether or not one was added.
    void WindowDestroyed();

    // What the skinned icon box draws: the blink picture while this is true, otherwise
    // the enabled or the disabled one for the playing switch.
    [[nodiscard]] bool IconBoxBlinking() const noexcept { return iconBoxBlinking_; }
    // The window icon last set ("MAINICON", "MDISABLED", "MBLINK"; empty before the first).
    [[nodiscard]] const std::string& WindowIcon() const noexcept { return windowIcon_; }
    [[nodiscard]] bool BlinkTimerRunning() const noexcept { return timerRunning_; }

private:
    void SetIconBoxBlinking(bool blinking);
    // Adds, changes or removes the tray icon and remembers what it shows now.
    void ShowTrayIcon(const std::string& trayName, TrayAction action);

    TrayIconsHost& host_;
    bool& minimized_;
    const std::string& iconName_;
    std::string windowIcon_;
    std::string trayIcon_; // what the tray shows; empty while there is no tray icon
    bool timerRunning_ = false;
    bool iconBoxBlinking_ = false;
};

} // namespace zevaver
