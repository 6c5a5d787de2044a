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

// An absolute path that GetFullPathNameW would give back as it stands: no "/", no name
// that is empty, "." or "..", or ends in "." or " " (which Windows drops). The walk's
// paths are all of this kind, and a deep walk spares a call per entry.
bool isFull(const text::WideText& path) {
    const char16_t* units = path.units();
    const size_t size = path.size();
    const bool share = size >= 2 && units[0] == u'\\' && units[1] == u'\\';
    const bool drive = !share && size >= 3 && units[1] == u':' && units[2] == u'\\';
    if (!share && !drive) return false;
    size_t begin = share ? 2 : 3, names = 0;  // a share's server and share name come first
    for (size_t k = begin; k <= size; ++k) {
        const bool end = k == size;
        if (!end && units[k] == u'/') return false;
        if (!end && units[k] != u'\\') continue;
        if (k == begin) {  // an empty name: only a last one, behind the root or a name
            if (!end || (share && names < 2)) return false;
        } else if (units[k - 1] == u'.' || units[k - 1] == u' ') {
            return false;
        } else {
            ++names;
        }
        begin = k + 1;
    }
    return !share || names >= 2;
}

}  // namespace

bool nativePathOf(const char* path, text::WideText& out) {
    out.clear();
    if (!text::appendUtf16(out, path)) return false;
    if (startsWith(out, u"\\\\?\\") || startsWith(out, u"\\\\.\\")) return true;
    if (isAbsolute(out) && out.size() < MAX_PATH_UNITS) return true;
    if (!isFull(out)) {
        text::WideText full;
        // A path that cannot be made full is left to the call, which fails on it as it would.
        bool made = text::fillBy(full, [&](char16_t* buffer, uint32_t capacity) {
            return native::getFullPathNameW(out.units(), capacity, buffer);
        });
        if (!made || (full.size() < MAX_PATH_UNITS && out.size() < MAX_PATH_UNITS)) return true;
        out.clear();
        if (!out.append(full.units(), full.size())) return false;
    }
    const bool share = out.units()[0] == u'\\' && out.units()[1] == u'\\';
    return share ? out.replaceFront(1, u"\\\\?\\UNC", 7) : out.replaceFront(0, u"\\\\?\\", 4);
}

}  // namespace longpath
