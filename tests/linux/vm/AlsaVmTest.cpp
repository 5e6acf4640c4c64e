// The ALSA sequencer path for real: a small virtual machine with the Debian kernel and the
// sequencer's dummy client runs the probe (AlsaProbe.cpp) as its first process. Needs
// /dev/kvm and the kernel package; where either is missing the test says plainly that it
// was skipped.
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

TEST(AlsaSequencerInAVirtualMachine, TheOwnPortListingConnectionsAndAnnouncementsWork) {
    if (access("/dev/kvm", R_OK | W_OK) != 0)
        GTEST_SKIP() << "SKIPPED: no usable /dev/kvm, so the ALSA sequencer was not tested";
    const std::string version = KernelVersion();
    if (version.empty())
        GTEST_SKIP() << "SKIPPED: no kernel with its modules (linux-image-amd64), so the ALSA "
                        "sequencer was not tested";
    const std::string initramfs = "/tmp/mk-alsa-vm-" + std::to_string(getpid()) + ".cpio.gz";
    ASSERT_EQ(std::system((Environment("MK_VM_SCRIPT") + " '" + Environment("MK_ALSA_PROBE") +
                           "' '" + initramfs + "' '" + version + "'")
                              .c_str()),
              0);
    const std::string output =
        Output("timeout 180 qemu-system-x86_64 -enable-kvm -cpu host -m 256 -smp 1 -nographic "
            "-no-reboot -kernel /boot/vmlinuz-" + version + " -initrd " + initramfs +
            " -append 'console=ttyS0 quiet panic=-1' 2>&1");
    std::remove(initramfs.c_str());
    size_t passed = 0;
    for (size_t at = 0; (at = output.find("PASS ", at)) != std::string::npos; ++at) ++passed;
    EXPECT_NE(output.find("DONE 0 failed"), std::string::npos) << output;
    EXPECT_EQ(output.find("FAIL "), std::string::npos) << output;
    EXPECT_GE(passed, 11u) << output;
}

} // namespace

} // namespace zevaver
