#include "compare/tree_walker.h"

#include <cstring>

#include "compare/compare_entry.h"
#include "compare/volume_probe.h"
#include "compare/walk_levels.h"
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

// A source directory that cannot be listed.
WalkOutcome sourceVanished() {
    ++runTotals.sourceVanished;
    if (settings.verbose.error) printMismatchLine("照合元行方不明 ");
    return afterMismatch();
}

// Below the first level the separator at the offset is the walk's own: testing the path
// without it asks the file system the same question and needs no copy of the path.
PathKind destinationKind(const WalkLevel& level, bool nested) {
    PathBuffer& path = runState.dest.altAccess ? runState.dest.altPath : runState.dest.path;
    int32_t offset = runState.dest.altAccess ? level.destAlt : level.dest;
    if (!nested) return pathKind(path.text);
    path.text[offset - 1] = '\0';
    PathKind kind = pathKind(path.text);
    path.text[offset - 1] = '\\';
    return kind;
}

// False when this level cannot be walked; *outcome then says whether the run goes on.
bool destinationReady(const WalkLevel& level, bool nested, WalkOutcome* outcome) {
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

os::SearchHandle openListing(const WalkLevel& level, os::FindRecord* first) {
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
const os::FindRecord* placeDestinationName(const WalkLevel& level, const os::FindRecord& entry,
                                           int32_t room, int32_t* length, int32_t* altLength,
                                           os::FindRecord* found) {
    const char* lookup = runState.dest.path.text;
    if (runState.dest.altAccess) {
        *altLength = placeName(runState.dest.altPath, level.destAlt, entry.name, room);
        lookup = runState.dest.altPath.text;
    }
    os::SearchHandle search = entry.nameIsPattern ? nullptr : os::findFirstFile(lookup, found);
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

// Where a subdirectory's entries go: behind its name and a separator.
struct Offsets {
    int32_t source, dest, sourceAlt, destAlt;
};

// True when the walk is to enter the directory; *outcome says whether the run goes on.
bool visitDirectory(const os::FindRecord& entry, const os::FindRecord* dest, const Offsets& next,
                    WalkOutcome* outcome) {
    const char* sourceAlt = runState.source.altAccess ? runState.source.altPath.text : nullptr;
    if (isDirExcluded(runState.source.path.text, runState.dest.path.text, sourceAlt)) {
        if (settings.verbose.skip) writeOutput("DIR対象外 %s\n", runState.dest.path.text);
        return false;
    }
    // A name that cannot be looked up as itself cannot be listed either.
    if (entry.nameIsPattern) {
        if (settings.entryKind.dirs || settings.subDirectory) *outcome = sourceVanished();
        return false;
    }
    if (settings.entryKind.dirs &&
        compareAndReport(entry, PAIR_OF_DIRECTORIES, FROM_WALK, dest) == OUTCOME_MISMATCHED) {
        *outcome = afterMismatch();
        return false;
    }
    if (!settings.subDirectory) return false;
    placeName(runState.source.path, next.source - 1, "\\", 0);
    placeName(runState.dest.path, next.dest - 1, "\\", 0);
    if (runState.source.altAccess) placeName(runState.source.altPath, next.sourceAlt - 1, "\\", 0);
    if (runState.dest.altAccess) placeName(runState.dest.altPath, next.destAlt - 1, "\\", 0);
    return true;
}

// Compares an entry of the innermost level; true when the walk is to enter it, as the new
// innermost level. *outcome says whether the run goes on.
bool visitEntry(WalkLevels& stack, const os::FindRecord& entry, WalkOutcome* outcome) {
    const WalkLevel& level = topLevel(stack);
    int32_t room = isDirectory(entry) ? 1 : 0;
    Offsets next{level.source, level.dest, level.sourceAlt, level.destAlt};
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

    if (isDirectory(entry)) {
        if (!visitDirectory(entry, dest, next, outcome)) return false;
        const bool throughLink = (entry.attributes & os::ATTR_REPARSE_POINT) != 0;
        pushLevel(stack, next.source, next.dest, next.sourceAlt, next.destAlt, throughLink);
        return true;
    }
    ReportOutcome compared = compareAndReport(entry, PAIR_OF_FILES, FROM_WALK, dest);
    countBytes(compared, os::sizeOf(entry));
    if (compared == OUTCOME_MISMATCHED) *outcome = afterMismatch();
    return false;
}

// The notice for a directory that is compared but not entered: its source path.
void reportLinkBack(const WalkLevel& level) {
    if (!settings.verbose.complete) return;
    char* separator = runState.source.path.text + level.source - 1;
    *separator = '\0';
    writeOutput("循環リンクのため省略 %s\n", runState.source.path.text);
    *separator = '\\';
}

// Starts the innermost level: its destination, then its listing, whose first entry lands in
// *entry. False when the level has nothing to walk; *outcome says whether the run goes on.
bool openLevel(WalkLevels& stack, os::FindRecord* entry, WalkOutcome* outcome) {
    WalkLevel& level = topLevel(stack);
    if (!destinationReady(level, stack.depth > 1, outcome)) return false;
    // What it holds is what a directory the walk is inside holds, and is walked there.
    if (level.throughLink && leadsBackToAncestor(stack)) {
        reportLinkBack(level);
        return false;
    }
    level.listing = openListing(level, entry);
    if (level.listing != nullptr) return true;
    // An empty volume root has no "." and "..": it lists nothing and is no mismatch. Any
    // other directory that lists nothing, or cannot be listed, was not verified.
    if (stack.depth == 1 && os::getLastError() == os::ERROR_FILE_NOT_FOUND &&
        std::strcmp(runState.source.root.text, runState.source.volumeRoot) == 0)
        return false;
    *outcome = sourceVanished();
    return false;
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

// Depth first, each level in the order of its listing: a subdirectory is walked completely
// when its entry is met. A stop closes every listing still open.
WalkOutcome walkDirectory() {
    const Side& source = runState.source;
    const Side& dest = runState.dest;
    WalkLevels stack;
    pushLevel(stack, source.length, dest.length, source.altLength, dest.altLength, false);
    WalkOutcome outcome = WALK_FINISHED;
    os::FindRecord entry;
    bool hasEntry = openLevel(stack, &entry, &outcome);
    while (outcome == WALK_FINISHED && stack.depth > 0) {
        if (!hasEntry) {
            popLevel(stack);
            hasEntry = stack.depth > 0 && os::findNextFile(topLevel(stack).listing, &entry);
        } else if (isWalked(entry) && visitEntry(stack, entry, &outcome)) {
            hasEntry = openLevel(stack, &entry, &outcome);
        } else {
            hasEntry = outcome == WALK_FINISHED && os::findNextFile(topLevel(stack).listing, &entry);
        }
    }
    releaseLevels(stack);
    return outcome;
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
