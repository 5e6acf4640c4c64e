// The fixture of tests of the real program: a JACK server of the suite's own (started once
// for all its tests), and for each test the display and the recorder the program plays to.
#pragma once

#include "support/JackSession.h"
#include "support/XSession.h"

#include <gtest/gtest.h>

#include <string>
#include <unistd.h>

namespace zevaver {

namespace linuxtest {

class ProgramTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        static int suites = 0;
        server_ =
            new JackServer("mk-e2e-" + std::to_string(getpid()) + "-" + std::to_string(++suites));
        ready_ = server_->Ready();
    }
    static void TearDownTestSuite() {
        delete server_;
        server_ = nullptr;
    }
    void SetUp() override {
        ASSERT_TRUE(x_.Open()) << "no X display";
        ASSERT_TRUE(ready_) << "the JACK server did not start";
        ASSERT_TRUE(recorder_.Running());
    }

    static inline JackServer* server_ = nullptr;
    static inline bool ready_ = false;
    XSession x_;
    JackRecorder recorder_;
};

} // namespace linuxtest

} // namespace zevaver
