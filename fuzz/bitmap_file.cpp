// Skin picture files as they may lie in a skin folder: any bytes. Only a file whose every
// row of pixels lies inside it passes on to the platform's loader.
#include "skin/BitmapFile.h"
#include "support/FuzzCheck.h"

#include <cstdint>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace zevaver;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    if (!IsWholeBitmapFile(bytes)) return 0;
    FUZZ_CHECK(size >= 26 && bytes.substr(0, 2) == "BM");
    // What follows the pixels never matters: a whole picture stays whole with bytes added.
    FUZZ_CHECK(IsWholeBitmapFile(std::string(bytes) + '\0'));
    return 0;
}
