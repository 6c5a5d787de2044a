// The suspend inhibitor's thread and hidden window through kernel32 and user32.
#include <cstring>

// Before <windows.h>: its macros carry the same names as the constants declared there.
#include "platform/platform.h"

#include <windows.h>

namespace os {

// The program starts one thread; its routine waits here for the trampoline to pick it up.
static ThreadRoutine startedRoutine = nullptr;
static void* startedArgument = nullptr;
// Windows before 2003 cannot tell a thread's id from its handle; the one thread's is kept.
static DWORD startedThreadId = 0;

static DWORD WINAPI threadTrampoline(LPVOID) { return startedRoutine(startedArgument); }

ThreadHandle createThread(ThreadRoutine routine, void* argument) {
    startedRoutine = routine;
    startedArgument = argument;
    return CreateThread(nullptr, 0, threadTrampoline, nullptr, 0, &startedThreadId);
}

bool setThreadPriority(ThreadHandle thread, int priority) {
    return SetThreadPriority(thread, priority) != FALSE;
}

bool postQuitMessage(ThreadHandle) {
    return PostThreadMessageA(startedThreadId, WM_QUIT, 0, 0) != FALSE;
}

bool waitForThread(ThreadHandle thread, uint32_t milliseconds) {
    return WaitForSingleObject(thread, milliseconds) == WAIT_OBJECT_0;
}

InstanceHandle moduleInstance() { return GetModuleHandleA(nullptr); }

static WindowProcedure registeredProcedure = nullptr;

static LRESULT CALLBACK windowTrampoline(HWND window, UINT message, WPARAM wParam,
                                         LPARAM lParam) {
    return registeredProcedure(window, message, wParam, lParam);
}

bool registerWindowClass(const char* className, WindowProcedure procedure,
                         InstanceHandle instance) {
    registeredProcedure = procedure;  // before the class exists: creation already sends messages
    WNDCLASSA windowClass;
    windowClass.style = 0;
    windowClass.lpfnWndProc = windowTrampoline;
    windowClass.cbClsExtra = 0;
    windowClass.cbWndExtra = 0;
    windowClass.hInstance = static_cast<HINSTANCE>(instance);
    windowClass.hIcon = nullptr;
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = nullptr;
    windowClass.lpszMenuName = nullptr;
    windowClass.lpszClassName = className;
    return RegisterClassA(&windowClass) != 0;
}

bool unregisterWindowClass(const char* className, InstanceHandle instance) {
    return UnregisterClassA(className, static_cast<HINSTANCE>(instance)) != FALSE;
}

WindowHandle createHiddenWindow(const char* className, const char* title,
                                InstanceHandle instance) {
    return CreateWindowExA(0, className, title, WS_POPUP, CW_USEDEFAULT, CW_USEDEFAULT, 0, 0,
                           nullptr, nullptr, static_cast<HINSTANCE>(instance), nullptr);
}

static_assert(sizeof(MSG) <= sizeof(Message::native), "the message record fits");

int getMessage(Message* message) {
    MSG msg;
    int result = GetMessageA(&msg, nullptr, 0, 0);
    if (result > 0) {
        message->window = msg.hwnd;
        message->message = msg.message;
        message->wParam = msg.wParam;
        message->lParam = msg.lParam;
        std::memcpy(message->native, &msg, sizeof msg);
    }
    return result;
}

void dispatchMessage(const Message* message) {
    MSG msg;
    std::memcpy(&msg, message->native, sizeof msg);
    DispatchMessageA(&msg);
}

intptr_t defWindowProc(WindowHandle window, uint32_t message, uintptr_t wParam,
                       intptr_t lParam) {
    return DefWindowProcA(static_cast<HWND>(window), message, wParam, lParam);
}

}  // namespace os
