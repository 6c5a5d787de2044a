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
    os::setThreadPriority(inhibitorThread, os::THREAD_PRIORITY_IDLE);
}

void stopSuspendInhibitor() {
    os::terminateThread(inhibitorThread, 0);
    os::waitForThread(inhibitorThread);
    os::unregisterWindowClass(CLASS_NAME, os::moduleInstance());
}
