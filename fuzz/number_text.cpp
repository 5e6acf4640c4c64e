// Numbers and flags as stored text: any bytes, read strictly (settings), leniently
// (layout files) and as "Yes"/"No"; every 32-bit number survives being written and read.
#include "engine/NumberText.h"
#include "support/FuzzCheck.h"

#include <cstdint>
#include <cstring>
#include <limits>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace zevaver;
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    const auto whole = ParseWholeInteger(text);
    FUZZ_CHECK(ReadSettingsNumber(text) == whole.value_or(0));
    const int64_t leading = ReadLeadingNumber(text);
    FUZZ_CHECK(leading >= -int64_t{0xFFFFFFFF} && leading <= int64_t{0xFFFFFFFF});
    // A text that is one whole number reads as that number however it is read.
    if (whole) FUZZ_CHECK(leading == *whole);
    // Text after the number is ignored, and the sign then no longer counts.
    const int64_t withRemark = ReadLeadingNumber(std::string(text) + " ; remark");
    FUZZ_CHECK(withRemark == (leading < 0 ? -leading : leading) || withRemark == 0);

    const auto flag = ParseYesNo(text);
    if (flag) FUZZ_CHECK(text == YesNoText(*flag));

    if (size >= sizeof(int32_t)) {
        int32_t number = 0;
        std::memcpy(&number, data, sizeof number);
        FUZZ_CHECK(ParseWholeInteger(FormatDecimal(number)) == number);
        FUZZ_CHECK(ReadLeadingNumber(FormatDecimal(number)) == number);
    }
    return 0;
}
