#include "output/log_file.h"

#include <cstdarg>
#include <cstring>
#include <ctime>

#include "output/messages.h"
#include "output/output_state.h"
#include "platform/platform.h"
#include "run/config_lines.h"
#include "run/process_end.h"
#include "run/settings.h"

namespace {

const char* const WEEKDAY_NAMES[7] = {"日", "月", "火", "水", "木", "金", "土"};

const char* const SEPARATOR_LINE =
    "-------------------------------------------------------------------------------\n";

// Every write into a log goes through the platform, where a failing disk can be imitated.
int put(FILE* stream, const char* format, ...) MORVI_PRINTF(2);
int put(FILE* stream, const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    int written = os::writeStream(stream, format, arguments);
    va_end(arguments);
    return written;
}

void writeItem(FILE* stream, const char* item) {
    put(stream, std::strchr(item, ' ') != nullptr ? "\"%s\"" : "%s", item);
}

// The C library's local time of a calendar time; all fields zero when it cannot convert.
std::tm localTimeOf(int64_t time) {
    std::tm local{};
    if (!os::localCalendarTime(time, &local)) local = std::tm{};
    return local;
}

// Writes the configuration file's option lines as command-line items; true when it wrote
// nothing, so that the next item knows it comes first.
bool echoConfigOptions(FILE* stream, const char* configPath, char switchChar) {
    FILE* file = os::openStream(configPath, "rb");
    if (file == nullptr) return true;
    char* line = static_cast<char*>(os::allocate(CONFIG_LINE_LIMIT + 1));
    char* name = static_cast<char*>(os::allocate(CONFIG_NAME_LIMIT + 1));
    bool first = true;
    if (line != nullptr && name != nullptr) {
        LineEnd lineEnd;
        // Line ends of mixed kinds were the option pass's concern; here they are just ends.
        while (readConfigLine(line, file, &lineEnd, true) == CONFIG_LINE) {
            if (line[0] == '\0') continue;
            expandEnvironmentRefs(line, name);
            if (line[0] != '/' && (line[0] == '\0' || line[0] != switchChar)) continue;
            if (!first) put(stream, " ");
            writeItem(stream, line);
            first = false;
        }
    }
    os::release(line);
    os::release(name);
    std::fclose(file);
    return first;
}

void writeCommandLine(FILE* stream, char switchChar, int argumentCount, char** arguments,
                      int leadingCount) {
    int k = 0;
    for (; k <= leadingCount && k < argumentCount; ++k) {
        if (arguments[k] == nullptr) continue;
        writeItem(stream, arguments[k]);
        put(stream, " ");
    }
    bool first = true;
    if (argumentCount > 0 && arguments[0] != nullptr) {
        char* configPath = configFilePath(arguments[0]);
        if (configPath != nullptr) {
            first = echoConfigOptions(stream, configPath, switchChar);
            os::release(configPath);
        }
    }
    for (; k < argumentCount; ++k) {
        if (!first) put(stream, " ");
        writeItem(stream, arguments[k]);
        first = false;
    }
    put(stream, "\n\n");
}

}  // namespace

FILE* openLog(const char* path, int32_t mode, char switchChar, int argumentCount,
              char** arguments, int leadingCount, const char* programName,
              const char* version, bool* heldOpen) {
    std::tm start = localTimeOf(os::calendarTimeNow());
    *heldOpen = false;
    if (os::testExclusiveOpen(path) == os::ExclusiveOpen::sharingViolation) {
        *heldOpen = true;
        return nullptr;
    }
    FILE* stream = nullptr;
    bool existed = false;
    if (mode == LOG_NEW) {
        stream = os::openStream(path, "w");
    } else {
        stream = os::openStream(path, "r+");
        existed = stream != nullptr;
        if (!existed) stream = os::openStream(path, "w+");
    }
    if (stream == nullptr) return nullptr;
    if (mode != LOG_NEW) {
        std::fseek(stream, 0, SEEK_END);
        if (existed) put(stream, "%s", SEPARATOR_LINE);
    }
    put(stream, "%s実行開始 %d年%02d月%02d日(%s) %02d時%02d分%02d秒 ［%s 第%s版］\n",
                 programName, start.tm_year + 1900, start.tm_mon + 1, start.tm_mday,
                 WEEKDAY_NAMES[start.tm_wday % 7], start.tm_hour, start.tm_min, start.tm_sec,
                 programName, version);
    writeCommandLine(stream, switchChar, argumentCount, arguments, leadingCount);
    return stream;
}

int writeLog(const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    int written = writeLogV(format, arguments);
    va_end(arguments);
    return written;
}

int writeLogV(const char* format, va_list arguments) {
    return os::writeStream(logStream, format, arguments);
}

bool closeLogStream() {
    if (logStream == nullptr) return true;
    FILE* stream = logStream;
    logStream = nullptr;
    return os::closeStream(stream) == 0;
}

void detachLog() {
    if (!closeLogStream())
        stopWithMessage("ログ・ファイル\"%s\"の出力に異常を検出しました。", settings.logPath);
}

void reopenLog() {
    logStream = os::openStream(settings.logPath, "a");
    if (logStream != nullptr) return;
    beforeStandardError();
    os::printStandard(os::StandardStream::error, "\n\a処理停止:ログ・ファイル\"%s\"が再オープン出来ません。", settings.logPath);
    endProcess(1);
}

bool finishLog(int64_t endTime, int32_t elapsedSeconds, const char* programName,
               int32_t cacheMode) {
    std::tm end = localTimeOf(endTime);
    writeLog("\n%s実行終了 %d年%02d月%02d日(%s) %02d時%02d分%02d秒（処理時間 %02d時間%02d分%02d秒）\n",
             programName, end.tm_year + 1900, end.tm_mon + 1, end.tm_mday,
             WEEKDAY_NAMES[end.tm_wday % 7], end.tm_hour, end.tm_min, end.tm_sec,
             elapsedSeconds / 3600, elapsedSeconds / 60 % 60, elapsedSeconds % 60);
    if (cacheMode != CACHE_USE) std::fflush(logStream);
    return closeLogStream();
}
