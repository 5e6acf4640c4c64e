#include "framework/win/NameCompare.h"

#include "framework/Text.h"
#include "framework/win/WidePath.h"

#include <windows.h>

namespace zevaver {

namespace fw {

namespace {

int Length(const std::wstring& text) noexcept {
    return static_cast<int>(text.size());
}

} // namespace

bool LessForUser(std::string_view a, std::string_view b) noexcept {
    try {
        const std::wstring wideA = Utf8ToWide(a), wideB = Utf8ToWide(b);
        // Numbers by value exist from Windows 7 on; without them the order is still the
        // language's.
        for (DWORD flags :
             {DWORD{NORM_IGNORECASE | SORT_DIGITSASNUMBERS}, DWORD{NORM_IGNORECASE}}) {
            const int order =
                CompareStringEx(LOCALE_NAME_USER_DEFAULT, flags, wideA.c_str(), Length(wideA),
                                wideB.c_str(), Length(wideB), nullptr, nullptr, 0);
            if (order != 0) return order == CSTR_LESS_THAN;
        }
    } catch (...) {
    }
    return LessNoCase(a, b);
}

bool SameNameIgnoringCase(std::string_view a, std::string_view b) noexcept {
    try {
        const std::wstring wideA = Utf8ToWide(a), wideB = Utf8ToWide(b);
        const int order =
            CompareStringOrdinal(wideA.c_str(), Length(wideA), wideB.c_str(), Length(wideB), TRUE);
        if (order != 0) return order == CSTR_EQUAL;
    } catch (...) {
    }
    return EqualNoCase(a, b);
}

} // namespace fw

} // namespace zevaver
