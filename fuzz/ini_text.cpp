// The Linux settings file: any bytes read as INI text, and whatever was read written and
// read again unchanged; any value survives being written and read.
#include "engine/IniText.h"
#include "support/FuzzCheck.h"

#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace zevaver;
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    const std::vector<IniSection> read = ParseIni(text);
    FUZZ_CHECK(ParseIni(FormatIni(read)) == read);

    const std::string value(text);
    const std::vector<IniSection> one =
        ParseIni(FormatIni({{"MIDI Keyboard", {{"Value", value}}}}));
    FUZZ_CHECK(one.size() == 1 && one[0].values.size() == 1 && one[0].values[0].second == value);
    return 0;
}
