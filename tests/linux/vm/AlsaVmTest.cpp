// The ALSA sequencer path for real: a small virtual machine with the Debian kernel and the
// sequencer's dummy client runs the probe (AlsaProbe.cpp) as its first process. With
// /dev/kvm the machine runs on it; where it does not boot there (a machine that is itself a
// virtual one may not nest it) or /dev/kvm is missing, qemu's own emulation runs it, in a
// few seconds more, and the test says so. Without the kernel package it is skipped, saying
// so plainly.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <string>
#include <unistd.h>

namespace zevaver {

namespace {

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

// The newest kernel in /boot whose modules are installed too.
std::string KernelVersion() {
    std::string found;
    DIR* modules = opendir("/lib/modules");
    if (!modules) return found;
    while (const dirent* entry = readdir(modules)) {
        const std::string version = entry->d_name;
        if (version[0] == '.') continue;
        if (access(("/boot/vmlinuz-" + version).c_str(), R_OK) == 0 &&
            access(("/lib/modules/" + version + "/modules.dep").c_str(), R_OK) == 0 &&
            version > found)
            found = version;
    }
    closedir(modules);
    return found;
}

std::string Output(const std::string& command) {
    std::string output;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[4096];
        while (size_t got = fread(buffer, 1, sizeof buffer, pipe)) output.append(buffer, got);
        pclose(pipe);
    }
    return output;
}

// The machine's console: what the probe printed.
std::string Boot(const std::string& version, const std::string& initramfs, bool kvm, int seconds) {
    const std::string accelerator = kvm ? "-enable-kvm -cpu host,-arch-capabilities " : "";
    return Output("timeout " + std::to_string(seconds) + " qemu-system-x86_64 " + accelerator +
                  "-m 256 -smp 1 -nographic -no-reboot -kernel /boot/vmlinuz-" + version +
                  " -initrd " + initramfs + " -append 'console=ttyS0 quiet panic=-1 edd=off' 2>&1");
}

TEST(AlsaSequencerInAVirtualMachine, TheOwnPortListingConnectionsAndAnnouncementsWork) {
    const std::string version = KernelVersion();
    if (version.empty())
        GTEST_SKIP() << "SKIPPED: no kernel with its modules (linux-image-amd64), so the ALSA "
                        "sequencer was not tested";
    const std::string initramfs = "/tmp/mk-alsa-vm-" + std::to_string(getpid()) + ".cpio.gz";
    ASSERT_EQ(std::system((Environment("MK_VM_SCRIPT") + " '" + Environment("MK_ALSA_PROBE") +
                           "' '" + initramfs + "' '" + version + "'")
                              .c_str()),
              0);
    const bool kvm = access("/dev/kvm", R_OK | W_OK) == 0;
    std::string output = kvm ? Boot(version, initramfs, true, 15) : std::string();
    if (output.find("DONE ") == std::string::npos) {
        std::printf("%s: running the machine under qemu's emulation\n",
                    kvm ? "the machine did not boot on /dev/kvm here" : "no usable /dev/kvm");
        output = Boot(version, initramfs, false, 240);
    }
    std::remove(initramfs.c_str());
    size_t passed = 0;
    for (size_t at = 0; (at = output.find("PASS ", at)) != std::string::npos; ++at) ++passed;
    EXPECT_NE(output.find("DONE 0 failed"), std::string::npos) << output;
    EXPECT_EQ(output.find("FAIL "), std::string::npos) << output;
    EXPECT_EQ(passed, 12u) << output;
}

} // namespace

} // namespace zevaver
