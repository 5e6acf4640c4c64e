// The instance block as a later start writes it and the running copy reads it, including
// blocks that some other process wrote carelessly or on purpose.
#include "services/InstanceBlock.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

namespace zevaver {

using namespace instance;

namespace {

using Bytes = std::array<uint8_t, BlockSize>;
using Strings = std::vector<std::string>;

void PutInt32(Bytes& bytes, size_t offset, uint32_t value) {
    for (size_t i = 0; i < 4; ++i) bytes[offset + i] = static_cast<uint8_t>(value >> (8 * i));
}

Strings RoundTrip(const Strings& parameters, uint8_t filler = 0) {
    Bytes bytes;
    bytes.fill(filler);
    WriteParameters(bytes, parameters);
    return ReadParameters(bytes);
}

TEST(InstanceBlock, IsLaidOutAsTheRunningCopyExpects) {
    EXPECT_EQ(BlockSize, 3018u);
    EXPECT_EQ(NewInstanceMessage, 1324u);

    Bytes bytes{};
    WriteReceiver(bytes, 0x00012345u);
    WriteParameters(bytes, {"/M", "x"});
    const uint8_t head[] = {0x45, 0x23, 0x01, 0x00, 2, 0, 0, 0, '/', 'M', 0};
    EXPECT_TRUE(std::equal(std::begin(head), std::end(head), bytes.begin()));
    EXPECT_EQ(bytes[FirstSlotOffset + SlotSize], 'x');
    EXPECT_EQ(bytes[FirstSlotOffset + SlotSize + 1], 0);
}

TEST(InstanceBlock, KeepsTheLow32BitsOfTheReceiverAndSignExtendsThem) {
    const std::pair<uint64_t, intptr_t> rows[] = {
        {0x0001002Au, 0x0001002A},
        {0x7FFFFFFFu, 0x7FFFFFFF},
        {0xFFFFFFFFFFFF8000u, -0x8000}, // a negative handle as a 64-bit process has it
        {0x00000001'80000000u, static_cast<int32_t>(0x80000000u)},
    };
    for (const auto& [handle, expected] : rows) {
        Bytes bytes{};
        WriteReceiver(bytes, static_cast<uintptr_t>(handle));
        EXPECT_EQ(ReadReceiver(bytes), expected) << std::hex << handle;
    }
}

TEST(InstanceBlock, HandsOverAtMostTenParametersOfAtMost300Characters) {
    const std::string long500(500, 'L');
    Strings twelve;
    for (int i = 1; i <= 12; ++i) twelve.push_back("p" + std::to_string(i));
    const Strings firstTen(twelve.begin(), twelve.begin() + 10);

    const std::pair<Strings, Strings> rows[] = {
        {{}, {}},
        {{"/M"}, {"/M"}},
        {{"", "two words", ""}, {"", "two words", ""}},
        {twelve, firstTen},
        {{long500, "after"}, {std::string(300, 'L'), "after"}},
        {{std::string(300, 'x')}, {std::string(300, 'x')}},
    };
    for (const auto& [written, read] : rows) {
        EXPECT_EQ(RoundTrip(written), read);
        // What an earlier hand-over left behind the terminators does not show.
        EXPECT_EQ(RoundTrip(written, 'G'), read);
    }
}

TEST(InstanceBlock, ReadsACorruptBlockWithinItsBounds) {
    // Count as stored; expected count read; whether the slots carry terminators.
    const std::tuple<uint32_t, int32_t, bool> rows[] = {
        {9999, 10, false},       {0xFFFFFFFBu /* -5 */, 0, false},
        {0x80000000u, 0, false}, {11, 10, true},
        {10, 10, false},         {3, 3, false},
    };
    for (const auto& [stored, count, terminated] : rows) {
        Bytes bytes;
        bytes.fill(terminated ? 0 : 'Z');
        PutInt32(bytes, CountOffset, stored);
        EXPECT_EQ(ReadCount(bytes), count) << stored;
        const Strings read = ReadParameters(bytes);
        ASSERT_EQ(read.size(), static_cast<size_t>(count)) << stored;
        for (const std::string& parameter : read)
            EXPECT_EQ(parameter, terminated ? "" : std::string(SlotSize, 'Z'));
    }
}

// The paths arrive upper-cased; the shipped name alone keeps its own spelling.
TEST(InstanceNames, AreTheExecutablesFileNameAndThatNameWithSem) {
    const std::tuple<std::string, std::string> rows[] = {
        {"C:\\PROGRAM FILES\\MK\\MIDIKEYBOARD.EXE", "MIDIKeyboard.exe"},
        {"Z:/TMP/MK/OTHER NAME.EXE", "OTHER NAME.EXE"},
        {"C:\\A/B\\MIDIKEYBOARD.EXE", "MIDIKeyboard.exe"},
        {"MIDIKEYBOARD.EXE", "MIDIKeyboard.exe"},
        {"C:\\MIDIKEYBOARD.EXE\\MIDIKEYBOARD.EXE.EXE", "MIDIKEYBOARD.EXE.EXE"},
        {"C:\\MK\\MIDIKEYBOARD.EX", "MIDIKEYBOARD.EX"},
    };
    for (const auto& [path, name] : rows) {
        EXPECT_EQ(BlockName(path), name);
        EXPECT_EQ(SemaphoreName(path), name + "Sem");
    }
}

} // namespace

} // namespace zevaver
