// Threads and events through kernel32; the suspend inhibitor's hidden window through user32.
#include <cstring>

// Before <windows.h>: its macros carry the same names as the constants declared there.
#include "platform/platform.h"

#include <windows.h>

namespace os {

namespace {

// What a started thread needs beyond its handle. Windows before 2003 cannot tell a thread's
// id from its handle, and the quit message is posted by id.
struct StartedThread {
    ThreadRoutine routine;
    void* argument;
    HANDLE handle;
    DWORD id;
};

StartedThread startedThreads[2];
int startedCount = 0;

DWORD WINAPI threadTrampoline(LPVOID started) {
    StartedThread* thread = static_cast<StartedThread*>(started);
    return thread->routine(thread->argument);
}

HANDLE handleOf(ThreadHandle thread) { return static_cast<StartedThread*>(thread)->handle; }

}  // namespace

// Only the main thread starts threads, so the table needs no lock.
ThreadHandle createThread(ThreadRoutine routine, void* argument) {
    if (startedCount == sizeof startedThreads / sizeof startedThreads[0]) return nullptr;
    StartedThread* thread = &startedThreads[startedCount];
    thread->routine = routine;
    thread->argument = argument;
    // Windows 9x fails CreateThread without a place for the id.
    thread->handle = CreateThread(nullptr, 0, threadTrampoline, thread, 0, &thread->id);
    if (thread->handle == nullptr) return nullptr;
    ++startedCount;
    return thread;
}

bool setThreadPriority(ThreadHandle thread, int priority) {
    return SetThreadPriority(handleOf(thread), priority) != FALSE;
}

bool postQuitMessage(ThreadHandle thread) {
    return PostThreadMessageA(static_cast<StartedThread*>(thread)->id, WM_QUIT, 0, 0) != FALSE;
}

bool waitForThread(ThreadHandle thread, uint32_t milliseconds) {
    return WaitForSingleObject(handleOf(thread), milliseconds) == WAIT_OBJECT_0;
}

uint32_t processorCount() {
    SYSTEM_INFO info;
    GetSystemInfo(&info);
    return info.dwNumberOfProcessors;
}

EventHandle createEvent() { return CreateEventA(nullptr, FALSE, FALSE, nullptr); }

bool setEvent(EventHandle event) { return SetEvent(event) != FALSE; }

bool waitForEvent(EventHandle event, uint32_t milliseconds) {
    return WaitForSingleObject(event, milliseconds) == WAIT_OBJECT_0;
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
