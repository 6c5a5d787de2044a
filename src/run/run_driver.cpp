#include "run/run_driver.h"

#include <cstdio>
#include <cstring>

#include "compare/reader_thread.h"
#include "compare/tree_walker.h"
#include "filter/filter_lists.h"
#include "options/config_file.h"
#include "options/help_display.h"
#include "options/option_parser.h"
#include "output/console_output.h"
#include "output/log_file.h"
#include "output/messages.h"
#include "output/output_state.h"
#include "output/run_report.h"
#include "output/stopwatch.h"
#include "platform/platform.h"
#include "power/suspend_inhibitor.h"
#include "run/path_buffer.h"
#include "run/path_tools.h"
#include "run/process_end.h"
#include "run/run_state.h"
#include "run/settings.h"
#include "run/version.h"
#include "run/volume_settlement.h"

namespace {

struct Arguments {
    int count = 0;
    char** values = nullptr;
    const char* source = nullptr;
    const char* destination = nullptr;
};

bool isOptionArgument(const char* argument) {
    return argument[0] == '/' || (settings.switchChar != '\0' && argument[0] == settings.switchChar);
}

bool standardOutputIsConsole() {
    int bufferHeight = 0;
    int windowRows = 0;
    return os::consoleScreenInfo(&bufferHeight, &windowRows) && bufferHeight > 0;
}

int32_t takeWindowsNtVersion() {
    os::VersionInfo version = os::getVersion();
    if (!version.readable) return -1;
    if (version.platformId != 2) return 0;
    return static_cast<int32_t>(version.major * 100 + version.minor);
}

// The command line's options, after the configuration file's, so that they win.
void applyOptionArguments(const Arguments& arguments) {
    for (int k = 1; k < arguments.count; ++k)
        if (isOptionArgument(arguments.values[k])) applyOptionGroup(arguments.values[k], false);
}

// The path arguments; option arguments are passed over in this scan.
void scanPathArguments(Arguments& arguments) {
    for (int k = 1; k < arguments.count; ++k) {
        const char* argument = arguments.values[k];
        if (isOptionArgument(argument)) {
            if (argument[1] == '?' || matchOptionWord(argument + 1, "help"))
                showHelp(arguments.values[0]);
            continue;
        }
        if (arguments.source == nullptr)
            arguments.source = argument;
        else if (arguments.destination == nullptr)
            arguments.destination = argument;
        else
            stopWithMessage("引数が 3つ以上指定されています。");
    }
}

void allocateRunPath(PathBuffer& buffer, int32_t capacity) {
    if (!allocatePath(buffer, capacity)) fatalError("メモリー不足");
}

void resolveSourceArgument(const char* argument) {
    // An empty argument (an empty quoted string) names nothing to verify.
    if (argument[0] == '\0') fatalError("照合元パス\"%s\"がありません。", argument);
    int32_t result = resolveSource(argument, runState.source.path, &runState.sourceTail,
                                   &runState.tailIsAlias, settings.subDirectory != 0,
                                   settings.entryKind.dirs != 0, settings.entryKind.files != 0);
    if (result == SOURCE_OUT_OF_MEMORY) fatalError("メモリー不足");
    if (result == SOURCE_WITHOUT_SHARE) fatalError("照合元\"%s\"に共有名がありません。", argument);
    if (result == SOURCE_NOT_FOUND) fatalError("照合元パス\"%s\"がありません。", argument);
    runState.source.length = result;
}

void takeDestination(const char* argument) {
    PathBuffer& dest = runState.dest.path;
    // An empty argument means what an omitted one means: the current directory.
    if (argument == nullptr || argument[0] == '\0') {
        uint32_t length = os::getCurrentDirectory(static_cast<uint32_t>(dest.capacity), dest.text);
        if (length >= static_cast<uint32_t>(dest.capacity)) {
            if (!reservePath(dest, static_cast<int32_t>(length))) fatalError("メモリー不足");
            length = os::getCurrentDirectory(static_cast<uint32_t>(dest.capacity), dest.text);
        }
        if (length == 0 || length >= static_cast<uint32_t>(dest.capacity))
            fatalError("照合先の現在ディレクトリが不明です。");
    } else {
        if (isNetworkPath(argument) && findByte(argument + 2, '\\') < 0)
            fatalError("照合先\"%s\"に共有名がありません。", argument);
        if (!writePathAt(dest, 0, argument)) fatalError("メモリー不足");
        if (hasWildcard(dest.text))
            fatalError("照合先にはワイルドカードは使えません。");
    }
    runState.dest.length = static_cast<int32_t>(std::strlen(dest.text));
}

void closeDestinationForWalk() {
    PathBuffer& dest = runState.dest.path;
    int32_t length = runState.dest.length;
    if (endsWithSeparatorOrColon(dest.text)) return;
    if (!writePathAt(dest, length, "\\")) fatalError("メモリー不足");
    runState.dest.length = length + 1;
}

// The side's root: its path made full, ending in a separator, in a buffer as large as the
// path's own.
void takeFullPath(Side& side) {
    PathBuffer& root = side.root;
    allocateRunPath(root, side.path.capacity);
    const char* path = side.path.text[0] != '\0' ? side.path.text : ".";
    uint32_t length = os::getFullPathName(path, static_cast<uint32_t>(root.capacity), root.text);
    if (length >= static_cast<uint32_t>(root.capacity)) {
        if (!reservePath(root, static_cast<int32_t>(length))) fatalError("メモリー不足");
        length = os::getFullPathName(path, static_cast<uint32_t>(root.capacity), root.text);
    }
    if (length == 0 || length >= static_cast<uint32_t>(root.capacity)) root.text[0] = '\0';
    if (!endsWithSeparator(root.text) &&
        !writePathAt(root, static_cast<int32_t>(std::strlen(root.text)), "\\"))
        fatalError("メモリー不足");
}

void checkVolumesReachable() {
    if (pathKind(runState.source.path.text) == PATH_UNREACHABLE)
        fatalError("照合元ドライブにアクセス出来ません。");
    if (pathKind(runState.dest.path.text) == PATH_UNREACHABLE)
        fatalError("照合先ドライブにアクセス出来ません。");
}

void allocateReadBuffers() {
    if (settings.blockSize <= 1) return;
    size_t size = static_cast<size_t>(settings.blockSize);
    runState.source.buffer = static_cast<unsigned char*>(os::allocatePages(size));
    if (runState.source.buffer == nullptr) fatalError("メモリー不足");
    runState.dest.buffer = static_cast<unsigned char*>(os::allocatePages(size));
    if (runState.dest.buffer == nullptr) {
        os::releasePages(runState.source.buffer);
        runState.source.buffer = nullptr;
        fatalError("メモリー不足");
    }
}

void openRunLog(const Arguments& arguments) {
    bool heldOpen = false;
    logStream = openLog(settings.logPath, settings.logMode, settings.switchChar, arguments.count,
                        arguments.values, 0, COMMAND_NAME, VERSION_TEXT, &heldOpen);
    if (logStream == nullptr) {
        if (heldOpen) stopWithMessage("ログ・ファイル\"%s\"がオープン中です。", settings.logPath);
        stopWithMessage("ログ・ファイル\"%s\"がオープン出来ません。", settings.logPath);
    }
    if (settings.cacheMode != CACHE_USE) std::fflush(nullptr);
}

// The report, the log's end banner and the releases, for a finished and a stopped walk.
void finishRun() {
    ByteTexts texts{};
    if (!runState.runAborted) {
        rewindProgressLine();
        texts = prepareByteTexts();
    }
    int64_t endTime = os::calendarTimeNow();
    int32_t elapsedSeconds = stopwatchRead();
    // Otherwise the inhibitor runs until the process ends.
    if (settings.inhibitSuspend == 1 && settings.logMode == LOG_OFF && settings.pauseOutput)
        stopSuspendInhibitor();

    if (runState.runAborted)
        reportStoppedRun();
    else
        reportFinishedRun(texts, elapsedSeconds);
    writeCacheLines();
    reportProcessingTime(elapsedSeconds);
    if (settings.logMode != LOG_OFF) {
        if (!finishLog(endTime, elapsedSeconds, COMMAND_NAME, settings.cacheMode))
            stopWithMessage("ログ・ファイル\"%s\"の出力に異常を検出しました。", settings.logPath);
    }

    releasePath(runState.source.path);
    releasePath(runState.dest.path);
    os::release(runState.sourceTail);
    runState.sourceTail = nullptr;
    clearRunCachesAgain();
    releasePath(runState.source.root);
    releasePath(runState.dest.root);
}

// Whichever way the process ends: no thread of ours outlives it, and the log keeps what it
// was given.
void beforeExit() {
    endReaderThread();
    endSuspendInhibitorThread();
    closeLogStream();
}

int exitCodeOfRun() {
    if (runState.runAborted) return 1;
    if (runTotals.filesMismatched != 0 || runTotals.dirsMismatched != 0 ||
        runTotals.sourceVanished != 0)
        return 2;
    return 0;
}

}  // namespace

int morviMain(int argc, char** argv) {
    setBeforeExit(beforeExit);
    os::takeProgramArguments(&argc, &argv);
    Arguments arguments;
    arguments.count = argc;
    arguments.values = argv;

    // A console shows every line at once; a file or pipe takes them in large blocks, which
    // saves a system call per result line. Standard error is never held back, so that its
    // messages and bells keep their place among the result lines.
    if (!standardOutputIsConsole()) std::setvbuf(stdout, nullptr, _IOFBF, 1 << 16);
    std::setvbuf(stderr, nullptr, _IONBF, 0);
    runState.windowsNtVersion = takeWindowsNtVersion();
    argv[0] = findExecutablePath();
    loadSwitchChar(argv[0]);

    scanPathArguments(arguments);
    if (arguments.source == nullptr) showHelp(argv[0]);
    applyConfigFile(argv[0], settings.switchChar);
    applyOptionArguments(arguments);

    stopwatchStart();
    if (settings.logMode != LOG_OFF) openRunLog(arguments);
    if (settings.inhibitSuspend == 1) startSuspendInhibitor();

    if (settings.subDirectory == 0 && settings.entryKind.files && settings.entryKind.dirs)
        settings.entryKind.dirs = 0;
    if (!prepareFilters()) stopWithMessage("メモリー不足");
    if (settings.sameTimeOnly == SAME_TIME_WRITE || settings.sameTimeOnly == SAME_TIME_ALL) {
        settings.compareTime = TIME_OFF;
        settings.compareDirTime = TIME_OFF;
    }
    if (settings.verbose.beginning &&
        !((settings.verbose.source || settings.verbose.destination) && standardOutputIsConsole()))
        settings.verbose.beginning = 0;
    pagerInit(settings.pauseOutput, 1);
    if (settings.pauseOutput) pagerAfterPrint(80, PAGER_PROMPT);

    allocateRunPath(runState.source.path, 1024);
    allocateRunPath(runState.dest.path, 1024);
    resolveSourceArgument(arguments.source);
    takeDestination(arguments.destination);

    if (settings.entryKind.files && settings.entryKind.dirs && runState.sourceTail != nullptr)
        settings.entryKind.dirs = 0;
    runState.walkMode = settings.subDirectory != 0 || runState.sourceTail == nullptr ||
                        hasWildcard(runState.sourceTail);
    if (runState.walkMode) closeDestinationForWalk();

    takeFullPath(runState.source);
    takeFullPath(runState.dest);
    checkVolumesReachable();
    anchorPathLists("照合元", runState.source.path.text, FilterSide::source);
    anchorPathLists("照合先", runState.dest.path.text, FilterSide::destination);

    settleVolumes();
    // No open log file may hold a volume while its cache is dropped.
    if (settings.logMode != LOG_OFF) detachLog();
    clearRunCaches();
    if (settings.logMode != LOG_OFF) reopenLog();
    settleReading();

    allocateReadBuffers();

    runState.runAborted = 0;
    if (runState.walkMode) {
        if (walkDirectory() == WALK_STOPPED) runState.runAborted = 1;
    } else if (settings.entryKind.files) {
        compareSingleFile();
    }

    finishRun();
    return exitCodeOfRun();
}
