#include "SharedReceiver.h"

#include "ProjectParts.h"
#include "framework/win/Handles.h"

#include <cstdint>

namespace vivuvav {
namespace {

constexpr char MappingName[] = "vivuvav.receiver.1";

struct Block {
    volatile LONG64 receiver; // a window handle; 0 when none is registered
};

class SharedBlock {
public:
    SharedBlock() noexcept {
        mapping_.reset(CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                          sizeof(Block), MappingName));
        if (mapping_)
            view_.reset(MapViewOfFile(mapping_.get(), FILE_MAP_ALL_ACCESS, 0, 0, sizeof(Block)));
    }
    [[nodiscard]] Block* get() const noexcept { return static_cast<Block*>(view_.get()); }

private:
    fw::KernelHandle mapping_;
    fw::MappedView view_;
};

Block* TheBlock() noexcept {
    static SharedBlock block;
    return block.get();
}

LONG64 ToValue(HWND window) noexcept {
    return static_cast<LONG64>(reinterpret_cast<intptr_t>(window));
}

HWND ToWindow(LONG64 value) noexcept {
    return reinterpret_cast<HWND>(static_cast<intptr_t>(value));
}

} // namespace

bool SetSharedReceiver(HWND window) noexcept {
    Block* block = TheBlock();
    if (!block) return false;
    if (!window) {
        InterlockedExchange64(&block->receiver, 0);
        return true;
    }
    const LONG64 wanted = ToValue(window);
    LONG64 expected = 0;
    for (;;) {
        const LONG64 found = InterlockedCompareExchange64(&block->receiver, wanted, expected);
        if (found == expected || found == wanted) return true;
        // A holder whose process ended without letting go leaves a dead handle behind;
        // it must not lock every later program out.
        if (IsWindow(ToWindow(found))) return false;
        expected = found;
    }
}

HWND SharedReceiver() noexcept {
    Block* block = TheBlock();
    if (!block) return nullptr;
    return ToWindow(InterlockedCompareExchange64(&block->receiver, 0, 0));
}

HWND LocalReceiver::Current() noexcept {
    const HWND receiver = SharedReceiver();
    if (receiver != last_) {
        last_ = receiver;
        DWORD process = 0;
        thread_ = receiver ? GetWindowThreadProcessId(receiver, &process) : 0;
        ours_ = thread_ != 0 && process == GetCurrentProcessId();
    }
    return ours_ ? receiver : nullptr;
}

bool ReceiverOnThisThread() noexcept {
    LocalReceiver receiver;
    return receiver.Current() && receiver.Thread() == GetCurrentThreadId();
}

} // namespace vivuvav
