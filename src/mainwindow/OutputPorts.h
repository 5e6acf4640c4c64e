// The MIDI outputs as the window's thread sees them: the list the Device submenu shows, the
// user's choice followed through the list's changes (PortChoice), and the port itself,
// opened and closed here and lent to the engine in between. Opening a port may wait on its
// driver, which must hold up nothing but the window, never the keys.
#pragma once

#include "engine/PlayingEngine.h"
#include "engine/PortChoice.h"
#include "engine/Settings.h"
#include "keyboard/MidiOut.h"
#include "mainwindow/MainMenu.h"

#include <cstdint>
#include <functional>
#include <string>

namespace zevaver {

class AppHost;

// The message shown when the chosen MIDI port fails to open.
inline constexpr const char* PortFailedText = "Selected MIDI port could't be opened.";
// The message shown when there is no MIDI output at all.
inline constexpr const char* NoPortsText =
    "There is no MIDI output on this computer. Nothing plays until one is connected.";
// The message shown, once, when the MIDI port in use goes away.
[[nodiscard]] std::string PortLostText(const std::string& portName);

class OutputPorts {
public:
    // A second look at the outputs a moment after a device change.
    static constexpr int TimerId = 2;
    static constexpr uint32_t SecondLookMs = 1000;

    // showView: the engine's news shown again after a box, whose own message loop may have
    // shown a newer view meanwhile.
    OutputPorts(AppHost& host, MidiOut& midi, PlayingEngine& engine, TSettings& settings,
                std::function<void()> showView);

    // Reads the outputs for the menu about to be made to list them.
    const PortList& Read();
    // The menu that lists the outputs; nothing is looked at again before it exists.
    void ListIn(MainMenu& menu) noexcept { menu_ = &menu; }
    // The chosen port opened at start.
    void Start();
    // The window is going: no port is looked for or opened any more.
    void Stop() noexcept { stopped_ = true; }

    // The user's choice of a device, by its id in the Device submenu.
    void Select(int32_t id);
    // Reads the outputs again: the Device submenu shows them, and the chosen port is
    // followed, given up for the stand-in or taken again.
    void Refresh();
    // The system says a device came or went.
    void DevicesChanged();
    // The second look's timer has come.
    void SecondLook();
    // The engine's news: ports it gave back are closed, a lost one is replaced, and one is
    // opened again when a key found none.
    void EngineChanged();

private:
    void Apply(const PortStep& step);
    [[nodiscard]] bool OpenDevice(int32_t device);
    void RetryPort();
    [[nodiscard]] bool TakeBackPorts();

    AppHost& host_;
    MidiOut& midi_;
    PlayingEngine& engine_;
    std::function<void()> showView_;
    MainMenu* menu_ = nullptr;
    PortList ports_;
    PortChoice choice_;
    // The port the engine plays on (0: none), as attached; ids count up from 1.
    uint32_t portId_ = 0;
    uint32_t portIds_ = 0;
    bool stopped_ = false;
};

} // namespace zevaver
