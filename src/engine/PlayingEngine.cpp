#include "engine/PlayingEngine.h"

#include <algorithm>
#include <thread>
#include <utility>

namespace zevaver {

namespace {

constexpr auto Relaxed = std::memory_order_relaxed;

} // namespace

// One command's effect on the engine.
struct PlayingEngine::Applier {
    PlayingEngine& e;

    void operator()(const play::SetEnabled& c) const { e.settings_.Enabled = c.value; }
    void operator()(const play::SetBaseOctave& c) const { e.settings_.BaseOctave = c.value; }
    // A pedal held down by the old key comes up first (its release will no longer lift it).
    void operator()(const play::SetPedalKey& c) const {
        e.player_.PedalKeyChanging();
        e.settings_.PedalKey = c.key;
    }
    void operator()(const play::SetShortcuts& c) const { e.settings_.Shortcuts = c.values; }
    void operator()(const play::SetChannel& c) const { e.notes_.SetMIDIChannel(c.channel); }
    void operator()(const play::SetLayout& c) const {
        e.keyNotes_ = c.table;
        ++e.layouts_;
    }
    void operator()(const play::SetTranspose& c) const { e.player_.SetTranspose(c.value); }
    void operator()(const play::TogglePedal&) const { e.player_.TogglePedalLatch(); }
    void operator()(const play::SetDialogOpen& c) const { e.dialogOpen_ = c.open; }
    // Nothing here waits on the driver: the window opens and closes ports.
    void operator()(const play::AttachPort& c) const {
        e.notes_.RenumberDevice(c.device);
        MidiOutPort previous = e.notes_.AttachPort(MidiOutPort(e.midi_, c.port));
        e.ReturnPort(std::move(previous), false);
        e.portId_ = c.id;
    }
    void operator()(const play::DetachPort&) const { e.ReturnPort(e.notes_.DetachPort(), false); }
    void operator()(const play::RenumberDevice& c) const { e.notes_.RenumberDevice(c.device); }
    void operator()(const play::MousePress& c) const { e.notes_.PressNote(c.note, c.velocity); }
    void operator()(const play::MouseRelease& c) const { e.notes_.ReleaseNote(c.note); }
    void operator()(const play::EditKeys& c) const { e.editing_.SetEditing(c.on); }
    void operator()(const play::PickNote& c) const { e.editing_.Pick(c.note); }
    void operator()(const play::SetKeysByPosition& c) const { e.settings_.KeysByPosition = c.on; }
};

PlayingEngine::PlayingEngine(EngineHost& host, MidiOut& midi)
    : host_(host), midi_(midi), notes_(static_cast<const NotesHost&>(*this), midi),
      player_(static_cast<KeyPlayerHost&>(*this), settings_, keyNotes_) {
    // Counted, not shown: the window blinks when it next looks.
    notes_.Blink = [this] { ++blinks_; };
    notes_.OnPortLost = [this](MidiOutPort lost) { ReturnPort(std::move(lost), true); };
    notes_.OnPortWanted = [this] {
        if (!portWanted_.exchange(true, std::memory_order_acq_rel)) WakeWindow();
    };
}

// --- The window's thread. ---

void PlayingEngine::Send(play::Command command) noexcept {
    Queued queued{++sent_, std::move(command)};
    // A full queue means the engine's thread is behind: the window waits for it, never the
    // other way round. The command that found it full waits beside it, where the engine
    // takes it before the next key; anything sent after it waits here until it is taken.
    while (overflowFull_.load(std::memory_order_acquire)) {
        WakeEngine();
        std::this_thread::yield();
    }
    if (!commands_.TryPush(std::move(queued))) {
        overflow_ = std::move(queued);
        overflowFull_.store(true, std::memory_order_release);
    }
    WakeEngine();
}

void PlayingEngine::WakeEngine() noexcept {
    if (engineWoken_.exchange(true, std::memory_order_acq_rel)) return;
    if (!host_.WakeEngine()) engineWoken_.store(false, std::memory_order_release);
}

void PlayingEngine::AwaitApplied() noexcept {
    while (viewApplied_.load(std::memory_order_acquire) != sent_) {
        WakeEngine();
        std::this_thread::yield();
    }
}

void PlayingEngine::SetVelocityPosition(int32_t position) noexcept {
    velocityPosition_.store(position, Relaxed);
}

play::View PlayingEngine::View() noexcept {
    // Cleared before reading: whatever the engine publishes from here on wakes the window
    // again.
    windowWoken_.exchange(false, std::memory_order_acq_rel);
    play::View view;
    // The number first: the fields read after it are at least as new as that command.
    view.applied = viewApplied_.load(std::memory_order_acquire);
    view.enabled = viewEnabled_.load(Relaxed);
    view.baseOctave = viewBaseOctave_.load(Relaxed);
    view.pushChecked = viewPushChecked_.load(Relaxed);
    view.down = TNoteSet::FromWords(viewDownLow_.load(Relaxed), viewDownHigh_.load(Relaxed));
    view.blinks = viewBlinks_.load(Relaxed);
    view.picked = viewPicked_.load(Relaxed);
    return view;
}

bool PlayingEngine::TakeProblem(play::Problem& problem) noexcept {
    return problems_.TryPop(problem);
}

uint32_t PlayingEngine::TakeDroppedProblems() noexcept {
    return droppedProblems_.exchange(0, std::memory_order_acq_rel);
}

bool PlayingEngine::TakeReturnedPort(play::ReturnedPort& port) noexcept {
    return returned_.TryPop(port);
}

bool PlayingEngine::TakePortWanted() noexcept {
    return portWanted_.exchange(false, std::memory_order_acq_rel);
}

bool PlayingEngine::TakeLayoutEdit(play::LayoutEdit& edit) noexcept {
    return edits_.TryPop(edit);
}

// --- The engine's thread. ---

void PlayingEngine::KeyWatched(int32_t wParam, int32_t lParam) {
    ApplyQueued();
    player_.KeyWatchKeyNative(wParam, static_cast<uint32_t>(lParam));
    Publish();
}

void PlayingEngine::ProcessCommands() {
    // Cleared first: a command sent from here on wakes the engine again.
    engineWoken_.store(false, std::memory_order_release);
    ApplyQueued();
    Publish();
}

void PlayingEngine::ReconcileKeys() {
    ApplyQueued();
    player_.ReconcileHeldKeys();
    Publish();
}

// Everything in the queue is older than a command waiting beside it, which the window put
// there only when the queue was full.
void PlayingEngine::ApplyQueued() {
    Queued queued;
    for (;;) {
        while (commands_.TryPop(queued)) Apply(queued);
        if (!overflowFull_.load(std::memory_order_acquire)) return;
        queued = std::move(overflow_);
        overflowFull_.store(false, std::memory_order_release);
        Apply(queued);
    }
}

// Counted before it runs: a command that throws is not applied twice, and whoever waits for
// it is not kept waiting.
void PlayingEngine::Apply(Queued& queued) {
    applied_ = queued.number;
    std::visit(Applier{*this}, queued.command);
}

void PlayingEngine::Report(std::string_view text) noexcept {
    play::Problem problem;
    const size_t length = std::min(text.size(), problem.text.size() - 1);
    std::copy_n(text.data(), length, problem.text.data());
    if (!problems_.TryPush(std::move(problem))) droppedProblems_.fetch_add(1);
    WakeWindow();
}

void PlayingEngine::ReturnPort(MidiOutPort port, bool lost) noexcept {
    if (!port.IsOpen()) return;
    play::ReturnedPort returned{port.Get(), portId_, lost};
    // Never full (see returned_); should it be, the port is closed here rather than leaked.
    if (!returned_.TryPush(std::move(returned))) return;
    (void)port.Release();
    WakeWindow();
}

void PlayingEngine::WakeWindow() noexcept {
    if (windowWoken_.exchange(true, std::memory_order_acq_rel)) return;
    if (!host_.WakeWindow()) windowWoken_.store(false, std::memory_order_release);
}

void PlayingEngine::RetryWakeWindow() noexcept {
    WakeWindow();
}

// A change the window could not learn of would leave the file behind the keys: with no
// room to tell it, the key is not taken and plays as usual.
bool PlayingEngine::TakeKey(int32_t key, int32_t entry) {
    if (edits_.Full()) return false;
    KeyEditing::Outcome outcome = editing_.Take(key, entry, player_.NoteOffset(), keyNotes_);
    if (outcome.edit) {
        outcome.edit->inMainWindow = host_.IsMainWindowActive();
        outcome.edit->layout = layouts_;
        (void)edits_.TryPush(std::move(*outcome.edit));
        WakeWindow();
    }
    return outcome.taken;
}

// Most keystrokes of a session change nothing here (keys typed into other programs); only
// a change wakes the window.
void PlayingEngine::Publish() noexcept {
    play::View now;
    now.applied = applied_;
    now.enabled = settings_.Enabled;
    now.baseOctave = settings_.BaseOctave;
    now.pushChecked = pushChecked_;
    now.down = notes_.DownNotes();
    now.blinks = blinks_;
    now.picked = editing_.Picked();
    if (now == published_) return;
    published_ = now;
    viewEnabled_.store(now.enabled, Relaxed);
    viewBaseOctave_.store(now.baseOctave, Relaxed);
    viewPushChecked_.store(now.pushChecked, Relaxed);
    viewDownLow_.store(now.down.Word(0), Relaxed);
    viewDownHigh_.store(now.down.Word(1), Relaxed);
    viewBlinks_.store(now.blinks, Relaxed);
    viewPicked_.store(now.picked, Relaxed);
    viewApplied_.store(now.applied, std::memory_order_release);
    WakeWindow();
}

// A global shortcut takes effect here at once, so the very next key plays with it; the
// window follows when it reads the view.
void PlayingEngine::ClickCommand(KeyCommand command) {
    const CommandInfo& info = Command(command);
    if (command == KeyCommand::Enabled) {
        settings_.Enabled = !settings_.Enabled;
    } else if (info.handler == &commands::BaseOctave) {
        settings_.BaseOctave = info.tag;
    }
}

int32_t PlayingEngine::VelocityPosition() {
    return velocityPosition_.load(Relaxed);
}

} // namespace zevaver
