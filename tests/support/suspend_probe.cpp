// Runs morvi with its standard output on a pipe that nobody reads, so that the run waits in
// its first write, and meanwhile looks for its hidden window from outside:
//   suspend_probe <morvi.exe> <argument>...
// Writes one line per finding: "window found" or "window missing", the answers to a suspend
// query and to a resume notice, "exit <code>" and "window gone" or "window left".
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

const char* const CLASS_NAME = "suspend_deny";
const DWORD PATIENCE_MS = 20000;

// One argument as the C runtime splits a command line: no argument here holds a quote, and
// backslashes are doubled before the closing one.
std::string quoted(const char* argument) {
    const std::string text = argument;
    return "\"" + text + std::string(text.size() - text.find_last_not_of('\\') - 1, '\\') + "\"";
}

// The process's window of that class, or nullptr.
HWND windowOf(DWORD processId) {
    for (HWND window = FindWindowExA(nullptr, nullptr, CLASS_NAME, nullptr); window != nullptr;
         window = FindWindowExA(nullptr, window, CLASS_NAME, nullptr)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == processId) return window;
    }
    return nullptr;
}

// Its window once the thread has made it, or nullptr when the run ended first or took too long.
HWND awaitWindow(const PROCESS_INFORMATION& run) {
    DWORD start = GetTickCount();
    for (;;) {
        if (HWND window = windowOf(run.dwProcessId)) return window;
        if (WaitForSingleObject(run.hProcess, 10) == WAIT_OBJECT_0) return nullptr;
        if (GetTickCount() - start > PATIENCE_MS) return nullptr;
    }
}

std::string answer(HWND window, WPARAM event) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(window, WM_POWERBROADCAST, event, 0, SMTO_ABORTIFHUNG, PATIENCE_MS, &result))
        return "none";
    char text[32];
    std::snprintf(text, sizeof text, "0x%lX", static_cast<unsigned long>(result));
    return text;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fputs("usage: suspend_probe morvi.exe [argument...]\n", stderr);
        return 2;
    }
    std::string commandLine = quoted(argv[1]);
    for (int k = 2; k < argc; ++k) commandLine += " " + quoted(argv[k]);

    SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherited, 0)) return 2;
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    HANDLE nothing = CreateFileA("NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherited,
                                 OPEN_EXISTING, 0, nullptr);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = nothing;
    startup.hStdOutput = writeEnd;
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION run{};
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &run)) {
        std::fprintf(stderr, "suspend_probe: cannot start %s (error %lu)\n", argv[1], GetLastError());
        return 2;
    }
    CloseHandle(writeEnd);
    CloseHandle(nothing);

    HWND window = awaitWindow(run);
    std::printf("window %s\n", window != nullptr ? "found" : "missing");
    if (window != nullptr) {
        std::printf("suspend query %s\n", answer(window, PBT_APMQUERYSUSPEND).c_str());
        std::printf("resume notice %s\n", answer(window, PBT_APMRESUMESUSPEND).c_str());
    }

    char block[65536];
    DWORD got = 0;
    while (ReadFile(readEnd, block, sizeof block, &got, nullptr) && got != 0) {
    }
    WaitForSingleObject(run.hProcess, PATIENCE_MS);
    DWORD exitCode = 0;
    GetExitCodeProcess(run.hProcess, &exitCode);
    std::printf("exit %lu\n", exitCode);
    std::printf("window %s\n", windowOf(run.dwProcessId) == nullptr ? "gone" : "left");
    return 0;
}
