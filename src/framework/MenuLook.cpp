#include "framework/MenuLook.h"

#include <string_view>

namespace zevaver {

namespace fw {

namespace {

// FNV-1a, 64 bits: quick, and two looks that differ give the same number about never.
constexpr uint64_t FnvOffset = 14695981039346656037ull;
constexpr uint64_t FnvPrime = 1099511628211ull;

void Mix(uint64_t& hash, uint8_t byte) noexcept {
    hash ^= byte;
    hash *= FnvPrime;
}

void MixText(uint64_t& hash, std::string_view text) noexcept {
    for (const char c : text) Mix(hash, static_cast<uint8_t>(c));
    // The end of the text: "ab","c" and "a","bc" differ.
    Mix(hash, 0);
}

void MixItem(uint64_t& hash, const MenuItem& item) noexcept {
    MixText(hash, item.Caption());
    const uint8_t flags = static_cast<uint8_t>(
        (item.Checked() ? 1 : 0) | (item.RadioItem() ? 2 : 0) | (item.AutoCheck() ? 4 : 0) |
        (item.Enabled() ? 8 : 0) | (item.Visible() ? 16 : 0) | (item.Break() ? 32 : 0));
    Mix(hash, flags);
    // Where the children end, so that the same items nested otherwise differ.
    Mix(hash, 0xFE);
    for (size_t i = 0; i < item.Count(); ++i) MixItem(hash, item[i]);
    Mix(hash, 0xFF);
}

} // namespace

uint64_t MenuLook(const MenuItem& root) noexcept {
    uint64_t hash = FnvOffset;
    for (size_t i = 0; i < root.Count(); ++i) MixItem(hash, root[i]);
    return hash;
}

} // namespace fw

} // namespace zevaver
