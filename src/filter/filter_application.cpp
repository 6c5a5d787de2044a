#include "filter/filter_application.h"

#include <cstring>

#include "filter/date_size_ranges.h"
#include "filter/matching.h"
#include "platform/platform.h"
#include "run/path_tools.h"
#include "run/settings.h"

FilterActivity filterActivity;

namespace {

using Matcher = bool (*)(const char* text, const char* pattern);

constexpr uint32_t EXACT_ATTRIBUTE_BITS = 0x37;

bool inUse(const FilterList& list) { return list.count > 0; }
bool inUse(const DateRange& range) { return range.start.year != -1 || range.end.year != -1; }

bool anyElement(const FilterList& list, const char* text, Matcher match) {
    for (int32_t k = 0; k < list.count; ++k)
        if (match(text, list.elements[k])) return true;
    return false;
}

// A limit list in use with no element that admits the text.
bool shutsOut(const FilterList& list, const char* text, Matcher match) {
    return inUse(list) && !anyElement(list, text, match);
}

// A directory on the way to an element, or at or below it.
bool onTheWay(const FilterList& list, const char* path, bool fold) {
    for (int32_t k = 0; k < list.count; ++k) {
        const char* element = list.elements[k];
        if (fold ? isHeadOfNoCase(element, path) || matchHeadNoCase(path, element)
                 : isHeadOf(element, path) || matchHead(path, element))
            return true;
    }
    return false;
}

bool shutsOutOnTheWay(const FilterList& list, const char* path, bool fold) {
    return inUse(list) && !onTheWay(list, path, fold);
}

// The attribute word with ATTR_WRITABLE standing for a clear read-only bit; false when it
// cannot be read.
bool attributeWordOf(const char* path, uint32_t* word) {
    uint32_t attributes = attributesOf(path);
    if (attributes == os::INVALID_ATTRIBUTES) return false;
    if ((attributes & os::ATTR_READONLY) == 0) attributes |= ATTR_WRITABLE;
    *word = attributes;
    return true;
}

bool anyMask(uint32_t word, const uint32_t* masks, int32_t count, bool exact) {
    for (int32_t k = 0; k < count; ++k) {
        uint32_t mask = masks[k];
        if (exact ? (word & EXACT_ATTRIBUTE_BITS) == mask : (word & mask) == mask) return true;
    }
    return false;
}

struct MaskSet {
    const uint32_t* masks;
    int32_t count;
};

MaskSet dirMasksOf(const AttributeFilter& filter) { return {filter.dirMasks, filter.dirMaskCount}; }
MaskSet fileMasksOf(const AttributeFilter& filter) {
    return {filter.fileMasks, filter.fileMaskCount};
}

// Skip: a readable word that some mask of either set hits.
bool masksHit(const char* path, MaskSet all, MaskSet exact) {
    if (all.count == 0 && exact.count == 0) return false;
    uint32_t word;
    if (!attributeWordOf(path, &word)) return false;
    return anyMask(word, all.masks, all.count, false) ||
           anyMask(word, exact.masks, exact.count, true);
}

// Limit: every set in use must admit the word; an unreadable word admits nothing.
bool masksShutOut(const char* path, MaskSet all, MaskSet exact) {
    if (all.count == 0 && exact.count == 0) return false;
    uint32_t word;
    if (!attributeWordOf(path, &word)) return true;
    return (all.count > 0 && !anyMask(word, all.masks, all.count, false)) ||
           (exact.count > 0 && !anyMask(word, exact.masks, exact.count, true));
}

bool lookUp(const char* path, os::FindRecord* record) {
    os::SearchHandle search = os::findFirstFile(path, record);
    if (search == nullptr) return false;
    os::findClose(search);
    return true;
}

bool timeInRange(os::FileTime time, const DateRange& range) {
    if (!inUse(range)) return true;
    DateFields fields;
    return localDateFields(time, &fields) && dateInRange(fields, range);
}

bool timesInRange(const os::FindRecord& record, const DateRange& write, const DateRange& create,
                  const DateRange& access) {
    return timeInRange(record.writeTime, write) && timeInRange(record.creationTime, create) &&
           timeInRange(record.accessTime, access);
}

bool pathSkipped(const char* path) {
    const Settings& s = settings;
    return anyElement(s.skipHead, path, matchHeadNoCase) ||
           anyElement(s.skipHeadCase, path, matchHead) ||
           anyElement(s.skipTail, path, matchTailNoCase) ||
           anyElement(s.skipTailCase, path, matchTail) ||
           anyElement(s.skipPath, path, matchWildcardNoCase) ||
           anyElement(s.skipPathCase, path, matchWildcard);
}

bool dirSkipped(const char* path, const char* access) {
    const Settings& s = settings;
    if (pathSkipped(path)) return true;
    const char* name = fileNamePart(path);
    if (name[0] != '\0' && (anyElement(s.skipDir, name, matchEscapedNoCase) ||
                            anyElement(s.skipDirCase, name, matchEscaped)))
        return true;
    return masksHit(access, dirMasksOf(s.skipAttr), dirMasksOf(s.skipAttrExact));
}

bool fileSkipped(const char* path, const char* access) {
    const Settings& s = settings;
    if (pathSkipped(path)) return true;
    const char* name = fileNamePart(path);
    if (name[0] != '\0' && (anyElement(s.skipFile, name, matchWildcardNoCase) ||
                            anyElement(s.skipFileCase, name, matchWildcard)))
        return true;
    const char* extension = extensionOf(path);
    if (extension != nullptr && (anyElement(s.skipExt, extension, matchWildcardNoCase) ||
                                 anyElement(s.skipExtCase, extension, matchWildcard)))
        return true;
    return masksHit(access, fileMasksOf(s.skipAttr), fileMasksOf(s.skipAttrExact));
}

bool destSkipped(const char* dest) {
    const Settings& s = settings;
    return anyElement(s.destSkipHead, dest, matchHeadNoCase) ||
           anyElement(s.destSkipHeadCase, dest, matchHead) ||
           anyElement(s.destSkipPath, dest, matchWildcardNoCase) ||
           anyElement(s.destSkipPathCase, dest, matchWildcard);
}

// Without memory for the copy the name lists are passed over, as for an empty name.
bool dirNameShutsOut(const char* path) {
    const Settings& s = settings;
    if (!inUse(s.limitDir) && !inUse(s.limitDirCase)) return false;
    const char* name = fileNamePart(path);
    char* copy = nullptr;
    if (name[0] == '\0') {
        size_t length = std::strlen(path);
        copy = static_cast<char*>(os::allocate(length + 1));
        if (copy == nullptr) return false;
        std::memcpy(copy, path, length + 1);
        lastComponent(copy);
        name = copy;
    }
    bool out = name[0] != '\0' && (shutsOut(s.limitDir, name, matchEscapedNoCase) ||
                                   shutsOut(s.limitDirCase, name, matchEscaped));
    os::release(copy);
    return out;
}

// A root (X: or ending in a separator) is searched as its "." entry. Without memory for
// that text the dates are not tested.
bool dirDatesShutOut(const char* access) {
    const Settings& s = settings;
    size_t length = std::strlen(access);
    char* search = nullptr;
    if (endsWithSeparatorOrColon(access)) {
        search = static_cast<char*>(os::allocate(length + 2));
        if (search == nullptr) return false;
        std::memcpy(search, access, length);
        std::memcpy(search + length, ".", 2);
    }
    os::FindRecord record;
    bool found = lookUp(search != nullptr ? search : access, &record);
    os::release(search);
    return !found || !timesInRange(record, s.dirDateWrite, s.dirDateCreate, s.dirDateAccess);
}

bool dirLimitedOut(const char* path, const char* access) {
    const Settings& s = settings;
    if (shutsOutOnTheWay(s.limitHeadForDirs, path, true) ||
        shutsOutOnTheWay(s.limitHeadForDirsCase, path, false) ||
        shutsOutOnTheWay(s.limitPath, path, true) || shutsOutOnTheWay(s.limitPathCase, path, false))
        return true;
    if (dirNameShutsOut(path)) return true;
    if (masksShutOut(access, dirMasksOf(s.limitAttr), dirMasksOf(s.limitAttrExact))) return true;
    return filterActivity.dirDateLimit && dirDatesShutOut(access);
}

bool fileLimitedOut(const char* path, const char* access) {
    const Settings& s = settings;
    if (shutsOut(s.limitHead, path, matchHeadNoCase) ||
        shutsOut(s.limitHeadCase, path, matchHead) ||
        shutsOut(s.limitTail, path, matchTailNoCase) ||
        shutsOut(s.limitTailCase, path, matchTail) ||
        shutsOut(s.limitPath, path, matchWildcardNoCase) ||
        shutsOut(s.limitPathCase, path, matchWildcard))
        return true;
    const char* name = fileNamePart(path);
    if (name[0] != '\0' && (shutsOut(s.limitFile, name, matchWildcardNoCase) ||
                            shutsOut(s.limitFileCase, name, matchWildcard)))
        return true;
    const char* extension = extensionOf(path);
    if (extension != nullptr && (shutsOut(s.limitExt, extension, matchWildcardNoCase) ||
                                 shutsOut(s.limitExtCase, extension, matchWildcard)))
        return true;
    if (masksShutOut(access, fileMasksOf(s.limitAttr), fileMasksOf(s.limitAttrExact)))
        return true;
    if (!filterActivity.sizeLimit && !filterActivity.fileDateLimit) return false;

    os::FindRecord record;
    if (!lookUp(access, &record)) return true;
    uint64_t size = os::sizeOf(record);
    if (filterActivity.sizeLimit && !sizeInRange(size)) return true;
    return filterActivity.fileDateLimit &&
           !timesInRange(record, s.dateWrite, s.dateCreate, s.dateAccess);
}

bool destDirLimitedOut(const char* dest) {
    const Settings& s = settings;
    return shutsOutOnTheWay(s.destLimitHead, dest, true) ||
           shutsOutOnTheWay(s.destLimitHeadCase, dest, false) ||
           shutsOutOnTheWay(s.destLimitPath, dest, true) ||
           shutsOutOnTheWay(s.destLimitPathCase, dest, false);
}

bool destFileLimitedOut(const char* dest) {
    const Settings& s = settings;
    return shutsOut(s.destLimitHead, dest, matchHeadNoCase) ||
           shutsOut(s.destLimitHeadCase, dest, matchHead) ||
           shutsOut(s.destLimitPath, dest, matchWildcardNoCase) ||
           shutsOut(s.destLimitPathCase, dest, matchWildcard);
}

}  // namespace

void setFilterActivity() {
    const Settings& s = settings;
    FilterActivity& a = filterActivity;
    bool pathSkip = inUse(s.skipHead) || inUse(s.skipHeadCase) || inUse(s.skipTail) ||
                    inUse(s.skipTailCase) || inUse(s.skipPath) || inUse(s.skipPathCase);
    a.sourceDirSkip = pathSkip || inUse(s.skipDir) || inUse(s.skipDirCase) ||
                      s.skipAttr.dirMaskCount > 0 || s.skipAttrExact.dirMaskCount > 0;
    a.sourceFileSkip = pathSkip || inUse(s.skipFile) || inUse(s.skipFileCase) ||
                       inUse(s.skipExt) || inUse(s.skipExtCase) ||
                       s.skipAttr.fileMaskCount > 0 || s.skipAttrExact.fileMaskCount > 0;

    a.sizeLimit = s.sizeRange.from != -1 || s.sizeRange.to != -1;
    a.fileDateLimit = inUse(s.dateWrite) || inUse(s.dateCreate) || inUse(s.dateAccess);
    a.dirDateLimit = inUse(s.dirDateWrite) || inUse(s.dirDateCreate) || inUse(s.dirDateAccess);
    bool pathLimit = inUse(s.limitHead) || inUse(s.limitHeadCase) || inUse(s.limitPath) ||
                     inUse(s.limitPathCase);
    a.sourceDirLimit = pathLimit || inUse(s.limitDir) || inUse(s.limitDirCase) ||
                       s.limitAttr.dirMaskCount > 0 || s.limitAttrExact.dirMaskCount > 0 ||
                       a.dirDateLimit;
    a.sourceFileLimit = pathLimit || inUse(s.limitTail) || inUse(s.limitTailCase) ||
                        inUse(s.limitFile) || inUse(s.limitFileCase) || inUse(s.limitExt) ||
                        inUse(s.limitExtCase) || s.limitAttr.fileMaskCount > 0 ||
                        s.limitAttrExact.fileMaskCount > 0 || a.sizeLimit || a.fileDateLimit;

    a.destDirSkip = a.destFileSkip = inUse(s.destSkipHead) || inUse(s.destSkipHeadCase) ||
                                     inUse(s.destSkipPath) || inUse(s.destSkipPathCase);
    a.destDirLimit = a.destFileLimit = inUse(s.destLimitHead) || inUse(s.destLimitHeadCase) ||
                                       inUse(s.destLimitPath) || inUse(s.destLimitPathCase);
}

bool isDirExcluded(const char* sourcePath, const char* destPath, const char* sourceAltPath) {
    const FilterActivity& a = filterActivity;
    const char* access = sourceAltPath != nullptr ? sourceAltPath : sourcePath;
    return (a.sourceDirSkip && dirSkipped(sourcePath, access)) ||
           (a.sourceDirLimit && dirLimitedOut(sourcePath, access)) ||
           (a.destDirSkip && destSkipped(destPath)) ||
           (a.destDirLimit && destDirLimitedOut(destPath));
}

bool isFileExcluded(const char* sourcePath, const char* destPath, const char* sourceAltPath) {
    const FilterActivity& a = filterActivity;
    const char* access = sourceAltPath != nullptr ? sourceAltPath : sourcePath;
    return (a.sourceFileSkip && fileSkipped(sourcePath, access)) ||
           (a.sourceFileLimit && fileLimitedOut(sourcePath, access)) ||
           (a.destFileSkip && destSkipped(destPath)) ||
           (a.destFileLimit && destFileLimitedOut(destPath));
}
