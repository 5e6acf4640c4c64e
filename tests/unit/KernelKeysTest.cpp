#include "keyboard/KernelKeys.h"
#include "services/KernelKeystrokes.h"

#include <gtest/gtest.h>

#include <set>

namespace zevaver {

namespace {

// Kernel key codes as <linux/input-event-codes.h> numbers them.
constexpr uint32_t KeyNumLock = 69, KeyEsc = 1, KeyQ = 16, KeyLeftCtrl = 29, KeyLeftShift = 42,
                   KeyRightShift = 54, KeyKpAsterisk = 55, KeyLeftAlt = 56, KeyF10 = 68,
                   KeyKp0 = 82, Key102nd = 86, KeyF12 = 88, KeyKpEnter = 96, KeyRightCtrl = 97,
                   KeyRightAlt = 100, KeyHome = 102, KeyDelete = 111, KeyPause = 119,
                   KeyLeftMeta = 125, KeyCompose = 127, KeyF13 = 183, KeyF24 = 194,
                   KeyMicMute = 248;

TEST(KernelKeys, PlaceEachKeyWhereItSitsOnAPcKeyboard) {
    struct Row {
        uint32_t kernel;
        KeyPosition place;
        uint16_t usKey;
    };
    const Row rows[] = {
        {KeyEsc, {0x01, false}, 0x1B},        {KeyQ, {0x10, false}, 'Q'},
        {KeyLeftShift, {0x2A, false}, 0xA0},  {KeyRightShift, {0x36, false}, 0xA1},
        {KeyLeftCtrl, {0x1D, false}, 0xA2},   {KeyRightCtrl, {0x1D, true}, 0xA3},
        {KeyLeftAlt, {0x38, false}, 0xA4},    {KeyRightAlt, {0x38, true}, 0xA5},
        {KeyKpAsterisk, {0x37, false}, 0x6A}, {KeyF10, {0x44, false}, 0x79},
        {KeyKp0, {0x52, false}, 0x60},        {Key102nd, {0x56, false}, 0xE2},
        {KeyF12, {0x58, false}, 0x7B},        {KeyKpEnter, {0x1C, true}, 0x0D},
        {KeyHome, {0x47, true}, 0x24},        {KeyDelete, {0x53, true}, 0x2E},
        {KeyPause, {0x45, false}, 0x13},      {KeyNumLock, {0x45, true}, 0x90},
        {KeyLeftMeta, {0x5B, true}, 0x5B},    {KeyCompose, {0x5D, true}, 0x5D},
        {KeyF13, {0x64, false}, 0x7C},        {KeyF24, {0x76, false}, 0x87},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(KernelKeyPosition(row.kernel), row.place) << row.kernel;
        EXPECT_EQ(UsKeyOfKernelCode(row.kernel), row.usKey) << row.kernel;
    }
    for (const uint32_t unknown : {0u, 84u, 101u, KeyMicMute, 256u, 0xFFFFFFFFu}) {
        EXPECT_EQ(KernelKeyPosition(unknown).scanCode, 0) << unknown;
        EXPECT_EQ(UsKeyOfKernelCode(unknown), 0) << unknown;
    }
}

TEST(KernelKeys, GiveEveryPlacedKeyAUsCodeAndNoTwoKeysOnePlace) {
    std::set<std::pair<uint16_t, bool>> places;
    for (uint32_t code = 0; code < 256; ++code) {
        const KeyPosition place = KernelKeyPosition(code);
        if (place.scanCode == 0) continue;
        EXPECT_NE(UsKeyAt(place), 0) << "kernel code " << code << " has a place the US table lacks";
        EXPECT_TRUE(places.insert({place.scanCode, place.extended}).second)
            << "kernel code " << code << " shares its place";
    }
    EXPECT_GT(places.size(), 130u);
}

// The keys' names start from a layout entry's place and ask the keyboard map for the key
// there by its kernel code.
TEST(KernelKeys, FindTheKernelCodeOfEveryPlaceTheUsCodesName) {
    EXPECT_EQ(KernelCodeAt({0x10, false}), KeyQ);
    EXPECT_EQ(KernelCodeAt({0x45, false}), KeyPause) << "Pause and Num Lock share a scan code";
    EXPECT_EQ(KernelCodeAt({0x45, true}), KeyNumLock);
    EXPECT_EQ(KernelCodeAt({0x1C, true}), KeyKpEnter);
    EXPECT_EQ(KernelCodeAt({0x5D, true}), KeyCompose);
    EXPECT_EQ(KernelCodeAt({0x76, false}), KeyF24);
    EXPECT_EQ(KernelCodeAt({0x00, false}), 0u);
    EXPECT_EQ(KernelCodeAt({0x7F, true}), 0u) << "a place no key has";
    for (const int usKey : {0x41, 0x31, 0xBA, 0xE2, 0x60, 0x6F, 0x90, 0xA3, 0x2E, 0x70}) {
        const uint32_t code = KernelCodeAt(UsKeyPosition(static_cast<uint16_t>(usKey)));
        EXPECT_EQ(UsKeyOfKernelCode(code), usKey) << usKey;
    }
}

constexpr uint32_t X(uint32_t kernel) {
    return kernel + XKeyCodeOffset;
}

TEST(KernelKeystrokes, BuildTheKeyMessagesTheWindowsHookLibraryWouldGive) {
    KernelKeystrokes keys;
    // The exact Shift transitions the player reads as the two Shift keys.
    EXPECT_EQ(keys.Apply(X(KeyLeftShift), false)->lParam, 0x002A0001);
    EXPECT_EQ(keys.Apply(X(KeyLeftShift), false)->lParam, 0x402A0001) << "held: previous state";
    EXPECT_EQ(keys.Apply(X(KeyLeftShift), true)->lParam, static_cast<int32_t>(0xC02A0001));
    EXPECT_EQ(keys.Apply(X(KeyRightShift), false)->wParam, 16);
    EXPECT_EQ(keys.Apply(X(KeyRightShift), false)->lParam, 0x40360001);
    EXPECT_EQ(keys.Apply(X(KeyRightShift), true)->lParam, static_cast<int32_t>(0xC0360001));

    const watch::KeyMessage q = *keys.Apply(X(KeyQ), false);
    EXPECT_EQ(q.wParam, 'Q');
    EXPECT_EQ(q.lParam, 0x00100001);
    // Alt held: the context bit; the right Ctrl: extended, and generic.
    (void)keys.Apply(X(KeyRightAlt), false);
    const watch::KeyMessage ctrl = *keys.Apply(X(KeyRightCtrl), false);
    EXPECT_EQ(ctrl.wParam, 17);
    EXPECT_EQ(ctrl.lParam, 0x211D0001);
    EXPECT_EQ(keys.Apply(X(KeyRightAlt), true)->lParam, static_cast<int32_t>(0xC1380001));

    EXPECT_FALSE(keys.Apply(X(KeyMicMute), false).has_value());
    EXPECT_FALSE(keys.Apply(3, false).has_value()) << "below the X server's first key code";
}

TEST(KernelKeystrokes, TellWhichKeysAreHeldWithTheGenericModifiersForEitherSide) {
    KernelKeystrokes keys;
    (void)keys.Apply(X(KeyRightShift), false);
    (void)keys.Apply(X(KeyQ), false);
    EXPECT_TRUE(keys.IsDown(16));
    EXPECT_FALSE(keys.IsDown(0xA0));
    EXPECT_TRUE(keys.IsDown(0xA1));
    EXPECT_TRUE(keys.IsDown('Q'));
    EXPECT_FALSE(keys.IsDown(17));
    (void)keys.Apply(X(KeyLeftCtrl), false);
    EXPECT_TRUE(keys.IsDown(17));
    (void)keys.Apply(X(KeyRightShift), true);
    (void)keys.Apply(X(KeyQ), true);
    EXPECT_FALSE(keys.IsDown(16));
    EXPECT_FALSE(keys.IsDown('Q'));
    EXPECT_FALSE(keys.IsDown(-1));
    EXPECT_FALSE(keys.IsDown(256));
}

} // namespace

} // namespace zevaver
