// The settings readers over a registry in memory: every value missing, of a wrong type or
// holding any text, the key in either hive or unreadable. Whatever was read must survive
// being written and read again.
//
// Input: a first line of flags ("u": the current user's key exists, "m": the machine-wide
// key exists, "x": opening it fails; when saving, "y": opening for writing fails, and the
// number of "w" says which write fails), then one line per value in the store's order, each
// beginning with "T" (a string value holding the rest of the line), "W" (a value of
// another type) or anything else (no value).
#include "engine/NumberText.h"
#include "engine/SettingsStore.h"
#include "support/FuzzCheck.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace zevaver {

namespace {

struct Value {
    RegistryText::Kind kind = RegistryText::Kind::Missing;
    std::string text;
};

class MemoryRegistry final : public SettingsRegistry {
public:
    bool userKey = true, machineKey = false, openFails = false, openForWritingFails = false;
    size_t failingWrite = 0; // 1 for the first write; 0 for none
    std::map<std::string, Value> values;
    std::vector<std::string> written; // names in the order they were written

    bool KeyExists(RegistryHive hive, std::string_view) override {
        return hive == RegistryHive::CurrentUser ? userKey : machineKey;
    }
    bool OpenKey(RegistryHive, std::string_view, bool forWriting) override {
        FUZZ_CHECK(!open_);
        open_ = forWriting ? !openForWritingFails : !openFails;
        return open_;
    }
    RegistryText ReadString(const std::string& name) override {
        FUZZ_CHECK(open_);
        const auto found = values.find(name);
        if (found == values.end()) return {};
        return {found->second.kind, found->second.text};
    }
    bool WriteString(const std::string& name, const std::string& text) override {
        FUZZ_CHECK(open_);
        if (written.size() + 1 == failingWrite) return false;
        written.push_back(name);
        values[name] = {RegistryText::Kind::Text, text};
        return true;
    }
    void CloseKey() override { open_ = false; }
    [[nodiscard]] bool IsOpen() const { return open_; }

private:
    bool open_ = false;
};

constexpr ScreenSize Screen{1920, 1080};

std::map<std::string, std::string> Saved(const TSettings& settings,
                                         std::vector<std::string>* order) {
    MemoryRegistry registry;
    FUZZ_CHECK(SaveSettings(settings, registry, nullptr));
    FUZZ_CHECK(!registry.IsOpen());
    if (order) *order = registry.written;
    std::map<std::string, std::string> texts;
    for (const auto& [name, value] : registry.values) texts[name] = value.text;
    return texts;
}

const std::set<std::string> TextValues = {"Skin", "Layout", "Device Name"};
const std::set<std::string> FlagValues = {"Vertical", "Enabled", "Kill Keystrokes", "Key Names",
                                          "Keys By Position"};
// Stored settings without it come from an earlier version, whose keys went by their codes.
const std::string ByPosition = "Keys By Position";

} // namespace

} // namespace zevaver

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace zevaver;
    std::vector<std::string_view> lines;
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    for (size_t start = 0; start <= input.size();) {
        size_t end = input.find('\n', start);
        if (end == std::string_view::npos) end = input.size();
        lines.push_back(input.substr(start, end - start));
        start = end + 1;
    }

    std::vector<std::string> names;
    const auto defaults = Saved(TSettings{}, &names);
    FUZZ_CHECK(names.size() == static_cast<size_t>(SettingsValueCount));

    MemoryRegistry registry;
    const std::string_view flags = lines[0];
    registry.userKey = flags.find('u') != std::string_view::npos;
    registry.machineKey = flags.find('m') != std::string_view::npos;
    registry.openFails = flags.find('x') != std::string_view::npos;
    for (size_t i = 0; i < names.size() && i + 1 < lines.size(); ++i) {
        const std::string_view line = lines[i + 1];
        if (line.empty()) continue;
        if (line[0] == 'T')
            registry.values[names[i]] = {RegistryText::Kind::Text, std::string(line.substr(1))};
        if (line[0] == 'W') registry.values[names[i]] = {RegistryText::Kind::WrongType, {}};
    }

    TSettings settings;
    std::vector<std::string> reports;
    LoadSettings(settings, registry, Screen,
                 [&](const std::string& message) { reports.push_back(message); });
    FUZZ_CHECK(!registry.IsOpen());
    const auto loaded = Saved(settings, nullptr);

    // A first run, a key that cannot be read, or one that holds none of the values:
    // defaults, centred, nothing reported.
    const bool noneStored = std::none_of(names.begin(), names.end(), [&](const std::string& n) {
        return registry.values.count(n) != 0;
    });
    if (!(registry.userKey || registry.machineKey) || registry.openFails || noneStored) {
        TSettings centred;
        CenterOnScreen(centred, Screen);
        FUZZ_CHECK(loaded == Saved(centred, nullptr));
        FUZZ_CHECK(reports.empty());
        return 0;
    }

    // Each value of a wrong type is reported once, by name, in the store's order, and its
    // field keeps what it held; the others follow their documented reading.
    std::vector<std::string> expectedReports;
    for (const auto& name : names) {
        const auto found = registry.values.find(name);
        const Value value = found == registry.values.end() ? Value{} : found->second;
        const std::string& result = loaded.at(name);
        switch (value.kind) {
        case RegistryText::Kind::WrongType:
            expectedReports.push_back(InvalidDataTypeMessage(name));
            FUZZ_CHECK(result == defaults.at(name));
            break;
        case RegistryText::Kind::Missing:
            if (TextValues.count(name))
                FUZZ_CHECK(result.empty());
            else if (name == ByPosition)
                FUZZ_CHECK(result == "No");
            else if (FlagValues.count(name))
                FUZZ_CHECK(result == defaults.at(name));
            else
                FUZZ_CHECK(result == "0");
            break;
        case RegistryText::Kind::Text:
            if (TextValues.count(name))
                FUZZ_CHECK(result == value.text);
            else if (FlagValues.count(name))
                FUZZ_CHECK(result == (ParseYesNo(value.text) ? value.text : defaults.at(name)));
            else
                FUZZ_CHECK(result == FormatDecimal(ReadSettingsNumber(value.text)));
            break;
        }
    }
    FUZZ_CHECK(reports == expectedReports);

    // A failed write is reported by name and ends the save: what came before it is
    // written, in order, and nothing after it.
    MemoryRegistry failing;
    failing.openForWritingFails = flags.find('y') != std::string_view::npos;
    failing.failingWrite = static_cast<size_t>(std::count(flags.begin(), flags.end(), 'w'));
    std::vector<std::string> failures;
    const bool saved = SaveSettings(
        settings, failing, [&](const std::string& message) { failures.push_back(message); });
    FUZZ_CHECK(!failing.IsOpen());
    size_t writtenBefore = names.size();
    if (failing.openForWritingFails)
        writtenBefore = 0;
    else if (failing.failingWrite >= 1 && failing.failingWrite <= names.size())
        writtenBefore = failing.failingWrite - 1;
    FUZZ_CHECK(saved == (writtenBefore == names.size()));
    FUZZ_CHECK(failing.written ==
               std::vector<std::string>(
                   names.begin(), names.begin() + static_cast<std::ptrdiff_t>(writtenBefore)));
    if (saved)
        FUZZ_CHECK(failures.empty());
    else
        FUZZ_CHECK(failures ==
                   std::vector<std::string>{FailedToSetDataMessage(names[writtenBefore])});

    // Nothing is lost between runs: what was read, once written, reads back the same.
    MemoryRegistry again;
    for (const auto& [name, text] : loaded) again.values[name] = {RegistryText::Kind::Text, text};
    TSettings reread;
    LoadSettings(reread, again, Screen, [](const std::string&) { FUZZ_CHECK(false); });
    FUZZ_CHECK(Saved(reread, nullptr) == loaded);
    return 0;
}
