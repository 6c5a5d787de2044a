#include "options/option_parser.h"

#include <cstring>

#include "filter/filter_lists.h"
#include "filter/matching.h"
#include "output/messages.h"
#include "platform/platform.h"
#include "run/path_tools.h"
#include "run/settings.h"

namespace {

// More fraction digits would overflow the divisor; the rest are read and dropped.
constexpr int FRACTION_DIGITS = 9;

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Where recognition failed, or nullptr once the option is applied.
using Failure = const char*;

[[noreturn]] void invalidOption(const char* argument, Failure failure, bool fromConfigFile) {
    const char* prefix = fromConfigFile ? "設定ファイル" : "";
    if (failure == argument + 1)
        stopWithMessage("%s無効オプション  %s\n※引数なしで実行すると使用方法を表示します。\n",
                        prefix, argument);
    stopWithMessage(
        "%s無効オプション  %s\n※オプション群 %s の一部が無効です。\n"
        "※引数なしで実行すると使用方法を表示します。\n",
        prefix, failure - 1, argument);
}

bool setWord(const char* option, const char* word, int32_t& field, int32_t value) {
    if (!matchOptionWord(option, word)) return false;
    field = value;
    return true;
}

// An optional "-" and the digits after it; no digits give 0. Wraps like the 32-bit field.
int32_t leadingNumber(const char* text) {
    bool negative = *text == '-';
    if (negative) ++text;
    uint32_t value = 0;
    for (; isDigit(*text); ++text) value = value * 10 + static_cast<uint32_t>(*text - '0');
    return static_cast<int32_t>(negative ? 0u - value : value);
}

// "time" and "beep": the word must be followed by the end, "-" or a digit.
bool setNumberWord(const char* option, const char* word, int32_t& field) {
    if (!hasPrefixNoCase(option, word)) return false;
    const char* rest = option + std::strlen(word);
    if (*rest != '\0' && *rest != '-' && !isDigit(*rest)) return false;
    field = leadingNumber(rest);
    return true;
}

Failure filterResult(FilterParse result, const char* option) {
    if (result == FILTER_OUT_OF_MEMORY) stopWithMessage("メモリー不足");
    return result == FILTER_TAKEN ? nullptr : option;
}

void takeLogPath(const char* name, int32_t mode) {
    os::release(settings.logPath);
    settings.logPath = nullptr;
    size_t length = std::strlen(name);
    char* copy = static_cast<char*>(os::allocate(length + 1));
    if (copy == nullptr) stopWithMessage("メモリー不足");
    std::memcpy(copy, name, length + 1);
    settings.logPath = copy;
    settings.logMode = mode;
}

void setCache(int32_t mode, uint32_t openFlags) {
    settings.cacheMode = mode;
    settings.sourceOpenFlags = openFlags;
    settings.destOpenFlags = openFlags;
}

void setEntryKind(int32_t files, int32_t dirs) {
    settings.entryKind.files = files;
    settings.entryKind.dirs = dirs;
}

void setAllVerbose(int32_t value) {
    VerboseFlags& v = settings.verbose;
    v.beginning = v.complete = v.notExist = v.error = v.skip = v.source = v.destination = v.finish =
        value;
}

Failure applyA(const char* o) {
    if (setWord(o, "acalta", settings.accessAlt, ALT_ACCESS_AUTO) ||
        setWord(o, "acalt-", settings.accessAlt, ALT_ACCESS_OFF) ||
        setWord(o, "acalt", settings.accessAlt, ALT_ACCESS_ON) ||
        setWord(o, "a-", settings.compareAttributes, ATTRIBUTES_LOW_BITS) ||
        setWord(o, "aauto", settings.compareAttributes, ATTRIBUTES_AUTO) ||
        setWord(o, "aa", settings.compareAttributes, ATTRIBUTES_ALL) ||
        setWord(o, "a", settings.compareAttributes, ATTRIBUTES_OFF))
        return nullptr;
    return o;
}

Failure applyB(const char* o) {
    if (setNumberWord(o, "beep", settings.beepThreshold) ||
        setWord(o, "bs", settings.blockSize, BLOCK_SECTOR_SIZE) ||
        setWord(o, "bc", settings.blockSize, BLOCK_CLUSTER_SIZE))
        return nullptr;
    if (o[1] != '\0' && !isDigit(o[1])) return o;
    uint32_t size = parseBlockSize(o + 1);
    // 2 GiB and more would read back as a negative block size.
    if (size > 0x7FFFFFFFu) return o;
    settings.blockSize = size == 0 ? 1048576 : static_cast<int32_t>(size);
    return nullptr;
}

Failure applyC(const char* o) {
    if (setWord(o, "contents-", settings.compareContents, 1) ||
        setWord(o, "contents", settings.compareContents, 0) ||
        setWord(o, "case-", settings.foldCase, 1) || setWord(o, "case", settings.foldCase, 0))
        return nullptr;
    if (matchOptionWord(o, "cachea")) {
        setCache(CACHE_AUTO, os::FLAG_RANDOM_ACCESS);
    } else if (matchOptionWord(o, "cache-")) {
        setCache(CACHE_BYPASS, os::FLAG_NO_BUFFERING);
    } else if (matchOptionWord(o, "cache")) {
        setCache(CACHE_USE, os::FLAG_RANDOM_ACCESS);
    } else if (!setWord(o, "c-", settings.continueOnMismatch, 0) &&
               !setWord(o, "c", settings.continueOnMismatch, 1)) {
        return o;
    }
    return nullptr;
}

Failure applyD(const char* o) {
    if (setWord(o, "difft-", settings.differentTimeOnly, 0) ||
        setWord(o, "dirs-", settings.compareDirSize, 0) ||
        setWord(o, "dirs", settings.compareDirSize, 1))
        return nullptr;
    if (matchOptionWord(o, "difft")) {
        settings.sameTimeOnly = SAME_TIME_OFF;
        settings.differentTimeOnly = 1;
        return nullptr;
    }
    FilterParse result = parseDestOption(o);
    if (result != FILTER_NOT_ITS_OPTION) return filterResult(result, o);
    if (setWord(o, "d-", settings.subDirectory, 0) || setWord(o, "d", settings.subDirectory, 1))
        return nullptr;
    return o;
}

Failure applyF(const char* o) {
    if (matchOptionWord(o, "fa") || matchOptionWord(o, "f-"))
        setEntryKind(1, 1);
    else if (matchOptionWord(o, "ff") || matchOptionWord(o, "f"))
        setEntryKind(1, 0);
    else if (matchOptionWord(o, "fd"))
        setEntryKind(0, 1);
    else
        return o;
    return nullptr;
}

Failure applyL(const char* o) {
    if (setWord(o, "log", settings.logMode, LOG_OFF)) return nullptr;
    // The file name runs to the end of the argument, "/" included.
    if (hasPrefix(o, "log")) {
        takeLogPath(o + 3, LOG_NEW);
        return nullptr;
    }
    if (hasPrefix(o, "LOG")) {
        takeLogPath(o + 3, LOG_APPEND);
        return nullptr;
    }
    return filterResult(parseLimitOption(o), o);
}

Failure applyN(const char* o) {
    if (setWord(o, "namealt-", settings.compareAltName, 0) ||
        setWord(o, "namealt", settings.compareAltName, 1) ||
        setWord(o, "name-", settings.compareNameCase, 1) ||
        setWord(o, "name", settings.compareNameCase, 0))
        return nullptr;
    return o;
}

Failure applyP(const char* o) {
    if (setWord(o, "p-", settings.pauseOutput, 0) || setWord(o, "p", settings.pauseOutput, 1))
        return nullptr;
    return o;
}

Failure applyS(const char* o) {
    if (setWord(o, "suspend-", settings.inhibitSuspend, 1) ||
        setWord(o, "suspend", settings.inhibitSuspend, 0) ||
        setWord(o, "size-", settings.compareSize, 1) ||
        setWord(o, "size", settings.compareSize, 0) ||
        setWord(o, "samet-", settings.sameTimeOnly, SAME_TIME_OFF))
        return nullptr;
    if (matchOptionWord(o, "sameta") || matchOptionWord(o, "samet")) {
        settings.differentTimeOnly = 0;
        settings.sameTimeOnly = matchOptionWord(o, "sameta") ? SAME_TIME_ALL : SAME_TIME_WRITE;
        return nullptr;
    }
    if (setWord(o, "sames-", settings.sameSizeOnly, 0) ||
        setWord(o, "sames", settings.sameSizeOnly, 1))
        return nullptr;
    return filterResult(parseSkipOption(o), o);
}

Failure applyT(const char* o) {
    if (setWord(o, "txtbin-", settings.textBinaryCheck, 0) ||
        setWord(o, "txtbin", settings.textBinaryCheck, 1) ||
        setWord(o, "test-", settings.testMode, 0) || setWord(o, "test", settings.testMode, 1) ||
        setWord(o, "td-", settings.compareDirTime, TIME_OFF) ||
        setWord(o, "tda", settings.compareDirTime, TIME_ALL) ||
        setWord(o, "td", settings.compareDirTime, TIME_WRITE) ||
        setWord(o, "t-", settings.compareTime, TIME_WRITE) ||
        setWord(o, "ta", settings.compareTime, TIME_ALL) ||
        setWord(o, "t", settings.compareTime, TIME_OFF) ||
        setNumberWord(o, "time", settings.timeThreshold))
        return nullptr;
    return o;
}

// The display-flag algebra: a sign (remove until + or =) applied to member letters.
Failure applyV(const char* o) {
    VerboseFlags& v = settings.verbose;
    if (matchOptionWord(o, "v")) {
        setAllVerbose(1);
        v.skip = 0;
        return nullptr;
    }
    int32_t sign = 0;
    for (const char* p = o + 1; *p != '\0' && *p != '/'; ++p) {
        switch (foldByte(static_cast<unsigned char>(*p))) {
            case '+': sign = 1; break;
            case '-': sign = 0; break;
            case '=':
                setAllVerbose(0);
                sign = 1;
                break;
            case 'A': setAllVerbose(sign); break;
            case 'B': v.beginning = sign; break;
            case 'C': v.complete = sign; break;
            case 'N': v.notExist = sign; break;
            case 'E': v.error = sign; break;
            case 'K': v.skip = sign; break;
            case 'S': v.source = sign; break;
            case 'D': v.destination = sign; break;
            case 'F': v.finish = sign; break;
            default: return p;
        }
    }
    return nullptr;
}

Failure applyOption(const char* o) {
    switch (foldByte(static_cast<unsigned char>(o[0]))) {
        case 'A': return applyA(o);
        case 'B': return applyB(o);
        case 'C': return applyC(o);
        case 'D': return applyD(o);
        case 'F': return applyF(o);
        case 'L': return applyL(o);
        case 'N': return applyN(o);
        case 'P': return applyP(o);
        case 'S': return applyS(o);
        case 'T': return applyT(o);
        case 'V': return applyV(o);
        default: return o;
    }
}

}  // namespace

void applyOptionGroup(const char* text, bool fromConfigFile) {
    const char* option = text + 1;
    for (;;) {
        Failure failure = applyOption(option);
        if (failure != nullptr) invalidOption(text, failure, fromConfigFile);
        // A plain search: a "/" inside a log file name or filter elements starts an option too.
        const char* next = std::strchr(option, '/');
        if (next == nullptr) return;
        option = next + 1;
    }
}

bool matchOptionWord(const char* text, const char* word) {
    size_t k = 0;
    for (; word[k] != '\0'; ++k)
        if (foldByte(static_cast<unsigned char>(text[k])) !=
            foldByte(static_cast<unsigned char>(word[k])))
            return false;
    return text[k] == '\0' || text[k] == '/';
}

bool hasPrefixNoCase(const char* text, const char* word) {
    if (word[0] == '\0') return text[0] == '\0';
    for (size_t k = 0; word[k] != '\0'; ++k)
        if (foldByte(static_cast<unsigned char>(text[k])) !=
            foldByte(static_cast<unsigned char>(word[k])))
            return false;
    return true;
}

uint32_t parseBlockSize(const char* text) {
    uint32_t whole = 0;
    for (; isDigit(*text); ++text) whole = whole * 10 + static_cast<uint32_t>(*text - '0');
    uint32_t fraction = 0, divisor = 1;
    if (*text == '.') {
        int digits = 0;
        for (++text; isDigit(*text); ++text, ++digits) {
            if (digits >= FRACTION_DIGITS) continue;
            divisor *= 10;
            fraction = fraction * 10 + static_cast<uint32_t>(*text - '0');
        }
    }
    switch (foldByte(static_cast<unsigned char>(*text))) {
        case 'K':
            while (fraction > 4194303) fraction /= 10, divisor /= 10;
            return whole * 1024u + fraction * 1024u / divisor;
        case 'M':
            while (fraction > 4095) fraction /= 10, divisor /= 10;
            return whole * 1048576u + fraction * 1048576u / divisor;
        case 'G':
            for (;;) {
                if (fraction <= 3) return whole * 1073741824u + fraction * 1073741824u / divisor;
                if (fraction == 5 && divisor == 10) return whole * 1073741824u + 536870912u;
                if (fraction <= 9) return whole * 1073741824u + fraction * (1073741824u / divisor);
                fraction /= 10;
                divisor /= 10;
            }
        default: return whole;
    }
}
