// The program's icons on Linux: found by name in the desktop's icon theme, with the folder
// of icons beside the program (or in the data folders) searched as well, so that a copy
// run from where it was unpacked shows its icons too.
#pragma once

#include <map>
#include <string>
#include <vector>

typedef struct _GList GList;
typedef struct _GtkWidget GtkWidget;

namespace zevaver {

class WindowIcons {
public:
    // iconFolder: a folder holding hicolor/ (or "" for the installed theme alone).
    explicit WindowIcons(std::string iconFolder);
    ~WindowIcons();
    WindowIcons(const WindowIcons&) = delete;
    WindowIcons& operator=(const WindowIcons&) = delete;

    // The first data root that has the icons: <root>/Icons; "" when none has.
    [[nodiscard]] static std::string FindFolder(const std::vector<std::string>& dataRoots);

    // Makes the theme name's pictures the window's icon (and what the task bar shows).
    void Apply(GtkWidget* window, const std::string& themeName);
    // The theme name last applied.
    [[nodiscard]] const std::string& Applied() const noexcept { return applied_; }

private:
    GList* Pictures(const std::string& themeName);

    std::string folder_;
    std::map<std::string, GList*> pictures_; // by theme name, loaded once
    std::string applied_;
};

} // namespace zevaver
