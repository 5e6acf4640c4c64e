// Layout files through the system's wide-character file functions: the paths travel as
// UTF-8 inside the program, so a layout's name may hold letters outside the 8-bit code
// page. (The C++ streams would do the same but bring the whole locale library with them,
// most of a megabyte of code that every start would load.)
#pragma once

#include "engine/Layout.h"

#include <optional>
#include <string>

namespace zevaver {

// Where the user's own layouts lie: "Zevaver\MIDI Keyboard\Layouts\" in their roaming
// application data folder, which they may write whoever installed the program; UTF-8,
// empty when the system names no such folder.
[[nodiscard]] std::string UserLayoutsFolder();

class WinLayoutFiles final : public LayoutFiles {
public:
    [[nodiscard]] bool Exists(const std::string& path) override;
    [[nodiscard]] FileBytes ReadAll(const std::string& path) override;
    // Writes a file beside it and puts that in its place, so a failure half-way leaves the
    // old contents; a read-only file or a folder by its name is not replaced.
    [[nodiscard]] bool WriteAll(const std::string& path, std::string_view bytes) override;
    [[nodiscard]] std::string UserFolder() override;
    [[nodiscard]] bool Remove(const std::string& path) override;

private:
    std::optional<std::string> userFolder_; // looked up once
};

} // namespace zevaver
