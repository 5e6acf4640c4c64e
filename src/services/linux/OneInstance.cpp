#include "services/linux/OneInstance.h"

#include "services/InstanceBlock.h"

#include <array>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

namespace zevaver {

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto Wait = std::chrono::milliseconds(instance::WaitMilliseconds);
constexpr char Acknowledgement = 'K';

bool Address(const std::string& path, sockaddr_un& address) {
    address = {};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path) return false;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    return true;
}

int MillisecondsLeft(Clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

// Waits for the descriptor until the deadline; false when it did not come.
bool Ready(int fd, short events, Clock::time_point deadline) {
    for (;;) {
        pollfd wait{fd, events, 0};
        const int result = poll(&wait, 1, MillisecondsLeft(deadline));
        if (result > 0) return true;
        if (result == 0 || errno != EINTR) return false;
    }
}

bool SendAll(int fd, const uint8_t* bytes, size_t size, Clock::time_point deadline) {
    while (size > 0) {
        if (!Ready(fd, POLLOUT, deadline)) return false;
        const ssize_t sent = send(fd, bytes, size, MSG_NOSIGNAL);
        if (sent < 0 && (errno == EINTR || errno == EAGAIN)) continue;
        if (sent <= 0) return false;
        bytes += sent;
        size -= static_cast<size_t>(sent);
    }
    return true;
}

bool ReceiveAll(int fd, uint8_t* bytes, size_t size, Clock::time_point deadline) {
    while (size > 0) {
        if (!Ready(fd, POLLIN, deadline)) return false;
        const ssize_t got = recv(fd, bytes, size, 0);
        if (got < 0 && (errno == EINTR || errno == EAGAIN)) continue;
        if (got <= 0) return false;
        bytes += got;
        size -= static_cast<size_t>(got);
    }
    return true;
}

} // namespace

LinuxOneInstance::LinuxOneInstance(std::string folder, std::string name)
    : lockPath_(folder + "/" + name + ".lock"), socketPath_(folder + "/" + name + ".socket") {}

LinuxOneInstance::~LinuxOneInstance() {
    if (listener_ >= 0) {
        close(listener_);
        unlink(socketPath_.c_str());
    }
    if (lock_ >= 0) close(lock_);
}

bool LinuxOneInstance::Check(const std::vector<std::string>& parameters) {
    lock_ = open(lockPath_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    // Without a lock file the process runs unguarded, as without the shared block on Windows.
    if (lock_ < 0) return true;
    if (flock(lock_, LOCK_EX | LOCK_NB) == 0) {
        Listen();
        return true;
    }
    if (HandOver(parameters)) return false;
    // The running copy did not answer: this one takes its place as the receiver of later
    // starts (the lock stays with the copy that hangs).
    close(lock_);
    lock_ = -1;
    Listen();
    return true;
}

void LinuxOneInstance::Listen() {
    sockaddr_un address{};
    if (!Address(socketPath_, address)) return;
    // A socket left by a copy that ended without cleaning up: the lock says it is gone.
    unlink(socketPath_.c_str());
    const int listener = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (listener < 0) return;
    if (bind(listener, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        listen(listener, 8) != 0) {
        close(listener);
        return;
    }
    listener_ = listener;
}

bool LinuxOneInstance::HandOver(const std::vector<std::string>& parameters) {
    sockaddr_un address{};
    if (!Address(socketPath_, address)) return false;
    const auto deadline = Clock::now() + Wait;
    // The running copy may hold the lock a moment before it listens.
    for (;;) {
        const int connection = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        if (connection < 0) return false;
        if (connect(connection, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0 ||
            (errno == EINPROGRESS && Ready(connection, POLLOUT, deadline))) {
            std::array<uint8_t, instance::BlockSize> block{};
            instance::WriteParameters(block, parameters);
            char answer = 0;
            const bool answered =
                SendAll(connection, block.data(), block.size(), deadline) &&
                ReceiveAll(connection, reinterpret_cast<uint8_t*>(&answer), 1, deadline) &&
                answer == Acknowledgement;
            close(connection);
            return answered;
        }
        close(connection);
        if (MillisecondsLeft(deadline) == 0) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

void LinuxOneInstance::Answer() {
    if (listener_ < 0) return;
    const int connection = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
    if (connection < 0) return;
    // Any process of the user may connect: the block is read within a short time, and
    // nothing in it is trusted.
    std::array<uint8_t, instance::BlockSize> block{};
    const auto deadline = Clock::now() + std::chrono::seconds(2);
    if (ReceiveAll(connection, block.data(), block.size(), deadline)) {
        try {
            if (OnInstanceStarted) OnInstanceStarted(instance::ReadParameters(block));
        } catch (...) {
        }
        const uint8_t answer = Acknowledgement;
        (void)SendAll(connection, &answer, 1, deadline);
    }
    close(connection);
}

} // namespace zevaver
