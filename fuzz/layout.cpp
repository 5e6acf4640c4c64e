// Layout files: any bytes, read whole or broken off by a read error, chosen by name or
// reached through the fall-back.
#include "engine/Layout.h"
#include "support/FuzzCheck.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace zevaver {

namespace {

// One layout file in memory; the first input byte says which names exist and whether
// reading breaks off.
class OneFile final : public LayoutFiles {
public:
    OneFile(std::string path, std::string bytes, bool complete)
        : path_(std::move(path)), bytes_(std::move(bytes)), complete_(complete) {}
    bool Exists(const std::string& path) override { return path == path_; }
    FileBytes ReadAll(const std::string& path) override {
        FUZZ_CHECK(path == path_);
        return {bytes_, complete_};
    }
    bool WriteAll(const std::string&, std::string_view) override { return false; }

private:
    std::string path_, bytes_;
    bool complete_;
};

} // namespace

} // namespace zevaver

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace zevaver;
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const KeyNoteTable whole = ParsedLayout(input);

    // Ctrl-Z ends the file: what follows it changes nothing.
    FUZZ_CHECK(ParsedLayout(std::string(input) + "\x1a#65 = 1\nA = 2\n") == whole);

    // Lines are read one by one, with no state carried from one to the next.
    const std::string_view text = input.substr(0, input.find('\x1a'));
    KeyNoteTable lineByLine{};
    for (size_t start = 0; start < text.size();) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        ParseLayout(text.substr(start, end - start), lineByLine);
        start = end + 1;
    }
    FUZZ_CHECK(lineByLine == whole);

    // Loading: the chosen name or the fall-back, the whole file or only its whole lines.
    if (size == 0) return 0;
    const uint8_t how = data[0];
    const std::string bytes(input.substr(1));
    const bool complete = (how & 1) != 0;
    const bool chosenExists = (how & 2) != 0;
    TSettings settings;
    settings.Layout = "Mine";
    OneFile files(LayoutPath(chosenExists ? "Mine" : FallbackLayout), bytes, complete);
    KeyNoteTable table;
    table.fill(7); // loading never merges with what the table held
    const LayoutLoad result = LoadLayout(settings, table, files);
    FUZZ_CHECK(settings.Layout == (chosenExists ? "Mine" : FallbackLayout));
    FUZZ_CHECK(result == (complete ? LayoutLoad::Loaded : LayoutLoad::ReadFailed));
    const std::string_view read(bytes);
    if (complete || read.find('\x1a') != std::string_view::npos) {
        FUZZ_CHECK(table == ParsedLayout(read));
    } else {
        // A read error may cut the last line short: only lines that ended are applied.
        const size_t lastEnd = read.rfind('\n');
        FUZZ_CHECK(table == ParsedLayout(lastEnd == std::string_view::npos
                                       ? std::string_view()
                                       : read.substr(0, lastEnd + 1)));
    }
    return 0;
}
