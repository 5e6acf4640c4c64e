// The application object's message loop helpers.
#include "framework/win/Application.h"

#include <gtest/gtest.h>

namespace zevaver {

namespace {

// Processing the pending messages inside a message sent from elsewhere (the tray icon's
// click) takes the termination request's wake-up from the queue; the main loop must still
// find one, or it waits in GetMessage until some unrelated message arrives.
TEST(Application, ATerminationRequestedWhilePendingMessagesAreProcessedStillWakesTheLoop) {
    fw::RequestTermination();
    fw::ProcessMessages();
    MSG message{};
    EXPECT_TRUE(PeekMessageA(&message, nullptr, WM_NULL, WM_NULL, PM_REMOVE));
    fw::ClearTerminationRequest();
    fw::ProcessMessages();
    EXPECT_FALSE(PeekMessageA(&message, nullptr, WM_NULL, WM_NULL, PM_REMOVE))
        << "no wake-up without a request";
}

} // namespace

} // namespace zevaver
