#include "framework/win/Registry.h"

#include "framework/win/WidePath.h"

#include <vector>

namespace zevaver {

namespace fw {

bool RegistryKeyExists(HKEY root, const std::string& path) noexcept {
    return OpenRegistryKey(root, path,
                           STANDARD_RIGHTS_READ | KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS)
        .valid();
}

RegKey OpenRegistryKey(HKEY root, const std::string& path, REGSAM access) noexcept {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, access, &key) != ERROR_SUCCESS) return RegKey();
    return RegKey(key);
}

RegKey CreateRegistryKey(HKEY root, const std::string& path) noexcept {
    HKEY key = nullptr;
    if (RegCreateKeyExA(root, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                        nullptr, &key, nullptr) != ERROR_SUCCESS)
        return RegKey();
    return RegKey(key);
}

namespace {

// The two flavours of the value functions, for one reader.
struct AnsiApi {
    using Char = char;
    static LONG Query(HKEY key, const std::string& name, DWORD* type, BYTE* data, DWORD* size) {
        return RegQueryValueExA(key, name.c_str(), nullptr, type, data, size);
    }
    static std::string Text(const char* text) { return text; }
};

struct WideApi {
    using Char = wchar_t;
    static LONG Query(HKEY key, const std::string& name, DWORD* type, BYTE* data, DWORD* size) {
        return RegQueryValueExW(key, Utf8ToWide(name).c_str(), nullptr, type, data, size);
    }
    static std::string Text(const wchar_t* text) { return WideToUtf8(text); }
};

template <typename Api> RegistryString ReadString(HKEY key, const std::string& name) {
    using Char = typename Api::Char;
    RegistryString result;
    DWORD type = REG_NONE;
    DWORD size = 0;
    if (Api::Query(key, name, &type, nullptr, &size) != ERROR_SUCCESS) return result;
    result.type = type;
    if (type != REG_SZ && type != REG_EXPAND_SZ) {
        result.status = RegistryString::Status::WrongType;
        return result;
    }
    // The value may grow between the two queries; ask again with the size it reports.
    std::vector<Char> data;
    LONG status = ERROR_MORE_DATA;
    while (status == ERROR_MORE_DATA) {
        data.resize(size / sizeof(Char) + 1);
        size = static_cast<DWORD>(data.size() * sizeof(Char));
        status = Api::Query(key, name, &type, reinterpret_cast<BYTE*>(data.data()), &size);
    }
    if (status != ERROR_SUCCESS) return result;
    result.type = type;
    if (type != REG_SZ && type != REG_EXPAND_SZ) {
        result.status = RegistryString::Status::WrongType;
        return result;
    }
    // Stored text need not end in a NUL; the extra character guarantees one.
    data.resize(size / sizeof(Char) + 1);
    data.back() = 0;
    result.status = RegistryString::Status::Text;
    result.text = Api::Text(data.data());
    return result;
}

} // namespace

RegistryString ReadRegistryString(HKEY key, const std::string& name) {
    return ReadString<AnsiApi>(key, name);
}

RegistryString ReadRegistryUnicodeString(HKEY key, const std::string& name) {
    return ReadString<WideApi>(key, name);
}

bool WriteRegistryString(HKEY key, const std::string& name, const std::string& text) noexcept {
    const DWORD size = static_cast<DWORD>(text.size() + 1);
    return RegSetValueExA(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                          size) == ERROR_SUCCESS;
}

bool WriteRegistryUnicodeString(HKEY key, const std::string& name,
                                const std::string& text) noexcept {
    try {
        const std::wstring wide = Utf8ToWide(text);
        const auto size = static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t));
        return RegSetValueExW(key, Utf8ToWide(name).c_str(), 0, REG_SZ,
                              reinterpret_cast<const BYTE*>(wide.c_str()), size) == ERROR_SUCCESS;
    } catch (...) {
        return false;
    }
}

bool DeleteRegistryTree(HKEY root, const std::string& path) noexcept {
    // Given a subkey name, RegDeleteTreeA removes that key itself as well.
    const LONG status = RegDeleteTreeA(root, path.c_str());
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}

} // namespace fw

} // namespace zevaver
