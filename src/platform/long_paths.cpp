#include "platform/long_paths.h"

#include "platform/native.h"

namespace longpath {

namespace {

bool isSeparator(char16_t unit) { return unit == u'\\' || unit == u'/'; }

bool startsWith(const text::WideText& path, const char16_t* prefix) {
    for (size_t k = 0; prefix[k] != 0; ++k)
        if (k >= path.size() || path.units()[k] != prefix[k]) return false;
    return true;
}

// X:\... or \\server\...: the full form is no longer than the path itself.
bool isAbsolute(const text::WideText& path) {
    const char16_t* units = path.units();
    if (path.size() >= 2 && isSeparator(units[0]) && isSeparator(units[1])) return true;
    return path.size() >= 3 && units[1] == u':' && isSeparator(units[2]);
}

}  // namespace

bool nativePathOf(const char* path, text::WideText& out) {
    out.clear();
    if (!text::appendUtf16(out, path)) return false;
    if (startsWith(out, u"\\\\?\\") || startsWith(out, u"\\\\.\\")) return true;
    if (isAbsolute(out) && out.size() < MAX_PATH_UNITS) return true;
    text::WideText full;
    // A path that cannot be made full is left to the call, which fails on it as it would.
    bool made = text::fillBy(full, [&](char16_t* buffer, uint32_t capacity) {
        return native::getFullPathNameW(out.units(), capacity, buffer);
    });
    if (!made || (full.size() < MAX_PATH_UNITS && out.size() < MAX_PATH_UNITS)) return true;
    out.clear();
    bool share = full.size() >= 2 && full.units()[0] == u'\\' && full.units()[1] == u'\\';
    return out.append(share ? u"\\\\?\\UNC" : u"\\\\?\\", share ? 7 : 4) &&
           out.append(full.units() + (share ? 1 : 0), full.size() - (share ? 1 : 0));
}

}  // namespace longpath
