#include "mainwindow/OutputPorts.h"

#include "mainwindow/AppCore.h"

#include <utility>

namespace zevaver {

std::string PortLostText(const std::string& portName) {
    return "The MIDI port \"" + portName +
           "\" is no longer available. It is used again as soon as it is back.";
}

OutputPorts::OutputPorts(AppHost& host, MidiOut& midi, PlayingEngine& engine, TSettings& settings,
                         std::function<void()> showView)
    : host_(host), midi_(midi), engine_(engine), showView_(std::move(showView)), choice_(settings) {
}

const PortList& OutputPorts::Read() {
    ports_ = ReadPorts(midi_);
    return ports_;
}

void OutputPorts::Start() {
    Apply(choice_.Start(ports_));
}

void OutputPorts::Select(int32_t id) {
    Apply(choice_.Select(id, ports_));
}

void OutputPorts::Refresh() {
    if (!menu_ || stopped_) return;
    ports_ = ReadPorts(midi_);
    Apply(choice_.Refresh(ports_));
}

// The library's list may lag a little behind the system's message, so it is read again a
// moment later too.
void OutputPorts::DevicesChanged() {
    if (!menu_ || stopped_) return;
    Refresh();
    host_.StartTimer(TimerId, SecondLookMs);
}

void OutputPorts::SecondLook() {
    host_.StopTimer(TimerId);
    Refresh();
}

void OutputPorts::EngineChanged() {
    if (TakeBackPorts() && !stopped_) {
        ports_ = ReadPorts(midi_);
        Apply(choice_.Lost(ports_));
    }
    if (engine_.TakePortWanted() && portId_ == 0 && menu_ && !stopped_) RetryPort();
}

// The menu checks the port that plays; while the chosen one is missing it is listed greyed
// below the others. The boxes come last: other messages are handled while they show.
void OutputPorts::Apply(const PortStep& step) {
    menu_->SetDevices(ports_.Captions(), choice_.Away() ? choice_.ChosenName() : std::string());
    menu_->CheckDevice(choice_.OpenDevice());
    bool failed = false;
    if (step.engine == PortStep::Engine::Open) {
        failed = !OpenDevice(step.device) && step.reportFailure;
    } else if (step.engine == PortStep::Engine::Renumber) {
        engine_.Send(play::RenumberDevice{step.device});
    }
    if (failed) {
        host_.ReportError(ports_.Count() == 0 ? NoPortsText : PortFailedText);
        showView_();
    }
    if (!step.lostPort.empty()) {
        host_.ReportError(PortLostText(step.lostPort));
        showView_();
    }
}

// The port is opened here and handed to the engine; the one it played on comes back first
// and is closed here too.
bool OutputPorts::OpenDevice(int32_t device) {
    if (portId_ != 0) {
        engine_.Send(play::DetachPort{});
        engine_.AwaitApplied();
        portId_ = 0;
        (void)TakeBackPorts();
    }
    MidiOutPort port = OpenOutputPort(midi_, device);
    if (!port.IsOpen()) return false;
    portId_ = ++portIds_;
    engine_.Send(play::AttachPort{port.Release(), device, portId_});
    return true;
}

// A key found no port: the one chosen is tried again, silently.
void OutputPorts::RetryPort() {
    (void)OpenDevice(choice_.OpenDevice());
}

// Closes what the engine gave back. True when that was the port in use, found gone (one
// already replaced when it was lost is no news).
bool OutputPorts::TakeBackPorts() {
    bool lost = false;
    play::ReturnedPort returned;
    while (engine_.TakeReturnedPort(returned)) {
        const MidiOutPort port(midi_, returned.port); // reset and closed as it goes
        if (returned.lost && returned.id == portId_) {
            portId_ = 0;
            lost = true;
        }
    }
    return lost;
}

} // namespace zevaver
