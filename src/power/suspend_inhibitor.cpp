#include "power/suspend_inhibitor.h"

#include <cstdint>

#include "platform/platform.h"

namespace {

const char* const CLASS_NAME = "suspend_deny";
const char* const WINDOW_TITLE = "";

os::ThreadHandle inhibitorThread = nullptr;

intptr_t denySuspend(os::WindowHandle window, uint32_t message, uintptr_t wParam,
                     intptr_t lParam) {
    if (message == os::WM_POWERBROADCAST && wParam == os::PBT_APMQUERYSUSPEND)
        return os::BROADCAST_QUERY_DENY;
    return os::defWindowProc(window, message, wParam, lParam);
}

// The window is never shown: it exists only to receive the power broadcasts.
uint32_t inhibitorRoutine(void* title) {
    os::InstanceHandle instance = os::moduleInstance();
    if (!os::registerWindowClass(CLASS_NAME, denySuspend, instance)) return 1;
    os::createHiddenWindow(CLASS_NAME, static_cast<const char*>(title), instance);
    os::Message message;
    // GetMessage answers -1 on an error: that ends the loop too, instead of spinning.
    while (os::getMessage(&message) > 0) os::dispatchMessage(&message);
    return 0;
}

}  // namespace

void startSuspendInhibitor() {
    inhibitorThread = os::createThread(inhibitorRoutine, const_cast<char*>(WINDOW_TITLE));
    if (inhibitorThread != nullptr) os::setThreadPriority(inhibitorThread, os::THREAD_PRIORITY_IDLE);
}

// The thread leaves through its own message loop. Cut off by TerminateThread it could leave
// user32's locks held, and Wine reports such a thread ended while it is still going down, so
// a process exit right behind it raced it and now and then crashed the process after the
// report. An idle thread may wait long for a busy processor, so it is raised first.
void endSuspendInhibitorThread() {
    if (inhibitorThread == nullptr) return;
    os::setThreadPriority(inhibitorThread, os::THREAD_PRIORITY_NORMAL);
    // Until the thread has its message queue there is nowhere to post the quit.
    while (!os::postQuitMessage(inhibitorThread) && !os::waitForThread(inhibitorThread, 1)) {
    }
    os::waitForThread(inhibitorThread, os::WAIT_FOREVER);
    inhibitorThread = nullptr;
}

void stopSuspendInhibitor() {
    endSuspendInhibitorThread();
    os::unregisterWindowClass(CLASS_NAME, os::moduleInstance());
}
