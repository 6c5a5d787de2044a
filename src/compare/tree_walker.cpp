#include "compare/tree_walker.h"

#include <cstring>

#include "compare/compare_entry.h"
#include "compare/volume_probe.h"
#include "filter/filter_application.h"
#include "filter/matching.h"
#include "output/console_output.h"
#include "output/messages.h"
#include "output/result_line.h"
#include "platform/platform.h"
#include "run/path_buffer.h"
#include "run/path_tools.h"
#include "run/run_state.h"
#include "run/settings.h"

namespace {

void growPathBuffer(PathBuffer& buffer, int32_t neededLength) {
    if (!reservePath(buffer, neededLength)) fatalError("メモリー不足で照合できません。");
}

// Where one level's names go in the four path buffers.
struct Level {
    int32_t source, dest, sourceAlt, destAlt;
};

// Writes a name at offset, keeping room for `room` more bytes behind it; answers its length.
int32_t placeName(PathBuffer& buffer, int32_t offset, const char* name, int32_t room) {
    int32_t length = static_cast<int32_t>(std::strlen(name));
    growPathBuffer(buffer, offset + length + room);
    std::memcpy(buffer.text + offset, name, static_cast<size_t>(length) + 1);
    return length;
}

// The 8.3 name where it is the shorter spelling, else the long name.
const char* altSpelling(const os::FindRecord& record) {
    size_t altLength = std::strlen(record.altName);
    return altLength != 0 && altLength < std::strlen(record.name) ? record.altName : record.name;
}

bool isDirectory(const os::FindRecord& record) {
    return (record.attributes & os::ATTR_DIRECTORY) != 0;
}


void countBytes(ReportOutcome outcome, uint64_t size) {
    if (outcome == OUTCOME_SKIPPED) return;
    runTotals.bytesCompared += size;
    if (outcome == OUTCOME_MISMATCHED) runTotals.bytesMismatched += size;
}

WalkOutcome afterMismatch() {
    return settings.continueOnMismatch ? WALK_FINISHED : WALK_STOPPED;
}

// Below the first level the separator at the offset is the walk's own: testing the path
// without it asks the file system the same question and needs no copy of the path.
PathKind destinationKind(const Level& level, bool nested) {
    PathBuffer& path = runState.dest.altAccess ? runState.dest.altPath : runState.dest.path;
    int32_t offset = runState.dest.altAccess ? level.destAlt : level.dest;
    if (!nested) return pathKind(path.text);
    path.text[offset - 1] = '\0';
    PathKind kind = pathKind(path.text);
    path.text[offset - 1] = '\\';
    return kind;
}

// False when this level cannot be walked; *outcome then says whether the run goes on.
bool destinationReady(const Level& level, bool nested, WalkOutcome* outcome) {
    switch (destinationKind(level, nested)) {
    case PATH_DIRECTORY:
        return true;
    case PATH_MISSING:
        ++runTotals.dirsMismatched;
        if (settings.verbose.notExist) printMismatchLine("照合先DIRなし ");
        break;
    case PATH_FILE:
        ++runTotals.dirsMismatched;
        ++runTotals.dirHasFileTwin;
        if (settings.verbose.error) printMismatchLine("DIR同名ファイル存在 ");
        break;
    case PATH_UNREACHABLE:
        ++runTotals.dirsMismatched;
        fatalError("照合先ドライブにアクセス出来ません。");
    }
    *outcome = afterMismatch();
    return false;
}

os::SearchHandle openListing(const Level& level, os::FindRecord* first) {
    PathBuffer& path = runState.source.altAccess ? runState.source.altPath : runState.source.path;
    int32_t offset = runState.source.altAccess ? level.sourceAlt : level.source;
    placeName(path, offset, "*", 0);
    os::SearchHandle listing = os::findFirstFile(path.text, first);
    path.text[offset] = '\0';
    return listing;
}

bool isWalked(const os::FindRecord& entry) {
    if (isDirectory(entry)) return std::strcmp(entry.name, ".") != 0 && std::strcmp(entry.name, "..") != 0;
    if (!settings.entryKind.files) return false;
    return runState.sourceTail == nullptr ||
           matchEntryName(entry, runState.sourceTail, runState.tailIsAlias != 0, settings.foldCase != 0);
}

// The destination keeps its own spelling of the name: the file system finds an entry
// regardless of letter case, and by its 8.3 name too. Answers the record found (in *found),
// or nullptr when there is none; *length and *altLength get the lengths written into the
// destination path and its alternate path.
const os::FindRecord* placeDestinationName(const Level& level, const os::FindRecord& entry,
                                           int32_t room, int32_t* length, int32_t* altLength,
                                           os::FindRecord* found) {
    const char* lookup = runState.dest.path.text;
    if (runState.dest.altAccess) {
        *altLength = placeName(runState.dest.altPath, level.destAlt, entry.name, room);
        lookup = runState.dest.altPath.text;
    }
    os::SearchHandle search = os::findFirstFile(lookup, found);
    if (search == nullptr) {
        *length = static_cast<int32_t>(std::strlen(entry.name));
        return nullptr;
    }
    os::findClose(search);
    if (runState.dest.altAccess)
        *altLength = placeName(runState.dest.altPath, level.destAlt, altSpelling(*found), room);
    *length = placeName(runState.dest.path, level.dest, found->name, room);
    return found;
}

WalkOutcome walkLevel(const Level& level, bool nested);

WalkOutcome visitDirectory(const os::FindRecord& entry, const os::FindRecord* dest,
                           const Level& next) {
    const char* sourceAlt = runState.source.altAccess ? runState.source.altPath.text : nullptr;
    if (isDirExcluded(runState.source.path.text, runState.dest.path.text, sourceAlt)) {
        if (settings.verbose.skip) writeOutput("DIR対象外 %s\n", runState.dest.path.text);
        return WALK_FINISHED;
    }
    if (settings.entryKind.dirs &&
        compareAndReport(entry, PAIR_OF_DIRECTORIES, FROM_WALK, dest) == OUTCOME_MISMATCHED)
        return afterMismatch();
    if (!settings.subDirectory) return WALK_FINISHED;
    placeName(runState.source.path, next.source - 1, "\\", 0);
    placeName(runState.dest.path, next.dest - 1, "\\", 0);
    if (runState.source.altAccess) placeName(runState.source.altPath, next.sourceAlt - 1, "\\", 0);
    if (runState.dest.altAccess) placeName(runState.dest.altPath, next.destAlt - 1, "\\", 0);
    return walkLevel(next, true);
}

WalkOutcome visitEntry(const Level& level, const os::FindRecord& entry) {
    int32_t room = isDirectory(entry) ? 1 : 0;
    Level next = level;
    next.source += placeName(runState.source.path, level.source, entry.name, room) + 1;
    placeName(runState.dest.path, level.dest, entry.name, room);
    if (runState.source.altAccess)
        next.sourceAlt += placeName(runState.source.altPath, level.sourceAlt, altSpelling(entry), room) + 1;
    int32_t destLength = 0, destAltLength = 0;
    os::FindRecord found;
    const os::FindRecord* dest =
        placeDestinationName(level, entry, room, &destLength, &destAltLength, &found);
    next.dest += destLength + 1;
    next.destAlt += destAltLength + (runState.dest.altAccess ? 1 : 0);

    if (isDirectory(entry)) return visitDirectory(entry, dest, next);
    ReportOutcome outcome = compareAndReport(entry, PAIR_OF_FILES, FROM_WALK, dest);
    countBytes(outcome, os::sizeOf(entry));
    return outcome == OUTCOME_MISMATCHED ? afterMismatch() : WALK_FINISHED;
}

WalkOutcome walkLevel(const Level& level, bool nested) {
    WalkOutcome outcome = WALK_FINISHED;
    if (!destinationReady(level, nested, &outcome)) return outcome;
    os::FindRecord entry;
    os::SearchHandle listing = openListing(level, &entry);
    if (listing == nullptr) {
        // Only a volume root can list nothing at all: empty, not vanished.
        if (os::getLastError() == os::ERROR_FILE_NOT_FOUND) return outcome;
        ++runTotals.sourceVanished;
        if (settings.verbose.error) printMismatchLine("照合元行方不明 ");
        return afterMismatch();
    }
    do {
        if (isWalked(entry)) outcome = visitEntry(level, entry);
    } while (outcome == WALK_FINISHED && os::findNextFile(listing, &entry));
    os::findClose(listing);
    return outcome;
}

// A destination that names a directory takes the source's name inside it; any other names
// the destination file itself.
void placeSingleDestination(int32_t destLength, const char* name) {
    PathBuffer& dest = runState.dest.path;
    if (endsWithSeparatorOrColon(dest.text)) {
        placeName(dest, destLength, name, 0);
    } else if (pathKind(dest.text) == PATH_DIRECTORY) {
        int32_t separator = placeName(dest, destLength, "\\", static_cast<int32_t>(std::strlen(name)));
        placeName(dest, destLength + separator, name, 0);
    }
}

}  // namespace

WalkOutcome walkDirectory() {
    const Side& source = runState.source;
    const Side& dest = runState.dest;
    return walkLevel(Level{source.length, dest.length, source.altLength, dest.altLength}, false);
}

void compareSingleFile() {
    const int32_t sourceLength = runState.source.length;
    const int32_t destLength = runState.dest.length;
    const int32_t sourceAltLength = runState.source.altLength;
    const char* tail = runState.sourceTail;
    placeName(runState.source.path, sourceLength, tail, 0);
    const char* lookup = runState.source.path.text;
    if (runState.source.altAccess) {
        placeName(runState.source.altPath, sourceAltLength, tail, 0);
        lookup = runState.source.altPath.text;
    }
    os::FindRecord found;
    os::SearchHandle search = os::findFirstFile(lookup, &found);
    if (search == nullptr) {
        ++runTotals.filesMismatched;
        if (settings.verbose.error) printMismatchLine("照合元なし ");
        return;
    }
    os::findClose(search);
    if (!settings.foldCase && std::strcmp(found.name, tail) != 0) return;

    placeName(runState.source.path, sourceLength, found.name, 0);
    if (runState.source.altAccess)
        placeName(runState.source.altPath, sourceAltLength, altSpelling(found), 0);
    placeSingleDestination(destLength, found.name);
    if (runState.dest.altAccess) {
        growPathBuffer(runState.dest.altPath, static_cast<int32_t>(std::strlen(runState.dest.path.text)));
        toAltPath(runState.dest.path.text, runState.dest.altPath.text);
    }
    PairKind kind = isDirectory(found) ? PAIR_OF_DIRECTORIES : PAIR_OF_FILES;
    ReportOutcome outcome = compareAndReport(found, kind, FROM_ARGUMENT);
    countBytes(outcome, os::sizeOf(found));
}
