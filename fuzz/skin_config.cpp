// A skin's "config.txt": any bytes, with LF or CR LF line ends. Whatever a file sets must
// survive being written out as "Key = Value" lines and read again.
#include "skin/ConfigFile.h"
#include "support/FuzzCheck.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace zevaver {

namespace {

// The eighteen keys of the record, the part "config.txt" can set.
bool SameKeys(const TSkinConfig& a, const TSkinConfig& b) {
    return a.WindowsStyle == b.WindowsStyle && a.StretchTitle == b.StretchTitle &&
           a.CenterTitle == b.CenterTitle && a.BorderSize == b.BorderSize &&
           a.CornerSize == b.CornerSize && a.CornerArea == b.CornerArea &&
           a.BlackKeysHeight == b.BlackKeysHeight &&
           a.FaderTicksFrequency == b.FaderTicksFrequency && a.FaderWidth == b.FaderWidth &&
           a.KeysOutlineWidth == b.KeysOutlineWidth && a.FaderColor == b.FaderColor &&
           a.BackgroundColor == b.BackgroundColor && a.WhiteKeyColor == b.WhiteKeyColor &&
           a.BlackKeyColor == b.BlackKeyColor && a.WhiteKeyDownColor == b.WhiteKeyDownColor &&
           a.BlackKeyDownColor == b.BlackKeyDownColor && a.KeysOutlineColor == b.KeysOutlineColor &&
           a.FaderStyle == b.FaderStyle;
}

std::string Written(const TSkinConfig& c) {
    std::string text;
    const auto flag = [&](const char* key, bool value) {
        text += std::string(key) + " = " + (value ? "Yes" : "No") + "\r\n";
    };
    const auto number = [&](const char* key, int32_t value) {
        text += std::string(key) + " = " + std::to_string(value) + "\r\n";
    };
    const auto color = [&](const char* key, const TRGB& value) {
        text += std::string(key) + " = " + std::to_string(value.R) + ", " +
                std::to_string(value.G) + ", " + std::to_string(value.B) + "\r\n";
    };
    flag("WindowsStyle", c.WindowsStyle);
    flag("StretchTitle", c.StretchTitle);
    flag("CenterTitle", c.CenterTitle);
    number("BorderSize", c.BorderSize);
    number("CornerSize", c.CornerSize);
    number("CornerArea", c.CornerArea);
    number("BlackKeysHeight", c.BlackKeysHeight);
    number("FaderTicksFrequency", c.FaderTicksFrequency);
    number("FaderWidth", c.FaderWidth);
    number("KeysOutlineWidth", c.KeysOutlineWidth);
    color("FaderColor", c.FaderColor);
    color("BackgroundColor", c.BackgroundColor);
    color("WhiteKeyColor", c.WhiteKeyColor);
    color("BlackKeyColor", c.BlackKeyColor);
    color("WhiteKeyDownColor", c.WhiteKeyDownColor);
    color("BlackKeyDownColor", c.BlackKeyDownColor);
    color("KeysOutlineColor", c.KeysOutlineColor);
    text += "FaderStyle = " + c.FaderStyle + "\r\n";
    return text;
}

} // namespace

} // namespace zevaver

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace zevaver;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    TSkinConfig read;
    ReadSkinConfigText(text, read);

    // Lines are read one by one with no state between them, CR LF the same as LF.
    TSkinConfig lineByLine, crlf;
    std::string withCrlf;
    for (size_t start = 0; start < text.size();) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view line = text.substr(start, end - start);
        ReadSkinConfigText(line, lineByLine);
        const std::string normal = NormalizeConfigLine(line);
        for (char c : normal) FUZZ_CHECK(static_cast<unsigned char>(c) >= 33 && c != ';');
        FUZZ_CHECK(NormalizeConfigLine(normal) == normal);
        withCrlf.append(line).append("\r\n");
        start = end + 1;
    }
    ReadSkinConfigText(withCrlf, crlf);
    FUZZ_CHECK(SameKeys(lineByLine, read));
    FUZZ_CHECK(SameKeys(crlf, read));

    // Nothing is lost: the record, written as a file and read over the built-in defaults,
    // comes back whole.
    TSkinConfig again;
    ReadSkinConfigText(Written(read), again);
    FUZZ_CHECK(SameKeys(again, read));
    return 0;
}
