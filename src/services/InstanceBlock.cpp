#include "services/InstanceBlock.h"

#include "framework/Paths.h"

#include <algorithm>
#include <cstring>

namespace zevaver {

namespace instance {
namespace {

void WriteInt32(Block block, size_t offset, uint32_t value) noexcept {
    for (size_t i = 0; i < 4; ++i) block[offset + i] = static_cast<uint8_t>(value >> (8 * i));
}

uint32_t ReadUInt32(ConstBlock block, size_t offset) noexcept {
    uint32_t value = 0;
    for (size_t i = 0; i < 4; ++i) value |= static_cast<uint32_t>(block[offset + i]) << (8 * i);
    return value;
}

} // namespace

void WriteReceiver(Block block, uintptr_t handle) noexcept {
    WriteInt32(block, ReceiverOffset, static_cast<uint32_t>(handle));
}

intptr_t ReadReceiver(ConstBlock block) noexcept {
    return static_cast<int32_t>(ReadUInt32(block, ReceiverOffset));
}

void WriteParameters(Block block, const std::vector<std::string>& parameters) noexcept {
    const auto count =
        static_cast<int32_t>(std::min(parameters.size(), static_cast<size_t>(MaxParameters)));
    WriteInt32(block, CountOffset, static_cast<uint32_t>(count));
    for (int32_t i = 0; i < count; ++i) {
        const std::string& text = parameters[static_cast<size_t>(i)];
        const size_t length = std::min(text.size(), MaxParameterLength);
        uint8_t* slot = block.data() + FirstSlotOffset + static_cast<size_t>(i) * SlotSize;
        std::memcpy(slot, text.data(), length);
        slot[length] = 0;
    }
}

int32_t ReadCount(ConstBlock block) noexcept {
    const auto count = static_cast<int32_t>(ReadUInt32(block, CountOffset));
    return std::clamp(count, int32_t{0}, MaxParameters);
}

std::vector<std::string> ReadParameters(ConstBlock block) {
    // Another process may change the block while it is read: the count is read once and
    // every read stays inside its slot.
    const int32_t count = ReadCount(block);
    std::vector<std::string> parameters;
    parameters.reserve(static_cast<size_t>(count));
    for (int32_t i = 0; i < count; ++i) {
        const uint8_t* slot = block.data() + FirstSlotOffset + static_cast<size_t>(i) * SlotSize;
        const void* end = std::memchr(slot, 0, SlotSize);
        const size_t length =
            end ? static_cast<size_t>(static_cast<const uint8_t*>(end) - slot) : SlotSize;
        parameters.emplace_back(reinterpret_cast<const char*>(slot), length);
    }
    return parameters;
}

std::string BlockName(std::string_view upperCasePath) {
    std::string name = fw::FileNameOf(upperCasePath);
    std::string shipped(ProgramFileName);
    for (char& c : shipped)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return name == shipped ? std::string(ProgramFileName) : name;
}

std::string SemaphoreName(std::string_view upperCasePath) {
    return BlockName(upperCasePath) + "Sem";
}

} // namespace instance

} // namespace zevaver
