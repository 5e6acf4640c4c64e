// Changing a layout file: any bytes and any changes. Reading what was written gives what
// reading the file gave, with the changes; the lines of keys that did not change are all
// still there, in their order.
#include "engine/Layout.h"
#include "engine/LayoutWriter.h"
#include "support/FuzzCheck.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zevaver {

namespace {

std::vector<std::string_view> Lines(std::string_view text) {
    std::vector<std::string_view> lines;
    for (size_t start = 0; start < text.size();) {
        const size_t end = std::min(text.find('\n', start), text.size());
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

// The code a line sets, or -1.
int CodeOf(std::string_view line) {
    std::string logical;
    for (char c : line)
        if (c != '\r') logical += c;
    const auto entry = ReadLayoutEntry(logical);
    return entry && entry->code >= 0 && entry->code < 256 ? static_cast<int>(entry->code) : -1;
}

} // namespace

} // namespace zevaver

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace zevaver;
    FuzzedDataProvider input(data, size);
    LayoutChanges changes;
    const int count = input.ConsumeIntegralInRange(0, 6);
    for (int i = 0; i < count; ++i)
        changes[input.ConsumeIntegral<uint8_t>()] = input.ConsumeIntegral<uint8_t>();
    const std::string text = input.ConsumeRemainingBytesAsString();

    const std::string result = ChangeLayoutText(text, changes);
    KeyNoteTable expected = ParsedLayout(text);
    for (const auto& [code, value] : changes) expected[static_cast<size_t>(code)] = value;
    FUZZ_CHECK(ParsedLayout(result) == expected);

    const std::string_view head = std::string_view(text).substr(0, text.find('\x1a'));
    const std::vector<std::string_view> before = Lines(head);
    const std::vector<std::string_view> after =
        Lines(std::string_view(result).substr(0, result.find('\x1a')));
    size_t next = 0;
    for (size_t i = 0; i < before.size(); ++i) {
        const int code = CodeOf(before[i]);
        if (code >= 0 && changes.count(code) != 0) continue;
        // A last line without its end may get the file's own end when lines follow it.
        const bool open = i + 1 == before.size() && !head.ends_with('\n');
        while (next < after.size() && after[next] != before[i] &&
               !(open && after[next] == std::string(before[i]) + "\r"))
            ++next;
        FUZZ_CHECK(next < after.size());
        ++next;
    }
    if (const size_t ctrlZ = text.find('\x1a'); ctrlZ != std::string::npos)
        FUZZ_CHECK(std::string_view(result).ends_with(std::string_view(text).substr(ctrlZ)));
    return 0;
}
