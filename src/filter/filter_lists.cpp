#include "filter/filter_lists.h"

#include <cstring>

#include "filter/date_size_ranges.h"
#include "filter/filter_application.h"
#include "filter/matching.h"
#include "output/messages.h"
#include "platform/platform.h"
#include "run/path_tools.h"

namespace {

bool isBlank(unsigned char byte) { return byte == 0x20 || (byte >= 0x09 && byte <= 0x0D); }

void releaseList(FilterList& list) {
    if (list.count > 0) {
        os::release(list.elements[0]);
        os::release(list.elements);
    }
    list = FilterList{};
}

// The directory form of a head element: a trailing \* or \*.* would keep the directory
// itself from passing.
void stripForDirs(FilterList& list) {
    for (int32_t k = 0; k < list.count; ++k) {
        char* element = list.elements[k];
        int32_t length = static_cast<int32_t>(std::strlen(element));
        if (length >= 2 && std::strcmp(element + length - 2, "\\*") == 0 &&
            byteKindAt(element, length - 2) != SECOND_BYTE)
            element[length - 2] = '\0';
        else if (length >= 4 && std::strcmp(element + length - 4, "\\*.*") == 0 &&
                 byteKindAt(element, length - 4) != SECOND_BYTE)
            element[length - 4] = '\0';
    }
}

FilterParse setHeadLimit(const char* text, FilterList& forFiles, FilterList& forDirs) {
    if (setFilterList(text, forFiles) != FILTER_TAKEN || setFilterList(text, forDirs) != FILTER_TAKEN)
        return FILTER_OUT_OF_MEMORY;
    stripForDirs(forDirs);
    return FILTER_TAKEN;
}

// The letters of an attribute element; a second byte of a double-byte character is no letter.
char letterAt(const char* at) {
    if (characterWidth(at) == 2) return '\0';
    return (*at >= 'A' && *at <= 'Z') ? static_cast<char>(*at - 'A' + 'a') : *at;
}

bool hasDirLetter(const char* element) {
    for (const char* at = element; *at != '\0'; at += characterWidth(at))
        if (letterAt(at) == 'd') return true;
    return false;
}

uint32_t maskOf(const char* element, bool exact) {
    uint32_t mask = hasDirLetter(element) ? os::ATTR_DIRECTORY : 0;
    for (const char* at = element; *at != '\0'; at += characterWidth(at)) {
        switch (letterAt(at)) {
            case 'a': mask |= os::ATTR_ARCHIVE; break;
            case 'h': mask |= os::ATTR_HIDDEN; break;
            case 's': mask |= os::ATTR_SYSTEM; break;
            case 'r':
                mask |= os::ATTR_READONLY;
                if (!exact) mask &= ~ATTR_WRITABLE;
                break;
            case 'w':
                mask &= ~os::ATTR_READONLY;
                if (!exact) mask |= ATTR_WRITABLE;
                break;
            default: break;
        }
    }
    return mask;
}

bool buildMasks(AttributeFilter& filter, bool exact) {
    FilterList& texts = filter.texts;
    if (texts.count == 0) return true;
    int32_t dirCount = 0;
    for (int32_t k = 0; k < texts.count; ++k)
        if (hasDirLetter(texts.elements[k])) ++dirCount;
    int32_t fileCount = texts.count - dirCount;

    uint32_t* dirMasks = nullptr;
    uint32_t* fileMasks = nullptr;
    if (dirCount > 0) {
        dirMasks = static_cast<uint32_t*>(os::allocate(sizeof(uint32_t) * dirCount));
        if (dirMasks == nullptr) return false;
    }
    if (fileCount > 0) {
        fileMasks = static_cast<uint32_t*>(os::allocate(sizeof(uint32_t) * fileCount));
        if (fileMasks == nullptr) {
            os::release(dirMasks);
            return false;
        }
    }
    filter.dirMasks = dirMasks;
    filter.fileMasks = fileMasks;
    filter.dirMaskCount = 0;
    filter.fileMaskCount = 0;
    for (int32_t k = 0; k < texts.count; ++k) {
        uint32_t mask = maskOf(texts.elements[k], exact);
        if (mask == 0) continue;
        if (hasDirLetter(texts.elements[k]))
            dirMasks[filter.dirMaskCount++] = mask;
        else
            fileMasks[filter.fileMaskCount++] = mask;
    }
    releaseList(texts);
    return true;
}

bool sameByte(char a, char b, bool fold) {
    if (!fold) return a == b;
    return foldByte(static_cast<unsigned char>(a)) == foldByte(static_cast<unsigned char>(b));
}

// At or below the root, or the root itself written without its final backslash.
bool liesWithinRoot(const char* element, const char* root, bool fold) {
    int32_t rootLength = static_cast<int32_t>(std::strlen(root));
    if (rootLength == 0) return false;
    bool rootEndsWithSeparator = endsWithSeparator(root);
    int32_t k = 0;
    for (; k < rootLength; ++k) {
        if (element[k] == '\0') return rootEndsWithSeparator && k == rootLength - 1;
        if (!sameByte(element[k], root[k], fold)) return false;
    }
    if (element[k] == '\0' || rootEndsWithSeparator) return true;
    return isSeparatorAt(element, k) && root[rootLength - 1] != ':';
}

void prependRoot(FilterList& list, int32_t index, const char* root, int32_t rootLength) {
    uintptr_t oldBase = reinterpret_cast<uintptr_t>(list.elements[0]);
    size_t offset = reinterpret_cast<uintptr_t>(list.elements[index]) - oldBase;
    size_t grownLength = static_cast<size_t>(list.textLength) + static_cast<size_t>(rootLength);
    char* buffer = static_cast<char*>(os::reallocate(list.elements[0], grownLength + 1));
    if (buffer == nullptr)
        stopWithMessage("メモリー不足で、パス対象外限定オプション処理が出来ません。");
    std::memmove(buffer + offset + rootLength, buffer + offset,
                 static_cast<size_t>(list.textLength) + 1 - offset);
    std::memcpy(buffer + offset, root, static_cast<size_t>(rootLength));
    for (int32_t k = 0; k < list.count; ++k) {
        size_t at = reinterpret_cast<uintptr_t>(list.elements[k]) - oldBase;
        list.elements[k] = buffer + at + (k > index ? static_cast<size_t>(rootLength) : 0);
    }
    list.textLength = static_cast<int32_t>(grownLength);
}

struct AnchoredList {
    FilterList& list;
    const char* message;
    bool fold;
};

void anchorList(const AnchoredList& anchored, const char* label, const char* root) {
    FilterList& list = anchored.list;
    int32_t rootLength = static_cast<int32_t>(std::strlen(root));
    const char* blank = rootLength > 0 ? " " : "";
    for (int32_t k = 0; k < list.count; ++k) {
        const char* element = list.elements[k];
        if (element[0] == '\0' && rootLength == 0) continue;
        bool absolute = element[0] == '\\' || isDrivePath(element);
        if (absolute) {
            if (!liesWithinRoot(element, root, anchored.fold))
                stopWithMessage(anchored.message, element, label, blank, root, blank);
        } else if (rootLength > 0) {
            prependRoot(list, k, root, rootLength);
        }
    }
}

}  // namespace

int32_t normalizeElements(const char* text, char* out) {
    int32_t length = 0;
    const char* blanks = nullptr;    // a run of blanks, written only when the element goes on
    bool endsWithSeparator = false;  // the last non-blank byte is a separator backslash
    bool afterLead = false;
    auto put = [&](char byte) {
        if (out != nullptr) out[length] = byte;
        ++length;
    };
    auto closeElement = [&]() {
        blanks = nullptr;
        if (endsWithSeparator) put('*');
        endsWithSeparator = false;
    };
    for (const char* at = text; *at != '\0'; ++at) {
        unsigned char byte = static_cast<unsigned char>(*at);
        bool secondByte = afterLead && isTrailByte(byte);
        afterLead = !secondByte && isLeadByte(byte);
        if (byte == ',') {
            closeElement();
            put(',');
            while (isBlank(static_cast<unsigned char>(at[1]))) ++at;
            continue;
        }
        if (isBlank(byte)) {
            if (blanks == nullptr) blanks = at;
            continue;
        }
        for (; blanks != nullptr && blanks < at; ++blanks) put(*blanks);
        blanks = nullptr;
        put(static_cast<char>(byte));
        endsWithSeparator = byte == '\\' && !secondByte;
    }
    closeElement();
    if (out != nullptr) out[length] = '\0';
    return length;
}

bool parseElementList(const char* text, FilterList& list) {
    int32_t length = normalizeElements(text, nullptr);
    if (length == 0) return true;
    char* buffer = static_cast<char*>(os::allocate(static_cast<size_t>(length) + 1));
    if (buffer == nullptr) return false;
    normalizeElements(text, buffer);
    int32_t count = 1;
    for (int32_t k = 0; k < length; ++k)
        if (buffer[k] == ',') ++count;
    char** elements = static_cast<char**>(os::allocate(sizeof(char*) * count));
    if (elements == nullptr) {
        os::release(buffer);
        return false;
    }
    elements[0] = buffer;
    int32_t next = 1;
    for (int32_t k = 0; k < length; ++k) {
        if (buffer[k] != ',') continue;
        buffer[k] = '\0';
        elements[next++] = buffer + k + 1;
    }
    list.elements = elements;
    list.count = count;
    list.textLength = length;
    return true;
}

FilterParse setFilterList(const char* text, FilterList& list) {
    releaseList(list);
    if (text[0] == '\0') return FILTER_TAKEN;
    return parseElementList(text, list) ? FILTER_TAKEN : FILTER_OUT_OF_MEMORY;
}

FilterParse parseSkipOption(const char* text) {
    const char* elements = text[1] != '\0' ? text + 2 : text + 1;
    switch (text[1]) {
        case 'h': return setFilterList(elements, settings.skipHead);
        case 'H': return setFilterList(elements, settings.skipHeadCase);
        case 't': return setFilterList(elements, settings.skipTail);
        case 'T': return setFilterList(elements, settings.skipTailCase);
        case 'p': return setFilterList(elements, settings.skipPath);
        case 'P': return setFilterList(elements, settings.skipPathCase);
        case 'd': return setFilterList(elements, settings.skipDir);
        case 'D': return setFilterList(elements, settings.skipDirCase);
        case 'f': return setFilterList(elements, settings.skipFile);
        case 'F': return setFilterList(elements, settings.skipFileCase);
        case 'e': return setFilterList(elements, settings.skipExt);
        case 'E': return setFilterList(elements, settings.skipExtCase);
        case 'a': return setFilterList(elements, settings.skipAttr.texts);
        case 'A': return setFilterList(elements, settings.skipAttrExact.texts);
        default: return FILTER_NOT_ITS_OPTION;
    }
}

FilterParse parseLimitOption(const char* text) {
    const char* elements = text[1] != '\0' ? text + 2 : text + 1;
    switch (text[1]) {
        case 'h': return setHeadLimit(elements, settings.limitHead, settings.limitHeadForDirs);
        case 'H':
            return setHeadLimit(elements, settings.limitHeadCase, settings.limitHeadForDirsCase);
        case 't': return setFilterList(elements, settings.limitTail);
        case 'T': return setFilterList(elements, settings.limitTailCase);
        case 'p': return setFilterList(elements, settings.limitPath);
        case 'P': return setFilterList(elements, settings.limitPathCase);
        case 'd': return setFilterList(elements, settings.limitDir);
        case 'D': return setFilterList(elements, settings.limitDirCase);
        case 'f': return setFilterList(elements, settings.limitFile);
        case 'F': return setFilterList(elements, settings.limitFileCase);
        case 'e': return setFilterList(elements, settings.limitExt);
        case 'E': return setFilterList(elements, settings.limitExtCase);
        case 'a': return setFilterList(elements, settings.limitAttr.texts);
        case 'A': return setFilterList(elements, settings.limitAttrExact.texts);
        case 's': case 'S': return parseSizeRange(elements);
        case 'y': case 'Y': return parseDateOption(elements);
        default: return FILTER_NOT_ITS_OPTION;
    }
}

FilterParse parseDestOption(const char* text) {
    bool skip = text[1] == 's' || text[1] == 'S';
    if (!skip && text[1] != 'l' && text[1] != 'L') return FILTER_NOT_ITS_OPTION;
    FilterList* list = nullptr;
    switch (text[2]) {
        case 'h': list = skip ? &settings.destSkipHead : &settings.destLimitHead; break;
        case 'H': list = skip ? &settings.destSkipHeadCase : &settings.destLimitHeadCase; break;
        case 'p': list = skip ? &settings.destSkipPath : &settings.destLimitPath; break;
        case 'P': list = skip ? &settings.destSkipPathCase : &settings.destLimitPathCase; break;
        default: return FILTER_NOT_ITS_OPTION;
    }
    return setFilterList(text + 3, *list);
}

bool prepareFilters() {
    if (!buildMasks(settings.skipAttr, false) || !buildMasks(settings.skipAttrExact, true) ||
        !buildMasks(settings.limitAttr, false) || !buildMasks(settings.limitAttrExact, true))
        return false;
    setFilterActivity();
    return true;
}

void anchorPathLists(const char* label, const char* root, FilterSide side) {
    Settings& s = settings;
    if (side == FilterSide::source) {
        const AnchoredList lists[] = {
            {s.skipHead, "オプション /sh%s のパスは%s%s%s%s以下ではありません。", true},
            {s.skipHeadCase, "オプション /sH%s のパスは%s%s%s%s以下ではありません。", false},
            {s.skipPath, "オプション /sp%s のパスは%s%s%s%s以下ではありません。", true},
            {s.skipPathCase, "オプション /sP%s のパスは%s%s%s%s以下ではありません。", false},
            {s.limitHead, "オプション /lh%s のパスは%s%s%s%s以下ではありません。", true},
            {s.limitHeadCase, "オプション /lH%s のパスは%s%s%s%s以下ではありません。", false},
            {s.limitHeadForDirs, "オプション /lh%s のパスは%s%s%s%s以下ではありません。", true},
            {s.limitHeadForDirsCase, "オプション /lH%s のパスは%s%s%s%s以下ではありません。", false},
            {s.limitPath, "オプション /lp%s のパスは%s%s%s%s以下ではありません。", true},
            {s.limitPathCase, "オプション /lP%s のパスは%s%s%s%s以下ではありません。", false},
        };
        for (const AnchoredList& anchored : lists) anchorList(anchored, label, root);
    } else {
        const AnchoredList lists[] = {
            {s.destSkipHead, "オプション /dsh%s のパスは%s%s%s%s以下ではありません。", true},
            {s.destSkipHeadCase, "オプション /dsH%s のパスは%s%s%s%s以下ではありません。", false},
            {s.destSkipPath, "オプション /dsp%s のパスは%s%s%s%s以下ではありません。", true},
            {s.destSkipPathCase, "オプション /dsP%s のパスは%s%s%s%s以下ではありません。", false},
            {s.destLimitHead, "オプション /dlh%s のパスは%s%s%s%s以下ではありません。", true},
            {s.destLimitHeadCase, "オプション /dlH%s のパスは%s%s%s%s以下ではありません。", false},
            {s.destLimitPath, "オプション /dlp%s のパスは%s%s%s%s以下ではありません。", true},
            {s.destLimitPathCase, "オプション /dlP%s のパスは%s%s%s%s以下ではありません。", false},
        };
        for (const AnchoredList& anchored : lists) anchorList(anchored, label, root);
    }
}
