#include "output/console_output.h"

#include <cstdio>
#include <cstring>

#include "output/log_file.h"
#include "output/output_state.h"
#include "platform/platform.h"
#include "run/process_end.h"
#include "run/settings.h"

const char* const PAGER_PROMPT = "(Continue,/All/Quit)";

namespace {

struct Pager {
    int32_t linesPerPage = 24;  // 0 or less: paging is off
    int32_t linesUsed = 0;
    int quitExitCode = 1;
    Pacer pacer;
};

Pager outputPager;
Pager errorPager;  // never set up: 24 lines and exit code 1 for the whole run

struct HelpPager {
    Pacer pacer;
    bool enabled = true;
    int quitExitCode = 1;
};

HelpPager helpPager;

constexpr uint32_t PROMPT_PAUSE_MS = 500;

enum PromptAnswer { ANSWER_ALL = 0, ANSWER_CONTINUE = 1 };

// Shows the prompt, waits for a key and erases the prompt again; a quit key ends the process.
PromptAnswer prompt(Pacer& pacer, int quitExitCode, os::StandardStream stream, const char* text) {
    waitSince(pacer, PROMPT_PAUSE_MS);
    os::printStandard(stream, "%s", text);
    std::fflush(stream == os::StandardStream::output ? stdout : stderr);
    unsigned char key = readPromptKey();
    resetPacer(pacer);
    os::printStandard(stream, "\r%*s\r", static_cast<int>(std::strlen(text)), "");
    switch (key) {
        case 0x1B:
        case 'Q':
        case 'q':
        case 0xC0:  // Q in kana mode
            endProcess(quitExitCode);
        case 'A':
        case 'a':
        case 0xC1:  // A in kana mode
            return ANSWER_ALL;
        default:
            return ANSWER_CONTINUE;
    }
}

int promptOnPager(Pager& pager, os::StandardStream stream, const char* text) {
    pager.linesUsed = 0;
    if (prompt(pager.pacer, pager.quitExitCode, stream, text) == ANSWER_ALL) {
        pager.linesPerPage = 0;
        return 0;
    }
    return 1;
}

int afterPrint(Pager& pager, os::StandardStream stream, int64_t characters, const char* text) {
    if (pager.linesPerPage < 1) return 0;
    pager.linesUsed += static_cast<int32_t>(linesOf(characters));
    if (pager.linesUsed <= pager.linesPerPage) return 1;
    return promptOnPager(pager, stream, text);
}

// The window's rows when standard output is a console, else 0.
int consoleRows() {
    int bufferHeight = 0;
    int windowRows = 0;
    if (!os::consoleScreenInfo(&bufferHeight, &windowRows) || bufferHeight <= 0) return 0;
    return windowRows;
}

int decimalDigits(uint32_t value) {
    int digits = 1;
    while (value >= 10) {
        value /= 10;
        ++digits;
    }
    return digits;
}

int64_t tabsIn(const char* text) {
    int64_t tabs = 0;
    for (; *text != '\0'; ++text)
        if (*text == '\t') ++tabs;
    return tabs;
}

[[noreturn]] void stopOnLogFailure() {
    stopWithMessage("ログ・ファイル\"%s\"の出力に異常を検出しました。", settings.logPath);
}

}  // namespace

int64_t linesOf(int64_t characters) {
    if (characters <= 0) return 0;
    return (characters + 79) / 80;
}

int64_t estimateLength(const char* format, va_list arguments) {
    va_list cursor;
    va_copy(cursor, arguments);
    int64_t length = static_cast<int64_t>(std::strlen(format)) + 7 * tabsIn(format);
    for (const char* at = std::strchr(format, '%'); at != nullptr && at[1] != '\0';
         at = std::strchr(at + 2, '%')) {
        switch (at[1]) {
            case 's': {
                const char* text = va_arg(cursor, const char*);
                if (text != nullptr)
                    length += static_cast<int64_t>(std::strlen(text)) + 7 * tabsIn(text);
                length -= 2;
                break;
            }
            case 'd':
            case 'u':
                length += decimalDigits(va_arg(cursor, uint32_t)) - 2;
                break;
            case 'c':
                (void)va_arg(cursor, int);
                length -= 1;
                break;
            case '%':
                length -= 1;
                break;
            default:  // no other conversion is used; the printed count corrects the guess
                va_end(cursor);
                return length;
        }
    }
    va_end(cursor);
    return length;
}

void resetPacer(Pacer& pacer) {
    pacer.mark = os::tickCount();
    pacer.stale = false;
}

// Elapsed time is taken modulo 2^32, so a deadline beyond the tick count's wrap is waited
// for across the wrap.
void waitSince(Pacer& pacer, uint32_t milliseconds) {
    if (pacer.stale) resetPacer(pacer);
    for (;;) {
        uint32_t elapsed = os::tickCount() - pacer.mark;
        if (elapsed > milliseconds) break;
        os::sleepMilliseconds(milliseconds - elapsed + 1);
    }
    pacer.mark = os::tickCount();
}

unsigned char readPromptKey() {
    os::flushConsoleInput();
    os::InputRecord record{};
    do {
        // A console input that cannot be read (standard input redirected) would otherwise
        // spin here for ever; its answer is "continue".
        if (!os::readConsoleInput(&record)) return 0;
    } while (record.eventType != os::KEY_EVENT);
    return record.character;
}

void writeOutput(const char* format, ...) {
    rewindProgressLine();
    bool logFailed = false;
    va_list arguments;
    if (logStream != nullptr) {
        va_start(arguments, format);
        if (writeLogV(format, arguments) < 0) logFailed = true;
        va_end(arguments);
        if (settings.cacheMode == CACHE_BYPASS) std::fflush(nullptr);
    }
    if (!settings.pauseOutput) {
        va_start(arguments, format);
        os::printStandardV(os::StandardStream::output, format, arguments);
        va_end(arguments);
        if (logFailed) stopOnLogFailure();
        return;
    }

    // The log stays closed while a prompt may wait for a key.
    bool logWasOpen = logStream != nullptr;
    if (!closeLogStream()) logFailed = true;
    va_start(arguments, format);
    int64_t characters = estimateLength(format, arguments);
    va_end(arguments);
    if (!pagerBeforePrint(characters, PAGER_PROMPT)) settings.pauseOutput = 0;
    va_start(arguments, format);
    int written = os::printStandardV(os::StandardStream::output, format, arguments);
    va_end(arguments);
    if (written > 0) characters = written;
    if (!pagerAfterPrint(characters, PAGER_PROMPT)) settings.pauseOutput = 0;
    if (logFailed) stopOnLogFailure();
    if (logWasOpen) reopenLog();
}

void consolePrint(const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    int written = os::printStandardV(os::StandardStream::output, format, arguments);
    va_end(arguments);
    pagerAfterPrint(written, PAGER_PROMPT);
}

void errorPrint(const char* format, ...) {
    beforeStandardError();
    va_list arguments;
    va_start(arguments, format);
    int written = os::printStandardV(os::StandardStream::error, format, arguments);
    va_end(arguments);
    afterPrint(errorPager, os::StandardStream::error, written, PAGER_PROMPT);
}

int plainPrint(const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    int written = os::printStandardV(os::StandardStream::output, format, arguments);
    va_end(arguments);
    return written;
}

int pagerInit(int enabled, int quitExitCode) {
    resetPacer(outputPager.pacer);
    outputPager.quitExitCode = quitExitCode;
    int rows = enabled ? consoleRows() : 0;
    outputPager.linesPerPage = rows > 0 ? rows - 2 : 0;
    return rows;
}

int pagerBeforePrint(int64_t characters, const char* prompt) {
    Pager& pager = outputPager;
    if (pager.linesPerPage < 1) return 0;
    int64_t lines = linesOf(characters);
    if (pager.linesUsed == 0 || lines < 2) return 1;
    if (pager.linesUsed + lines <= pager.linesPerPage) return 1;
    return promptOnPager(pager, os::StandardStream::output, prompt);
}

int pagerAfterPrint(int64_t characters, const char* prompt) {
    return afterPrint(outputPager, os::StandardStream::output, characters, prompt);
}

int helpPagerInit(int quitExitCode) {
    resetPacer(helpPager.pacer);
    helpPager.quitExitCode = quitExitCode;
    int rows = consoleRows();
    helpPager.enabled = rows > 0;
    return rows;
}

void helpPagerPrompt(const char* text) {
    if (!helpPager.enabled) return;
    if (prompt(helpPager.pacer, helpPager.quitExitCode, os::StandardStream::output, text) == ANSWER_ALL)
        helpPager.enabled = false;
}
