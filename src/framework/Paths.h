// Paths as the program takes them apart itself: either separator, '\' or '/'.
#pragma once

#include <string>
#include <string_view>

namespace zevaver {

namespace fw {

// The part after the last separator; the whole path when there is none.
[[nodiscard]] inline std::string FileNameOf(std::string_view path) {
    const size_t separator = path.find_last_of("\\/");
    return std::string(separator == std::string_view::npos ? path : path.substr(separator + 1));
}

// The full path of a file in the folder of the given path; empty when the path names no
// folder, so that nothing is ever looked up by bare name.
[[nodiscard]] inline std::string PathBeside(std::string_view path, std::string_view fileName) {
    const size_t separator = path.find_last_of("\\/");
    if (separator == std::string_view::npos) return {};
    std::string beside(path.substr(0, separator + 1));
    beside += fileName;
    return beside;
}

} // namespace fw

} // namespace zevaver
