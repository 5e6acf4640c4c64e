// One running copy per executable name on Linux. The first start holds a lock file in the
// user's runtime folder for as long as it runs (the system drops the lock when the process
// ends, however it ends) and listens on a socket beside it. A later start finds the lock
// taken, connects, hands over its command line in the instance block's form (the same
// rules as on Windows: at most 10 parameters of at most 300 characters), waits for the
// running copy's answer and ends; the running copy comes to the front. When the running
// copy does not answer within 10 seconds, the later start runs on its own.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace zevaver {

class LinuxOneInstance {
public:
    // folder: where the lock and the socket live; name: what they are named after (the
    // executable's file name).
    LinuxOneInstance(std::string folder, std::string name);
    ~LinuxOneInstance();
    LinuxOneInstance(const LinuxOneInstance&) = delete;
    LinuxOneInstance& operator=(const LinuxOneInstance&) = delete;

    // The instance check: true when this process is the first (it then listens), false when
    // it handed its parameters over to the running copy (it should end now).
    [[nodiscard]] bool Check(const std::vector<std::string>& parameters);
    [[nodiscard]] bool IsFirstInstance() const noexcept { return listener_ >= 0; }
    // The listening socket: readable when a later start connects; then Answer.
    [[nodiscard]] int ListenerFd() const noexcept { return listener_; }
    // Takes one later start's parameters, calls OnInstanceStarted with them and answers.
    void Answer();

    std::function<void(const std::vector<std::string>& parameters)> OnInstanceStarted;

    [[nodiscard]] const std::string& SocketPath() const noexcept { return socketPath_; }

private:
    [[nodiscard]] bool HandOver(const std::vector<std::string>& parameters);
    void Listen();

    std::string lockPath_;
    std::string socketPath_;
    int lock_ = -1;
    int listener_ = -1;
};

} // namespace zevaver
