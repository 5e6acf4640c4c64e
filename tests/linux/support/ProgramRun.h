// The real Linux program started by a test: from the deployed folder, with a display, a
// private set of XDG folders (settings, user data, runtime) and the environment given,
// ended with SIGTERM as a session would end it.
#pragma once

#include <chrono>
#include <csignal>
#include <cstring>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace zevaver {

namespace linuxtest {

// The deployed program (the build passes its folder).
inline std::string ProgramPath() {
    const char* dist = std::getenv("MK_LINUX_DIST_DIR");
    return std::string(dist ? dist : ".") + "/zevaver-midi-keyboard";
}

// A fresh home for one test: config, data and runtime folders under a temporary folder.
class TestHome {
public:
    explicit TestHome(const std::string& name) {
        root_ = std::string(std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "/tmp") + "/mk-linux-" +
                name + "-" + std::to_string(getpid());
        // The system's data folders hold nothing of the program's: only what GTK reads
        // there (the file types, which its picture loader needs, and the icon themes).
        std::system(("rm -rf '" + root_ + "' && mkdir -p '" + root_ + "/config' '" + root_ +
                     "/data' '" + root_ + "/run' '" + root_ +
                     "/system' && ln -s /usr/share/mime '" + root_ +
                     "/system/mime' && ln -s /usr/share/icons '" + root_ + "/system/icons'")
                        .c_str());
        chmod((root_ + "/run").c_str(), 0700);
    }
    ~TestHome() { std::system(("rm -rf '" + root_ + "'").c_str()); }
    TestHome(const TestHome&) = delete;
    TestHome& operator=(const TestHome&) = delete;

    [[nodiscard]] const std::string& Root() const noexcept { return root_; }
    [[nodiscard]] std::string SettingsFile() const {
        return root_ + "/config/zevaver-midi-keyboard/settings.ini";
    }
    [[nodiscard]] std::string Settings() const {
        std::ifstream file(SettingsFile());
        std::stringstream text;
        text << file.rdbuf();
        return text.str();
    }
    // Writes the settings file with these values. A missing number reads as 0, so the
    // window's sizes are the factory's unless given.
    void StoreSettings(std::map<std::string, std::string> values) const {
        values.insert({{"Width", "716"}, {"Height", "140"}, {"Note Width", "16"}});
        std::system(("mkdir -p '" + root_ + "/config/zevaver-midi-keyboard'").c_str());
        std::ofstream file(SettingsFile());
        file << "[MIDI Keyboard]\n";
        for (const auto& [name, value] : values) file << name << "=" << value << "\n";
    }
    // The value as stored ("" when missing).
    [[nodiscard]] std::string Setting(const std::string& name) const {
        std::istringstream lines(Settings());
        for (std::string line; std::getline(lines, line);)
            if (line.rfind(name + "=", 0) == 0) return line.substr(name.size() + 1);
        return {};
    }
    [[nodiscard]] std::vector<std::string> Environment() const {
        return {"XDG_CONFIG_HOME=" + root_ + "/config", "XDG_DATA_HOME=" + root_ + "/data",
                "XDG_RUNTIME_DIR=" + root_ + "/run", "XDG_CONFIG_DIRS=" + root_ + "/none",
                "XDG_DATA_DIRS=" + root_ + "/system"};
    }

private:
    std::string root_;
};

class ProgramRun {
public:
    // program: the deployed one unless a test installed another.
    ProgramRun(const TestHome& home, std::vector<std::string> arguments = {},
               std::vector<std::string> environment = {},
               const std::string& program = ProgramPath()) {
        std::vector<std::string> env = home.Environment();
        env.insert(env.end(), environment.begin(), environment.end());
        pid_ = fork();
        if (pid_ == 0) {
            for (const std::string& entry : env) putenv(strdup(entry.c_str()));
            freopen("/dev/null", "w", stdout);
            std::vector<char*> argv{const_cast<char*>(program.c_str())};
            for (const std::string& argument : arguments)
                argv.push_back(const_cast<char*>(argument.c_str()));
            argv.push_back(nullptr);
            execv(program.c_str(), argv.data());
            _exit(127);
        }
    }
    ~ProgramRun() {
        if (Running()) (void)Close();
    }
    ProgramRun(const ProgramRun&) = delete;
    ProgramRun& operator=(const ProgramRun&) = delete;

    [[nodiscard]] bool Running() {
        if (pid_ <= 0 || exited_) return false;
        int status = 0;
        if (waitpid(pid_, &status, WNOHANG) == pid_) {
            exited_ = true;
            exitCode_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        }
        return !exited_;
    }
    // Waits for the process to end by itself; its exit code, or -1 when it did not end.
    int AwaitExit(int ms) {
        for (int waited = 0; waited < ms && Running(); waited += 20)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        return Running() ? -1 : exitCode_;
    }
    // Asks it to end as a session would; its exit code.
    int Close(int ms = 10000) {
        if (!Running()) return exitCode_;
        kill(pid_, SIGTERM);
        const int code = AwaitExit(ms);
        if (code == -1) {
            kill(pid_, SIGKILL);
            return AwaitExit(ms);
        }
        return code;
    }

private:
    pid_t pid_ = -1;
    bool exited_ = false;
    int exitCode_ = -1;
};

} // namespace linuxtest

} // namespace zevaver
