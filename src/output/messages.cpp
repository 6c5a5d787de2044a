#include "output/messages.h"

#include <cstdarg>

#include "output/console_output.h"
#include "output/log_file.h"
#include "output/output_state.h"
#include "platform/platform.h"
#include "run/process_end.h"
#include "run/settings.h"

void stopWithMessage(const char* format, ...) {
    beforeStandardError();
    os::printStandard(os::StandardStream::error, "\n\a処理停止:");
    va_list arguments;
    va_start(arguments, format);
    os::printStandardV(os::StandardStream::error, format, arguments);
    va_end(arguments);
    os::printStandard(os::StandardStream::error, "\n");
    endProcess(1);
}

void fatalError(const char* format, ...) {
    rewindProgressLine();
    va_list arguments;
    if (logStream != nullptr) {
        writeLog("\n処理停止:");
        va_start(arguments, format);
        writeLogV(format, arguments);
        va_end(arguments);
        writeLog("\n");
        if (settings.cacheMode != CACHE_USE) std::fflush(nullptr);
    }
    if (!settings.pauseOutput) {
        beforeStandardError();
        os::printStandard(os::StandardStream::error, "\n\a処理停止:");
        va_start(arguments, format);
        os::printStandardV(os::StandardStream::error, format, arguments);
        va_end(arguments);
        os::printStandard(os::StandardStream::error, "\n");
        endProcess(1);
    }

    // Paged console: the message is kept on one page and stays readable until a key.
    if (!closeLogStream())
        os::printStandard(os::StandardStream::error, "ログ・ファイル\"%s\"の出力に異常を検出しました。\n", settings.logPath);
    // The 90 makes it at least two lines, so that the pager can prompt before the message.
    va_start(arguments, format);
    int64_t characters = estimateLength(format, arguments) + 90;
    va_end(arguments);
    pagerBeforePrint(characters, "エラー発生。続いてエラー情報を表示します(Continue,/All/Quit)");
    os::printStandard(os::StandardStream::error, "\n\a処理停止:");
    va_start(arguments, format);
    int written = os::printStandardV(os::StandardStream::error, format, arguments);
    va_end(arguments);
    os::printStandard(os::StandardStream::error, "\n");
    if (written >= 0) characters = written + 90;
    pagerAfterPrint(characters, PAGER_PROMPT);
    endProcess(1);
}
