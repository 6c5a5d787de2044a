#include "filter/matching.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "output/messages.h"
#include "run/path_tools.h"

namespace {

bool sameByte(unsigned char a, unsigned char b, bool fold) {
    return a == b || (fold && foldByte(a) == foldByte(b));
}

// How one matcher differs from the others. The forward matchers walk from the left; the tail
// matcher runs the same procedure from the right ends of both strings, over reversed copies.
struct Rules {
    bool escapes;         // \*, \? and \\ are literals; a second byte 0x5C escapes nothing
    bool fold;            // letter case ignored
    bool plainFold;       // folding only where neither byte belongs to a double-byte character
    bool endAtSeparator;  // the pattern may end before a separator of the text
    bool endAtColon;      // ... or before a drive colon
    bool starAtEndFails;  // a star met past the end of the text never matches
};

// A pattern character in the order of the walk.
struct PatternChar {
    unsigned char ch;
    bool wild;   // an unescaped * or ?
    bool star;   // an unescaped *
    bool plain;  // its first byte belongs to no double-byte character
};

// Space a match needs beside its strings, kept from call to call. It grows with the longest
// text and pattern met, in steps of 1024 places as the path buffers do, so a walk allocates
// nothing per entry; without memory the run stops.
struct Scratch {
    void* text = nullptr;  // four areas of textPlaces bytes: see areaOf
    size_t textPlaces = 0;
    void* pattern = nullptr;  // PatternChar places
    size_t patternPlaces = 0;
};
Scratch scratch;

enum Area { REVERSED_TEXT, BYTE_KINDS, COLUMN_A, COLUMN_B };

unsigned char* areaOf(Area area) {
    return static_cast<unsigned char*>(scratch.text) + area * scratch.textPlaces;
}

PatternChar* patternPlaces() { return static_cast<PatternChar*>(scratch.pattern); }

void grow(void*& block, size_t& places, size_t needed, size_t bytesPerPlace) {
    if (needed < places) return;
    size_t grownPlaces = (needed / 1024 + 1) * 1024;
    void* grown = os::reallocate(block, grownPlaces * bytesPerPlace);
    if (grown == nullptr) fatalError("メモリー不足");
    block = grown;
    places = grownPlaces;
}

// Room for a text and its terminator in each area, and for every pattern character.
void reserveScratch(size_t textLength, size_t patternLength) {
    grow(scratch.text, scratch.textPlaces, textLength + 1, 4);
    grow(scratch.pattern, scratch.patternPlaces, patternLength, sizeof(PatternChar));
}


// The forward matchers' pattern characters; answers their count.
int32_t readPattern(const char* pattern, bool escapes, PatternChar* out) {
    int32_t count = 0;
    ByteKind kind = SINGLE_BYTE;
    for (int32_t k = 0; pattern[k] != '\0'; ++count) {
        unsigned char byte = static_cast<unsigned char>(pattern[k]);
        kind = nextByteKind(kind, byte);
        unsigned char next = static_cast<unsigned char>(pattern[k + 1]);
        bool escaped = next == '*' || next == '?' || next == '\\';
        if (escapes && byte == '\\' && kind != SECOND_BYTE && escaped) {
            kind = nextByteKind(kind, next);
            out[count] = {next, false, false, true};
            k += 2;
        } else {
            out[count] = {byte, byte == '*' || byte == '?', byte == '*', kind == SINGLE_BYTE};
            k += 1;
        }
    }
    return count;
}

// One match: the text and the pattern in the order of the walk; t[n] lies past the text.
struct Match {
    const unsigned char* t;
    int32_t n;
    const char* text;  // the text as given, for its byte kinds
    bool reversed;     // t is the text from its end
    bool starBytes;    // t holds a "*" byte (names and paths never do)
    const PatternChar* p;
    int32_t m;
    Rules rules;
    mutable const unsigned char* kinds = nullptr;  // classified on the first need only
};

// byteKindAt of t[i], from one pass over the whole text.
ByteKind kindAt(const Match& a, int32_t i) {
    if (a.kinds == nullptr) {
        unsigned char* kinds = areaOf(BYTE_KINDS);
        ByteKind kind = SINGLE_BYTE;
        for (int32_t k = 0; k < a.n; ++k) {
            kind = nextByteKind(kind, static_cast<unsigned char>(a.text[k]));
            kinds[k] = static_cast<unsigned char>(kind);
        }
        if (a.reversed) std::reverse(kinds, kinds + a.n);
        a.kinds = kinds;
    }
    return static_cast<ByteKind>(a.kinds[i]);
}

bool sameForStep(const Match& a, int32_t i, int32_t c) {
    if (a.t[i] == a.p[c].ch) return true;
    if (!sameByte(a.t[i], a.p[c].ch, a.rules.fold)) return false;
    return !a.rules.plainFold || (a.p[c].plain && kindAt(a, i) == SINGLE_BYTE);
}

// Right after a star every byte is folded.
bool sameAfterStar(const Match& a, int32_t i, int32_t c) {
    return sameByte(a.t[i], a.p[c].ch, a.rules.fold);
}

bool endRuleHolds(const Match& a, int32_t i) {
    if (i >= a.n) return true;
    if (a.t[i] == ':') return a.rules.endAtColon;
    return a.rules.endAtSeparator && a.t[i] == '\\' && kindAt(a, i) != SECOND_BYTE;
}

bool onlyStarsFrom(const Match& a, int32_t c) {
    while (c < a.m && a.p[c].star) ++c;
    return c == a.m;
}

// What a run of stars needs to know of the pattern behind it, for every text position. The
// first run is asked once only: it works its answers out when asked, from the run behind it.
struct Column {
    int32_t follower = 0;  // the character after the run; m when none
    const unsigned char* onward = nullptr;  // onward[x]: the walk on from (x, follower) matches
    int32_t lastStart = -1;  // the last x where follower is same and onward[x]; -1 for none
    int32_t lastStar = -1;   // the last x holding "*" from which the run matches afresh
    const Column* behind = nullptr;  // set for a run that works out its answers when asked
};

constexpr int32_t WALK_FAILS = -1;
constexpr int32_t WALK_MATCHES = -2;

// From the matched pair (x, c), no star remembered, character by character: the answer at
// the end of the pattern, or the text position on which the next run of stars stands.
int32_t walkSegment(const Match& a, int32_t x, int32_t c) {
    for (int32_t i = x + 1;; ++i) {
        if (++c == a.m) return endRuleHolds(a, i) ? WALK_MATCHES : WALK_FAILS;
        if (a.p[c].star) {
            if (i < a.n) return i;
            return !a.rules.starAtEndFails && onlyStarsFrom(a, c) ? WALK_MATCHES : WALK_FAILS;
        }
        if (i >= a.n || (!a.p[c].wild && !sameForStep(a, i, c))) return WALK_FAILS;
    }
}

bool starsMatch(const Match& a, int32_t i, const Column& run);

bool walkOn(const Match& a, int32_t x, int32_t c, const Column& next) {
    int32_t at = walkSegment(a, x, c);
    return at >= 0 ? starsMatch(a, at, next) : at == WALK_MATCHES;
}

bool onwardAt(const Match& a, const Column& run, int32_t x) {
    if (run.behind == nullptr) return run.onward[x] != 0;
    return walkOn(a, x, run.follower, *run.behind);
}

// Whether the walk on from some x past i matches, with its first character same at x.
bool startAfter(const Match& a, const Column& run, int32_t i) {
    if (run.behind == nullptr) return i < run.lastStart;
    for (int32_t x = i + 1; x < a.n; ++x)
        if (sameForStep(a, x, run.follower) && onwardAt(a, run, x)) return true;
    return false;
}

// A "?" right after a star takes one byte; when the byte after it does not fit, the star
// looks instead for a "*" byte of the text.
bool misfitAfterQuestion(const Match& a, int32_t i, int32_t c) {
    return c < a.m && !a.p[c].star && !a.p[c].wild && i < a.n && !sameForStep(a, i, c);
}

// A run of stars standing on t[i]. When the character after it is same, the run takes its
// shortest choice and keeps it for good; otherwise it takes the first place from which the
// rest matches afresh, and the rest matching from there decides the whole match.
bool starsMatch(const Match& a, int32_t i, const Column& run) {
    int32_t f = run.follower;
    if (f == a.m) return true;
    if (i >= a.n) return false;
    if (sameAfterStar(a, i, f)) return onwardAt(a, run, i);
    if (!a.p[f].wild) return startAfter(a, run, i);
    if (i + 1 >= a.n) return false;
    return misfitAfterQuestion(a, i + 2, f + 1) ? i + 1 < run.lastStar : onwardAt(a, run, i + 1);
}

// Every answer of a run, from the run behind it.
void settle(const Match& a, Column& run, unsigned char* onward, const Column& behind) {
    run.onward = onward;
    for (int32_t x = run.follower < a.m ? a.n - 1 : -1; x >= 0; --x) {
        onward[x] = walkOn(a, x, run.follower, behind) ? 1 : 0;
        if (run.lastStart < 0 && onward[x] && sameForStep(a, x, run.follower)) run.lastStart = x;
    }
    // From a "*" byte the run's search looks only further on, where no start matched yet.
    for (int32_t x = a.starBytes ? a.n - 1 : -1; x >= 0 && run.lastStar < 0; --x)
        if (a.t[x] == '*' && starsMatch(a, x, run)) run.lastStar = x;
}

bool isLastStarOfRun(const Match& a, int32_t c) {
    return a.p[c].star && (c + 1 == a.m || !a.p[c + 1].star);
}

// Settles the runs of stars from the last to the second, each from the one behind it: time
// in proportion to the text's length times the pattern's, and two columns of memory. The
// first run is settled too when the text holds a "*" byte, which its search may fall back
// on; else it answers when asked.
void settleRuns(const Match& a, Column& first, Column& second) {
    int32_t firstRun = 0;
    while (!isLastStarOfRun(a, firstRun)) ++firstRun;
    unsigned char* areas[2] = {areaOf(COLUMN_A), areaOf(COLUMN_B)};
    int which = 0;
    for (int32_t c = a.m - 1; c > firstRun; --c) {
        if (!isLastStarOfRun(a, c)) continue;
        Column run;
        run.follower = c + 1;
        settle(a, run, areas[which], second);
        second = run;
        which ^= 1;
    }
    first.follower = firstRun + 1;
    if (a.starBytes)
        settle(a, first, areas[which], second);
    else
        first.behind = &second;
}

// The match from the pair (0, 0) once its first bytes are accepted.
bool matchFromFirstPair(const Match& a) {
    int32_t at = 0;
    if (!a.p[0].star) {
        at = walkSegment(a, 0, 0);
        if (at < 0) return at == WALK_MATCHES;
    }
    Column first, second;
    settleRuns(a, first, second);
    return starsMatch(a, at, first);
}

bool forwardMatch(const char* text, const char* pattern, const Rules& rules) {
    if (pattern[0] == '\0') return false;
    size_t length = std::strlen(text);
    reserveScratch(length, std::strlen(pattern));
    const Match a{reinterpret_cast<const unsigned char*>(text), static_cast<int32_t>(length), text,
                  false, std::strchr(text, '*') != nullptr, patternPlaces(),
                  readPattern(pattern, rules.escapes, patternPlaces()), rules};
    const PatternChar& first = a.p[0];
    if (!first.wild && (a.n == 0 || !sameForStep(a, 0, 0))) return false;
    if (first.wild && !first.star && a.n == 0) return false;
    return matchFromFirstPair(a);
}

// The mirror image of the forward procedure, from the right ends towards the starts.
bool tailMatch(const char* path, const char* pattern, bool fold) {
    size_t length = std::strlen(path), patternLength = std::strlen(pattern);
    if (patternLength == 0 || length == 0) return false;
    const int32_t n = static_cast<int32_t>(length), m = static_cast<int32_t>(patternLength);
    // The last byte is literal when it stands alone or behind a second byte 0x5C.
    const unsigned char last = static_cast<unsigned char>(pattern[m - 1]);
    bool literal = m == 1 || (pattern[m - 2] == '\\' && byteKindAt(pattern, m - 2) == SECOND_BYTE);
    bool lastSame = sameByte(static_cast<unsigned char>(path[n - 1]), last, fold);
    if ((literal || (last != '*' && last != '?')) && !lastSame) return false;
    reserveScratch(length, patternLength);
    unsigned char* reversed = areaOf(REVERSED_TEXT);
    std::reverse_copy(path, path + n, reversed);
    reversed[n] = '\0';
    PatternChar* chars = patternPlaces();
    for (int32_t k = 0; k < m; ++k) {
        unsigned char byte = static_cast<unsigned char>(pattern[m - 1 - k]);
        chars[k] = {byte, byte == '*' || byte == '?', byte == '*', true};
    }
    const Match a{reversed, n, path, true, std::strchr(path, '*') != nullptr, chars, m,
                  {false, fold, false, true, true, true}};
    return matchFromFirstPair(a);
}

bool sameByteAt(const char* a, int32_t i, const char* b, int32_t j, bool fold) {
    return sameByte(static_cast<unsigned char>(a[i]), static_cast<unsigned char>(b[j]), fold);
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
    return forwardMatch(text, pattern, {false, false, false, false, false, false});
}

bool matchWildcardNoCase(const char* text, const char* pattern) {
    return forwardMatch(text, pattern, {false, true, false, false, false, false});
}

bool matchHead(const char* path, const char* pattern) {
    return forwardMatch(path, pattern, {false, false, false, true, false, false});
}

bool matchHeadNoCase(const char* path, const char* pattern) {
    return forwardMatch(path, pattern, {false, true, false, true, false, false});
}

bool matchEscaped(const char* name, const char* pattern) {
    return forwardMatch(name, pattern, {true, false, false, false, false, false});
}

bool matchEscapedNoCase(const char* name, const char* pattern) {
    return forwardMatch(name, pattern, {true, true, false, false, false, false});
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
    return forwardMatch(name, pattern, {true, fold, true, false, false, false});
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
