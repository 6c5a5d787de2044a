#include "compare/compare_entry.h"

#include <cstring>

#include "compare/content_compare.h"
#include "filter/filter_application.h"
#include "output/result_line.h"
#include "run/run_state.h"
#include "run/settings.h"

namespace {

const char* const FILE_LABELS[] = {
    "",
    "対象外 ",
    "照合先なし ",
    "ファイル名大小不一致 ",
    "代替形式不一致 ",
    "サイズ不一致 ",
    "書込日時不一致 ",
    "生成日時不一致 ",
    "読出日付不一致 ",
    "属性不一致 ",
    "ファイル同名DIR存在 ",
    "照合元オープン不能 ",
    "照合先オープン不能 ",
    "内容不一致 ",
    "照合元読込不能 ",
    "照合先読込不能 ",
};

const char* const DIR_LABELS[] = {
    "",
    "対象外 ",
    "照合先DIRなし ",
    "ディレクトリ名大小不一致 ",
    "DIR代替形式不一致 ",
    "DIRサイズ不一致 ",
    "DIR書込日時不一致 ",
    "DIR生成日時不一致 ",
    "DIR読出日付不一致 ",
    "DIR属性不一致 ",
};


// Rounds to the 2-second steps of DOS time stamps; a time outside their range becomes 0.
os::FileTime toFatResolution(os::FileTime time) {
    uint16_t date = 0, clock = 0;
    os::FileTime rounded = 0;
    if (!os::fileTimeToDosDateTime(time, &date, &clock)) return 0;
    if (!os::dosDateTimeToFileTime(date, clock, &rounded)) return 0;
    return rounded;
}

// Drops the milliseconds, as a CD keeps whole seconds only; computed through local time
// as the platform does it.
os::FileTime toWholeSeconds(os::FileTime time) {
    os::FileTime local = 0, result = 0;
    os::SystemTime fields{};
    os::fileTimeToLocalFileTime(time, &local);
    os::fileTimeToSystemTime(local, &fields);
    fields.milliseconds = 0;
    os::systemTimeToFileTime(fields, &local);
    os::localFileTimeToFileTime(local, &result);
    return result;
}

// The three times of one side as they are compared in this run.
struct PairTimes {
    os::FileTime write, creation, access;
};

PairTimes comparableTimes(const os::FindRecord& record) {
    if (runState.fatTimeMode)
        return {toFatResolution(record.writeTime), toFatResolution(record.creationTime),
                record.accessTime};
    if (runState.cdTimeMode)
        return {toWholeSeconds(record.writeTime), toWholeSeconds(record.creationTime),
                toWholeSeconds(record.accessTime)};
    return {record.writeTime, record.creationTime, record.accessTime};
}

bool selectionNeedsDestination() {
    return settings.sameTimeOnly == SAME_TIME_WRITE || settings.sameTimeOnly == SAME_TIME_ALL ||
           settings.differentTimeOnly != 0 ||
           (settings.compareSize != 0 && settings.sameSizeOnly != 0);
}

}  // namespace

PairResult compareEntry(const os::FindRecord& source, PairKind kind, PairOrigin origin,
                        const os::FindRecord* dest) {
    const Side& sourceSide = runState.source;
    const Side& destSide = runState.dest;
    const bool isDirectory = kind == PAIR_OF_DIRECTORIES;
    if (origin == FROM_WALK && !isDirectory &&
        isFileExcluded(sourceSide.path.text, destSide.path.text,
                       sourceSide.altAccess ? sourceSide.altPath.text : nullptr))
        return RESULT_SKIPPED;

    // Looked up, the name would be a pattern, which may find another entry: never compared.
    if (source.nameIsPattern) return RESULT_SOURCE_OPEN;

    const char* sourceAccess = accessPath(sourceSide);
    const char* destAccess = accessPath(destSide);

    // The walk has already looked the destination up; a second look-up per entry would
    // cost as much as the first.
    os::FindRecord lookedUp;
    if (dest == nullptr) {
        os::SearchHandle lookup = os::findFirstFile(destAccess, &lookedUp);
        if (lookup == nullptr)
            return selectionNeedsDestination() ? RESULT_SKIPPED : RESULT_DEST_MISSING;
        os::findClose(lookup);
        dest = &lookedUp;
    }

    const PairTimes sourceTimes = comparableTimes(source);
    const PairTimes destTimes = comparableTimes(*dest);
    const bool writeAgrees = sourceTimes.write == destTimes.write;
    const bool creationAgrees = sourceTimes.creation == destTimes.creation;
    const bool accessAgrees = sourceTimes.access == destTimes.access;
    const bool sizesAgree = os::sizeOf(source) == os::sizeOf(*dest);
    const bool sizeCounts = !isDirectory || settings.compareDirSize != 0;

    if (settings.differentTimeOnly && writeAgrees) return RESULT_SKIPPED;
    if (settings.sameTimeOnly == SAME_TIME_WRITE || settings.sameTimeOnly == SAME_TIME_ALL) {
        if (!writeAgrees) return RESULT_SKIPPED;
        if (settings.sameTimeOnly == SAME_TIME_ALL &&
            (!creationAgrees || (!runState.fatTimeMode && !accessAgrees)))
            return RESULT_SKIPPED;
    }
    if (settings.compareSize && settings.sameSizeOnly && sizeCounts && !sizesAgree)
        return RESULT_SKIPPED;

    if (settings.testMode) return RESULT_MATCH;

    const bool checkNames = origin == FROM_WALK;
    if (checkNames && settings.compareNameCase && std::strcmp(source.name, dest->name) != 0)
        return RESULT_NAME_CASE;
    if (checkNames && settings.compareAltName && std::strcmp(source.altName, dest->altName) != 0)
        return RESULT_ALT_NAME;
    if (!isDirectory && (dest->attributes & os::ATTR_DIRECTORY) != 0) return RESULT_FILE_HAS_DIR_TWIN;
    if (settings.compareSize && !settings.sameSizeOnly && sizeCounts && !sizesAgree)
        return RESULT_SIZE;

    const int timeLevel = isDirectory ? settings.compareDirTime : settings.compareTime;
    if (!settings.differentTimeOnly && (timeLevel == TIME_WRITE || timeLevel == TIME_ALL) &&
        !writeAgrees)
        return RESULT_WRITE_TIME;
    if (!settings.differentTimeOnly && timeLevel == TIME_ALL) {
        if (!creationAgrees) return RESULT_CREATION_TIME;
        if (!runState.fatTimeMode && !accessAgrees) return RESULT_ACCESS_TIME;
    }

    const uint32_t attributeMask = settings.compareAttributes == ATTRIBUTES_LOW_BITS ? 0x1Fu
                                   : settings.compareAttributes == ATTRIBUTES_ALL    ? 0xFFFFFFFFu
                                                                     : 0u;
    if (((source.attributes ^ dest->attributes) & attributeMask) != 0) return RESULT_ATTRIBUTES;

    if (isDirectory) return RESULT_MATCH;

    if (settings.verbose.beginning) showProgress();
    if (!settings.compareContents) return RESULT_MATCH;
    return compareContentsOf(sourceAccess, destAccess, os::sizeOf(source), os::sizeOf(*dest));
}

ReportOutcome compareAndReport(const os::FindRecord& source, PairKind kind, PairOrigin origin,
                               const os::FindRecord* dest) {
    const PairResult result = compareEntry(source, kind, origin, dest);
    const bool isDirectory = kind == PAIR_OF_DIRECTORIES;
    if (result == RESULT_SKIPPED) {
        if (settings.verbose.skip)
            printMismatchLine(resultLabel(result, kind));
        else
            endProgressLine();
        return OUTCOME_SKIPPED;
    }
    uint32_t& compared = isDirectory ? runTotals.dirsCompared : runTotals.filesCompared;
    ++compared;
    if (result == RESULT_MATCH) {
        if (settings.verbose.complete)
            printMatchLine();
        else
            endProgressLine();
        return OUTCOME_MATCHED;
    }
    uint32_t& mismatched = isDirectory ? runTotals.dirsMismatched : runTotals.filesMismatched;
    ++mismatched;
    if (result == RESULT_FILE_HAS_DIR_TWIN) ++runTotals.fileHasDirTwin;
    if (settings.verbose.error)
        printMismatchLine(resultLabel(result, kind));
    else
        endProgressLine();
    return OUTCOME_MISMATCHED;
}

const char* resultLabel(PairResult result, PairKind kind) {
    const bool destIsBinary = runState.dest.isBinary;
    if (result == RESULT_CONTENTS && settings.textBinaryCheck && runState.source.isBinary != destIsBinary)
        return destIsBinary ? "テキスト対バイナリ " : "バイナリ対テキスト ";
    if (kind == PAIR_OF_DIRECTORIES && result < static_cast<int>(sizeof DIR_LABELS / sizeof DIR_LABELS[0]))
        return DIR_LABELS[result];
    if (result >= 0 && result < static_cast<int>(sizeof FILE_LABELS / sizeof FILE_LABELS[0]))
        return FILE_LABELS[result];
    return "";
}

