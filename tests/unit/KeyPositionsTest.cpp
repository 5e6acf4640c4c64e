#include "keyboard/KeyPositions.h"

#include <gtest/gtest.h>

#include <string_view>

namespace zevaver {

namespace {

// One row of the keyboard: its first scan code and the US codes from there on.
void ExpectRow(uint16_t firstScan, std::string_view keys, bool extended = false) {
    for (size_t i = 0; i < keys.size(); ++i) {
        const KeyPosition place{static_cast<uint16_t>(firstScan + i), extended};
        const auto code = static_cast<uint8_t>(keys[i]);
        EXPECT_EQ(UsKeyAt(place), code) << "scan " << std::hex << place.scanCode;
        EXPECT_EQ(UsKeyPosition(code), place) << "code " << std::hex << int{code};
    }
}

TEST(KeyPositions, TheFourRowsGiveTheUsCodes) {
    ExpectRow(0x29, "\xC0");
    ExpectRow(0x02, "1234567890\xBD\xBB\x08");
    ExpectRow(0x0F, "\x09QWERTYUIOP\xDB\xDD\x0D");
    ExpectRow(0x1E, "ASDFGHJKL\xBA\xDE");
    ExpectRow(0x2B, "\xDC"
                    "ZXCVBNM\xBC\xBE\xBF\xA1");
    ExpectRow(0x56, "\xE2"); // ISO keyboards' extra key
    ExpectRow(0x39, " ");
}

TEST(KeyPositions, TheNumberPadGivesItsDigitsWhateverNumLockSays) {
    ExpectRow(0x47, "\x67\x68\x69\x6D\x64\x65\x66\x6B\x61\x62\x63\x60\x6E");
    ExpectRow(0x37, "\x6A");
    ExpectRow(0x35, "\x6F", true);
    EXPECT_EQ(UsKeyAt({0x1C, true}), 0x0D); // pad Enter is Enter
    ExpectRow(0x45, "\x90", true);          // Num Lock
}

TEST(KeyPositions, ExtendedKeysAreToldApartFromTheirPadTwins) {
    ExpectRow(0x47, "\x24\x26\x21", true);
    ExpectRow(0x4B, "\x25", true);
    ExpectRow(0x4D, "\x27", true);
    ExpectRow(0x4F, "\x23\x28\x22\x2D\x2E", true);
    ExpectRow(0x5B, "\x5B\x5C\x5D", true);
    ExpectRow(0x1D, "\xA3", true);
    ExpectRow(0x38, "\xA5", true);
    ExpectRow(0x1D, "\xA2");
    ExpectRow(0x2A, "\xA0");
    ExpectRow(0x38, "\xA4");
    ExpectRow(0x3B, "\x70\x71\x72\x73\x74\x75\x76\x77\x78\x79");
    ExpectRow(0x57, "\x7A\x7B");
    ExpectRow(0x76, "\x87");
}

TEST(KeyPositions, UnknownPlacesAndCodesGiveNothing) {
    EXPECT_EQ(UsKeyAt({0, false}), 0);
    EXPECT_EQ(UsKeyAt({0x7F, false}), 0);
    EXPECT_EQ(UsKeyAt({0x1E, true}), 0); // no extended A
    EXPECT_EQ(UsKeyAt({0x1E0, false}), 0);
    EXPECT_EQ(UsKeyPosition(0x07), KeyPosition{});
    EXPECT_EQ(UsKeyPosition(0x10), (KeyPosition{0x2A, false})); // generic Shift: the left key
    EXPECT_EQ(UsKeyPosition(0x0D), (KeyPosition{0x1C, false})); // Enter: the main block's
}

} // namespace

} // namespace zevaver
