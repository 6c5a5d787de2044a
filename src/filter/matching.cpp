#include "filter/matching.h"

#include <cstdint>
#include <cstring>

#include "run/path_tools.h"

unsigned char foldByte(unsigned char byte) {
    return byte >= 'a' && byte <= 'z' ? static_cast<unsigned char>(byte - 'a' + 'A') : byte;
}

namespace {

// How one forward matcher differs from the others.
struct ForwardRules {
    bool escapes;    // \*, \? and \\ are literals; a second byte 0x5C escapes nothing
    bool entryName;  // folding only where neither byte belongs to a double-byte character
    bool fold;       // letter case ignored
    bool headEnd;    // the pattern may end at a separator of the text
};

struct PatternChar {
    unsigned char ch;
    bool wild;  // an unescaped * or ?
    int32_t width;
};

PatternChar readPatternChar(const char* pattern, int32_t k, const ForwardRules& rules) {
    unsigned char ch = static_cast<unsigned char>(pattern[k]);
    if (rules.escapes && ch == '\\') {
        char next = pattern[k + 1];
        if ((next == '*' || next == '?' || next == '\\') && byteKindAt(pattern, k) != SECOND_BYTE)
            return {static_cast<unsigned char>(next), false, 2};
    }
    return {ch, ch == '*' || ch == '?', 1};
}

bool isStar(const PatternChar& c) { return c.wild && c.ch == '*'; }

bool sameBytes(unsigned char a, unsigned char b, bool fold) {
    return a == b || (fold && foldByte(a) == foldByte(b));
}

// The entry-name matcher folds only where neither byte belongs to a double-byte character;
// the class is looked up only when folding is what makes the two bytes equal.
bool sameAt(const char* text, int32_t i, const char* pattern, int32_t j, unsigned char ch,
            const ForwardRules& rules) {
    unsigned char byte = static_cast<unsigned char>(text[i]);
    if (byte == ch) return true;
    if (!rules.fold || foldByte(byte) != foldByte(ch)) return false;
    return !rules.entryName ||
           (byteKindAt(text, i) == SINGLE_BYTE && byteKindAt(pattern, j) == SINGLE_BYTE);
}

bool endRuleHolds(const char* text, int32_t i, const ForwardRules& rules) {
    if (text[i] == '\0') return true;
    return rules.headEnd && isSeparatorAt(text, i);
}

bool onlyStarsFrom(const char* pattern, int32_t k) {
    for (; pattern[k] != '\0'; ++k)
        if (pattern[k] != '*') return false;
    return true;
}

// Verifications that failed, by their positions in the outermost text and pattern. Outer
// stars retry the same suffixes again and again; without this, a pattern of many stars
// takes time exponential in their number. The bits live in static storage (a matcher
// allocates nothing) and are cleared only for a match that needs them.
class FailedVerifications {
public:
    void begin(const char* text, const char* pattern) {
        text_ = text;
        pattern_ = pattern;
        prepared_ = false;
    }
    bool known(int32_t i, int32_t j) {
        size_t bit;
        return place(i, j, &bit) && (bits_[bit / 8] & (1u << (bit % 8))) != 0;
    }
    void remember(int32_t i, int32_t j) {
        size_t bit;
        if (place(i, j, &bit)) bits_[bit / 8] |= static_cast<unsigned char>(1u << (bit % 8));
    }

private:
    static constexpr size_t CAPACITY_BITS = size_t{1} << 20;

    bool place(int32_t i, int32_t j, size_t* bit) {
        if (!prepared_) {
            columns_ = std::strlen(pattern_) + 1;
            size_t cells = (std::strlen(text_) + 1) * columns_;
            usable_ = cells <= CAPACITY_BITS;
            if (usable_) std::memset(bits_, 0, (cells + 7) / 8);
            prepared_ = true;
        }
        *bit = static_cast<size_t>(i) * columns_ + static_cast<size_t>(j);
        return usable_;
    }

    const char* text_ = nullptr;
    const char* pattern_ = nullptr;
    bool prepared_ = false;
    bool usable_ = false;
    size_t columns_ = 0;
    unsigned char bits_[CAPACITY_BITS / 8];
};

FailedVerifications failedVerifications;
const char* outerText = nullptr;
const char* outerPattern = nullptr;

// One left-to-right pass with a single remembered star; a star gives up its shortest
// choice for good, which is the behaviour the filters rely on. Positions name the last
// matched pair; a pattern position is where its (possibly escaped) character starts.
bool verify(const char* text, const char* pattern, const ForwardRules& rules);

bool forwardMatch(const char* text, const char* pattern, const ForwardRules& rules) {
    if (pattern[0] == '\0') return false;
    PatternChar first = readPatternChar(pattern, 0, rules);
    if (first.wild) {
        if (text[0] == '\0' && first.ch == '?') return false;
    } else if (!sameAt(text, 0, pattern, 0, first.ch, rules)) {
        return false;
    }
    int32_t i = 0, j = 0;
    int32_t star = -1, mark = -1;
    for (;;) {
        PatternChar current = readPatternChar(pattern, j, rules);
        if (!isStar(current)) {
            ++i;
            int32_t next = j + current.width;
            if (pattern[next] == '\0') return endRuleHolds(text, i, rules);
            PatternChar c = readPatternChar(pattern, next, rules);
            if (isStar(c)) {
                if (text[i] == '\0') return onlyStarsFrom(pattern, next);
                j = next;
                star = mark = -1;
                continue;
            }
            if (text[i] == '\0') return false;
            if (c.wild || sameAt(text, i, pattern, next, c.ch, rules)) {
                j = next;
                star = mark = -1;
                continue;
            }
            if (star < 0) return false;
            i = mark + 1;
            j = star;
        } else {
            while (pattern[j + 1] == '*') ++j;
            star = j;
            int32_t next = j + 1;
            if (pattern[next] == '\0') return true;
            PatternChar c = readPatternChar(pattern, next, rules);
            j = next;
            if (sameBytes(static_cast<unsigned char>(text[i]), c.ch, rules.fold)) {
                star = mark = -1;
                continue;
            }
        }
        // Search for the next place where the rest of the pattern matches afresh.
        mark = i;
        for (;;) {
            if (text[i] == '\0') return false;
            ++i;
            if (text[i] == '\0') return false;
            PatternChar c = readPatternChar(pattern, j, rules);
            if (c.wild && c.ch == '?') break;
            if (sameAt(text, i, pattern, j, c.ch, rules) && verify(text + i, pattern + j, rules))
                break;
        }
    }
}

// The same matcher run afresh on a suffix of the outermost text and pattern.
bool verify(const char* text, const char* pattern, const ForwardRules& rules) {
    int32_t i = static_cast<int32_t>(text - outerText);
    int32_t j = static_cast<int32_t>(pattern - outerPattern);
    if (failedVerifications.known(i, j)) return false;
    if (forwardMatch(text, pattern, rules)) return true;
    failedVerifications.remember(i, j);
    return false;
}

bool forwardMatchAll(const char* text, const char* pattern, const ForwardRules& rules) {
    outerText = text;
    outerPattern = pattern;
    failedVerifications.begin(text, pattern);
    return forwardMatch(text, pattern, rules);
}

bool sameByteAt(const char* a, int32_t i, const char* b, int32_t j, bool fold) {
    return sameBytes(static_cast<unsigned char>(a[i]), static_cast<unsigned char>(b[j]), fold);
}

// The mirror image of the forward pass, from (i, j) towards the starts of both strings.
bool tailMatchFrom(const char* path, int32_t i, const char* pattern, int32_t j, bool fold) {
    if (i < 0) return false;
    bool literal = j == 0 || (pattern[j - 1] == '\\' && byteKindAt(pattern, j - 1) == SECOND_BYTE);
    if (literal || (pattern[j] != '*' && pattern[j] != '?')) {
        if (!sameByteAt(path, i, pattern, j, fold)) return false;
    }
    int32_t star = -1, mark = -1;
    for (;;) {
        bool onStar = pattern[j] == '*';
        if (!onStar) {
            --i;
            --j;
            if (j < 0)
                return i < 0 || path[i] == ':' || isSeparatorAt(path, i);
            if (pattern[j] == '*') {
                if (i < 0) return false;
                star = mark = -1;
                onStar = true;
            } else {
                if (i < 0) return false;
                if (pattern[j] == '?' || sameByteAt(path, i, pattern, j, fold)) {
                    star = mark = -1;
                    continue;
                }
                if (star < 0 || mark < 0) return false;
                i = mark - 1;
                j = star;
            }
        }
        if (onStar) {
            while (j >= 0 && pattern[j] == '*') star = j--;
            if (j < 0) return true;
            if (sameByteAt(path, i, pattern, j, fold)) continue;
        }
        mark = i;
        for (;;) {
            --i;
            if (i < 0) return false;
            if (pattern[j] == '?') break;
            if (!sameByteAt(path, i, pattern, j, fold) || failedVerifications.known(i, j)) continue;
            if (tailMatchFrom(path, i, pattern, j, fold)) break;
            failedVerifications.remember(i, j);
        }
    }
}

bool tailMatch(const char* path, const char* pattern, bool fold) {
    if (pattern[0] == '\0') return false;
    failedVerifications.begin(path, pattern);
    return tailMatchFrom(path, static_cast<int32_t>(std::strlen(path)) - 1, pattern,
                         static_cast<int32_t>(std::strlen(pattern)) - 1, fold);
}

bool headOf(const char* element, const char* path, bool fold) {
    if (path[0] == '\0') return element[0] == '\0';
    int32_t k = 0;
    while (path[k] != '\0') {
        if (!sameByteAt(element, k, path, k, fold)) return false;
        if (isLeadByte(static_cast<unsigned char>(path[k]))) {
            ++k;
            if (path[k] == '\0' || element[k] == '\0') return false;
            if (!sameByteAt(element, k, path, k, fold)) return false;
        }
        ++k;
    }
    return element[k] == '\0' || element[k] == '\\';
}

}  // namespace

bool matchWildcard(const char* text, const char* pattern) {
    return forwardMatchAll(text, pattern, {false, false, false, false});
}

bool matchWildcardNoCase(const char* text, const char* pattern) {
    return forwardMatchAll(text, pattern, {false, false, true, false});
}

bool matchHead(const char* path, const char* pattern) {
    return forwardMatchAll(path, pattern, {false, false, false, true});
}

bool matchHeadNoCase(const char* path, const char* pattern) {
    return forwardMatchAll(path, pattern, {false, false, true, true});
}

bool matchEscaped(const char* name, const char* pattern) {
    return forwardMatchAll(name, pattern, {true, false, false, false});
}

bool matchEscapedNoCase(const char* name, const char* pattern) {
    return forwardMatchAll(name, pattern, {true, false, true, false});
}

bool matchTail(const char* path, const char* pattern) { return tailMatch(path, pattern, false); }

bool matchTailNoCase(const char* path, const char* pattern) {
    return tailMatch(path, pattern, true);
}

bool isHeadOf(const char* element, const char* path) { return headOf(element, path, false); }

bool isHeadOfNoCase(const char* element, const char* path) { return headOf(element, path, true); }

bool matchEntryName(const os::FindRecord& entry, const char* pattern, bool useAlternate,
                    bool fold) {
    const char* name = useAlternate && entry.altName[0] != '\0' ? entry.altName : entry.name;
    return forwardMatchAll(name, pattern, {true, true, fold, false});
}

const char* fileNamePart(const char* path) {
    const char* end = path + std::strlen(path);
    if (isNetworkPath(path)) {
        int32_t server = findByte(path + 2, '\\');
        if (server < 0 || findByte(path + 2 + server + 1, '\\') < 0) return end;
    }
    int32_t backslash = findLastByte(path, '\\');
    int32_t slash = findLastByte(path, '/');
    int32_t last = backslash > slash ? backslash : slash;
    if (last >= 0) return path + last + 1;
    if (isDrivePath(path)) return path + 2;
    return path;
}

void lastComponent(char* copy) {
    int32_t cut = findLastByte(copy, '\\');
    if (cut < 0) {
        copy[0] = '\0';
        return;
    }
    copy[cut] = '\0';
    int32_t previous = findLastByte(copy, '\\');
    const char* start = copy;
    if (previous >= 0)
        start = copy + previous + 1;
    else if (isDrivePath(copy))
        start = copy + 2;
    std::memmove(copy, start, std::strlen(start) + 1);
}

// A "\" that is the second byte of a double-byte character ends no directory name.
const char* extensionOf(const char* path) {
    const char* dot = std::strrchr(path, '.');
    if (dot == nullptr || findLastByte(path, '\\') > dot - path) return nullptr;
    return dot + 1;
}
