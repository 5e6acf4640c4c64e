// The instance block as another process may leave it: any 3018 bytes. Reading stays
// inside the block and its slots, and what a later start writes reads back the same.
#include "services/InstanceBlock.h"
#include "support/FuzzCheck.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

using namespace zevaver::instance;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace zevaver;
    std::array<uint8_t, BlockSize> bytes{};
    std::memcpy(bytes.data(), data, std::min(size, BlockSize));
    const ConstBlock block(bytes);

    const int32_t count = ReadCount(block);
    FUZZ_CHECK(count >= 0 && count <= MaxParameters);
    const std::vector<std::string> parameters = ReadParameters(block);
    FUZZ_CHECK(parameters.size() == static_cast<size_t>(count));
    for (const std::string& parameter : parameters) {
        FUZZ_CHECK(parameter.size() <= SlotSize);
        FUZZ_CHECK(parameter.find('\0') == std::string::npos);
    }

    // Written over whatever the block held, parameters read back cut to their slot.
    std::array<uint8_t, BlockSize> copy = bytes;
    const Block writable(copy);
    WriteParameters(writable, parameters);
    std::vector<std::string> expected = parameters;
    for (std::string& parameter : expected)
        parameter.resize(std::min(parameter.size(), MaxParameterLength));
    FUZZ_CHECK(ReadParameters(ConstBlock(copy)) == expected);
    const auto receiver = static_cast<uintptr_t>(ReadReceiver(block));
    WriteReceiver(writable, receiver);
    FUZZ_CHECK(ReadReceiver(ConstBlock(copy)) == ReadReceiver(block));

    // The rest of the input, as an executable's path, names the block and its semaphore.
    const std::string path(reinterpret_cast<const char*>(data) + std::min(size, BlockSize),
                           size - std::min(size, BlockSize));
    const std::string name = BlockName(path);
    FUZZ_CHECK(name.find_first_of("\\/") == std::string::npos);
    FUZZ_CHECK(path.size() >= name.size() &&
               path.compare(path.size() - name.size(), name.size(), name) == 0);
    FUZZ_CHECK(SemaphoreName(path) == name + "Sem");
    return 0;
}
