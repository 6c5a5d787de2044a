#include "platform/sim/paths.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace sim {

static char16_t upper(char16_t c) { return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - 32) : c; }

bool sameName(const Name& a, const Name& b) {
    if (a.size() != b.size()) return false;
    for (size_t k = 0; k < a.size(); ++k)
        if (upper(a[k]) != upper(b[k])) return false;
    return true;
}

bool wildcardMatches(const char16_t* pattern, const char16_t* name) {
    if (Name(pattern) == u"*.*") return true;
    if (*pattern == 0) return *name == 0;
    if (*pattern == u'*') {
        for (const char16_t* rest = name;; ++rest) {
            if (wildcardMatches(pattern + 1, rest)) return true;
            if (*rest == 0) return false;
        }
    }
    if (*name == 0) return false;
    if (*pattern == u'?' || upper(*pattern) == upper(*name)) return wildcardMatches(pattern + 1, name + 1);
    return false;
}

static std::vector<Name> split(const Name& text, bool slashToo) {
    std::vector<Name> parts;
    Name part;
    for (char16_t unit : text) {
        if (unit == u'\\' || (slashToo && unit == u'/')) {
            parts.push_back(part);
            part.clear();
        } else {
            part += unit;
        }
    }
    parts.push_back(part);
    return parts;
}

struct Rooted {
    Name root;  // "C:\" or "\\server\share\"
    std::vector<Name> components;
    bool trailing = false;
    bool longForm = false;
};

static const Name LONG_PREFIX = u"\\\\?\\";
static const Name LONG_SHARE_PREFIX = u"\\\\?\\UNC\\";

static bool startsWith(std::u16string_view text, const Name& prefix) { return text.compare(0, prefix.size(), prefix) == 0; }

// How a path names a volume and the entries below its root:
//   path                  root                   components
//   \\server\share\a\b    \\server\share\        a, b
//   C:\a\b                C:\                    a, b
//   C:a                   C:\                    the current directory's, then a, when the
//                                                current directory is on C:; else a
//   \a                    the current directory's root    a
//   a                     the current directory's root    the current directory's, then a
//   \\?\C:\a\b            C:\                    a, b, taken as they stand
//   \\?\UNC\server\s\a    \\server\s\            a, taken as they stand
// "." is dropped and ".." takes one back, never above the root; "/" separates as "\" does;
// letters in names compare without regard to ASCII case. Behind \\?\ nothing is
// normalized: "/" is a character, "." and ".." are names that no directory holds.
static Rooted rooted(const Name& given) {
    Rooted out;
    Name path = given;
    if (startsWith(path, LONG_SHARE_PREFIX)) {
        out.longForm = true;
        path = u"\\\\" + path.substr(LONG_SHARE_PREFIX.size());
    } else if (startsWith(path, LONG_PREFIX)) {
        out.longForm = true;
        path = path.substr(LONG_PREFIX.size());
        if (path.size() < 3 || path[1] != u':' || path[2] != u'\\') return out;  // no volume
    }
    const bool slashToo = !out.longForm;
    Name rest;
    const Name cwd = wide(machine().currentDirectory);
    if (path.size() >= 2 && path[0] == u'\\' && path[1] == u'\\') {
        std::vector<Name> parts = split(path.substr(2), slashToo);
        Name server = parts.size() > 0 ? parts[0] : Name();
        Name share = parts.size() > 1 ? parts[1] : Name();
        out.root = u"\\\\" + server + u"\\" + share + u"\\";
        for (size_t k = 2; k < parts.size(); ++k) rest += (k > 2 ? u"\\" : u"") + parts[k];
    } else if (path.size() >= 2 && path[1] == u':') {
        out.root = Name(1, upper(path[0])) + u":\\";
        if (path.size() >= 3 && (path[2] == u'\\' || (slashToo && path[2] == u'/'))) {
            rest = path.substr(3);
        } else if (upper(cwd[0]) == upper(path[0])) {
            rest = cwd.substr(3) + (path.size() > 2 ? u"\\" + path.substr(2) : u"");
        } else {
            rest = path.substr(2);
        }
    } else if (!path.empty() && (path[0] == u'\\' || path[0] == u'/')) {
        out.root = cwd.substr(0, 3);
        rest = path.substr(1);
    } else {
        out.root = cwd.substr(0, 3);
        rest = cwd.substr(3) + (path.empty() ? u"" : u"\\" + path);
    }
    for (const Name& part : split(rest, slashToo)) {
        if (part.empty() || (!out.longForm && part == u".")) continue;
        if (!out.longForm && part == u"..") {
            if (!out.components.empty()) out.components.pop_back();
            continue;
        }
        out.components.push_back(part);
    }
    out.trailing = !path.empty() && (path.back() == u'\\' || (slashToo && path.back() == u'/'));
    return out;
}

Name fullPathOf(const Name& path) {
    if (startsWith(path, LONG_PREFIX)) return path;  // as GetFullPathNameW leaves it
    Rooted at = rooted(path);
    Name full = at.root;
    for (size_t k = 0; k < at.components.size(); ++k) full += (k ? u"\\" : u"") + at.components[k];
    if (at.trailing && !at.components.empty()) full += u"\\";
    return full;
}

bool beyondMaxPath(const char16_t* path) {
    for (size_t k = 0; k < LONG_PREFIX.size(); ++k)  // the long form, told without a length
        if (path[k] != LONG_PREFIX[k]) {
            const std::u16string_view given(path);
            return given.size() >= MAX_PATH_UNITS || fullPathOf(Name(given)).size() >= MAX_PATH_UNITS;
        }
    return false;
}

std::vector<Name> namesBelowRoot(const Name& path) { return rooted(path).components; }

// Directory links, as Windows follows junctions and symbolic links to directories: a path
// that goes on through a link goes on in the directory it leads to (on that directory's
// volume), while a path that ends at a link names the link itself (listings, look-ups and
// attributes report the link, 0x410). A link to a missing target leads nowhere, and so does a
// path through more than 63 links, where Windows gives up.
constexpr int MOST_LINKS_FOLLOWED = 63;

static Resolved resolveThrough(const Name& path, int* linksFollowed);

static Node* followLinksCounting(Node* node, Volume** holder, int* linksFollowed) {
    while (node != nullptr && !node->linkTarget.empty()) {
        if (++*linksFollowed > MOST_LINKS_FOLLOWED) return nullptr;
        Resolved target = resolveThrough(node->linkTarget, linksFollowed);
        node = target.node;
        *holder = target.holder;
    }
    return node;
}

Node* followLinks(Node* node, Volume** holder) {
    int linksFollowed = 0;
    return followLinksCounting(node, holder, &linksFollowed);
}

// Looks names up one below the other from a directory; out.holder is that directory's volume.
static void lookUpNames(Node* node, const std::vector<Name>& names, Resolved& out, int* linksFollowed) {
    for (const Name& name : names) {
        node = followLinksCounting(node, &out.holder, linksFollowed);
        if (node == nullptr || !node->isDirectory()) {
            out.parent = nullptr;  // a directory on the way is missing
            return;
        }
        out.parent = node;
        node = node->child(name);
    }
    out.node = node;
}

static Resolved resolveThrough(const Name& path, int* linksFollowed) {
    Resolved out;
    Rooted at = rooted(path);
    out.atRoot = at.components.empty();
    if (!out.atRoot) out.last = at.components.back();
    out.trailingSeparator = at.trailing;
    if (at.root.empty()) return out;
    for (auto& volume : machine().volumes)
        if (sameName(volume->wideRoot, at.root)) out.volume = volume.get();
    if (out.volume == nullptr) return out;
    out.holder = out.volume;
    lookUpNames(&out.volume->top, at.components, out, linksFollowed);
    return out;
}

// A deep walk asks about paths that each go one name further than one asked about just
// before; reading each from its root would cost the depth at every call. With fixedTree a
// test promises that no entry changes while the program runs (it may only add its own
// files), so the directories found are remembered by the text of their paths, and a path
// that goes on from one is looked up from there. Only plain absolute paths are remembered:
// no "/", no name that begins with ".", no trailing separator.
namespace {
struct RememberedDirectory {
    Name path;  // a full path without a trailing separator
    Volume* volume = nullptr;
    Volume* holder = nullptr;
    Node* directory = nullptr;  // nullptr: none remembered here
};
// A few, each replaced in turn; their texts keep their capacity, as deep paths are long.
constexpr size_t DIRECTORIES_REMEMBERED = 4;
RememberedDirectory remembered[DIRECTORIES_REMEMBERED];
size_t replacedNext = 0;
}  // namespace

static bool isPlainAbsolute(std::u16string_view path) {
    bool absolute = (path.size() > 2 && path[1] == u':' && path[2] == u'\\') || path.compare(0, 2, u"\\\\") == 0;
    if (!absolute || path.back() == u'\\') return false;
    for (size_t k = 1; k < path.size(); ++k)
        if (path[k] == u'/' || (path[k] == u'.' && path[k - 1] == u'\\')) return false;
    return true;
}

// The longest remembered directory that the path goes on from.
static const RememberedDirectory* rememberedPrefix(std::u16string_view path) {
    const RememberedDirectory* from = nullptr;
    for (const RememberedDirectory& directory : remembered) {
        const size_t length = directory.path.size();
        if (directory.directory != nullptr && path.size() > length + 1 && path[length] == u'\\' &&
            (from == nullptr || length > from->path.size()) &&
            std::memcmp(path.data(), directory.path.data(), length * sizeof(char16_t)) == 0)
            from = &directory;
    }
    return from;
}

static bool resolveFromRemembered(std::u16string_view path, Resolved& out) {
    const RememberedDirectory* from = rememberedPrefix(path);
    if (from == nullptr) return false;
    std::vector<Name> names = split(Name(path.substr(from->path.size() + 1)), true);
    names.erase(std::remove(names.begin(), names.end(), Name()), names.end());
    out.volume = from->volume;
    out.holder = from->holder;
    out.last = names.back();
    int linksFollowed = 0;
    lookUpNames(from->directory, names, out, &linksFollowed);
    return true;
}

static void rememberParentOf(std::u16string_view path, const Resolved& at) {
    if (at.parent == nullptr || at.atRoot) return;
    const size_t length = path.size() - at.last.size() - 1;
    for (const RememberedDirectory& directory : remembered)
        if (directory.path.size() == length &&
            std::memcmp(path.data(), directory.path.data(), length * sizeof(char16_t)) == 0)
            return;
    RememberedDirectory& replaced = remembered[replacedNext++ % DIRECTORIES_REMEMBERED];
    replaced.path.assign(path.data(), length);
    replaced.volume = at.volume;
    replaced.holder = at.holder;
    replaced.directory = at.parent;
}

void forgetDirectories() {
    for (RememberedDirectory& directory : remembered) directory = RememberedDirectory{};
}

// Takes a view, so that a remembered directory spares the copy of a long path too.
Resolved resolvePath(std::u16string_view path) {
    const bool remembering = machine().fixedTree && isPlainAbsolute(path);
    Resolved out;
    if (remembering && resolveFromRemembered(path, out)) {
        rememberParentOf(path, out);
        return out;
    }
    int linksFollowed = 0;
    out = resolveThrough(Name(path), &linksFollowed);
    if (remembering) rememberParentOf(path, out);
    return out;
}

std::string hostPathOf(const Name& path) {
    std::string name;
    for (char16_t c : fullPathOf(path)) {
        char16_t unit = upper(c);
        if ((unit >= u'A' && unit <= u'Z') || (unit >= u'0' && unit <= u'9') || unit == u'.') {
            name += static_cast<char>(unit);
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "_%04X", static_cast<unsigned>(unit));
            name += hex;
        }
    }
    return machine().hostDir + "/" + name;
}

}  // namespace sim
