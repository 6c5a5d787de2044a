#include "platform/sim/paths.h"

#include <algorithm>
#include <cstdio>

namespace sim {

static char upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }

static bool lead(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

static bool trail(unsigned char c) { return (c >= 0x40 && c <= 0x7E) || (c >= 0x80 && c <= 0xFC); }

// Windows compares characters: a double-byte one is a unit, and only single-byte letters
// have a case.
static size_t width(const char* at) {
    return lead(static_cast<unsigned char>(at[0])) && trail(static_cast<unsigned char>(at[1])) ? 2 : 1;
}

static bool sameCharacter(const char* a, const char* b, size_t size) {
    return size == 2 ? a[0] == b[0] && a[1] == b[1] : upper(a[0]) == upper(b[0]);
}

bool sameName(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t k = 0; k < a.size();) {
        size_t size = width(a.c_str() + k);
        if (width(b.c_str() + k) != size || !sameCharacter(a.c_str() + k, b.c_str() + k, size)) return false;
        k += size;
    }
    return true;
}

bool wildcardMatches(const char* pattern, const char* name) {
    if (std::string(pattern) == "*.*") return true;
    if (*pattern == '\0') return *name == '\0';
    if (*pattern == '*') {
        for (const char* rest = name;; rest += width(rest)) {
            if (wildcardMatches(pattern + 1, rest)) return true;
            if (*rest == '\0') return false;
        }
    }
    if (*name == '\0') return false;
    size_t size = width(name);
    if (*pattern == '?') return wildcardMatches(pattern + 1, name + size);
    if (width(pattern) != size || !sameCharacter(pattern, name, size)) return false;
    return wildcardMatches(pattern + size, name + size);
}

// Splits at separators that are not the second byte of a double-byte character.
static std::vector<std::string> split(const std::string& text) {
    std::vector<std::string> parts;
    std::string part;
    for (size_t k = 0; k < text.size(); ++k) {
        unsigned char c = static_cast<unsigned char>(text[k]);
        if (width(text.c_str() + k) == 2) {
            part += text[k];
            part += text[++k];
        } else if (c == '\\' || c == '/') {
            parts.push_back(part);
            part.clear();
        } else {
            part += text[k];
        }
    }
    parts.push_back(part);
    return parts;
}

struct Rooted {
    std::string root;  // "C:\" or "\\server\share\"
    std::vector<std::string> components;
    bool trailing = false;
};

static bool endsWithSeparator(const std::string& text) {
    if (text.empty() || text.back() != '\\') return false;
    std::vector<std::string> parts = split(text);
    return parts.back().empty();
}

// How a path names a volume and the entries below its root:
//   path                root                    components
//   \\server\share\a\b  \\server\share\         a, b
//   C:\a\b              C:\                     a, b
//   C:a                 C:\                     the current directory's, then a, when the
//                                               current directory is on C:; else a
//   \a                  the current directory's root    a
//   a                   the current directory's root    the current directory's, then a
// "." is dropped and ".." takes one back, never above the root; "/" separates as "\" does,
// and a "\" that is the second byte of a double-byte character separates nothing. Letters
// in names compare without regard to ASCII case.
static Rooted rooted(const std::string& path) {
    Rooted out;
    std::string rest;
    const std::string& cwd = machine().currentDirectory;
    if (path.size() >= 2 && path[0] == '\\' && path[1] == '\\') {
        std::vector<std::string> parts = split(path.substr(2));
        std::string server = parts.size() > 0 ? parts[0] : "";
        std::string share = parts.size() > 1 ? parts[1] : "";
        out.root = "\\\\" + server + "\\" + share + "\\";
        for (size_t k = 2; k < parts.size(); ++k) rest += (k > 2 ? "\\" : "") + parts[k];
    } else if (path.size() >= 2 && path[1] == ':') {
        out.root = std::string(1, upper(path[0])) + ":\\";
        if (path.size() >= 3 && path[2] == '\\') {
            rest = path.substr(3);
        } else if (upper(cwd[0]) == upper(path[0])) {
            rest = cwd.substr(3) + (path.size() > 2 ? "\\" + path.substr(2) : "");
        } else {
            rest = path.substr(2);
        }
    } else if (!path.empty() && path[0] == '\\') {
        out.root = cwd.substr(0, 3);
        rest = path.substr(1);
    } else {
        out.root = cwd.substr(0, 3);
        rest = cwd.substr(3) + (path.empty() ? "" : "\\" + path);
    }
    for (const std::string& part : split(rest)) {
        if (part.empty() || part == ".") continue;
        if (part == "..") {
            if (!out.components.empty()) out.components.pop_back();
            continue;
        }
        out.components.push_back(part);
    }
    out.trailing = endsWithSeparator(path);
    return out;
}

std::string fullPathOf(const std::string& path) {
    Rooted at = rooted(path);
    std::string full = at.root;
    for (size_t k = 0; k < at.components.size(); ++k) full += (k ? "\\" : "") + at.components[k];
    if (at.trailing && !at.components.empty()) full += "\\";
    return full;
}

std::vector<std::string> namesBelowRoot(const std::string& path) { return rooted(path).components; }

// Directory links, as Windows follows junctions and symbolic links to directories: a path
// that goes on through a link goes on in the directory it leads to (on that directory's
// volume), while a path that ends at a link names the link itself (listings, look-ups and
// attributes report the link, 0x410). A link to a missing target leads nowhere, and so does a
// path through more than 63 links, where Windows gives up.
constexpr int MOST_LINKS_FOLLOWED = 63;

static Resolved resolveThrough(const std::string& path, int* linksFollowed);

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
static void lookUpNames(Node* node, const std::vector<std::string>& names, Resolved& out,
                        int* linksFollowed) {
    for (const std::string& name : names) {
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

static Resolved resolveThrough(const std::string& path, int* linksFollowed) {
    Resolved out;
    Rooted at = rooted(path);
    out.atRoot = at.components.empty();
    if (!out.atRoot) out.last = at.components.back();
    out.trailingSeparator = at.trailing;
    for (auto& volume : machine().volumes)
        if (sameName(volume->root, at.root)) out.volume = volume.get();
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
    std::string path;  // a full path without a trailing separator
    Volume* volume = nullptr;
    Volume* holder = nullptr;
    Node* directory = nullptr;  // nullptr: none remembered here
};
// A few, each replaced in turn; their texts keep their capacity, as deep paths are long.
constexpr size_t DIRECTORIES_REMEMBERED = 4;
RememberedDirectory remembered[DIRECTORIES_REMEMBERED];
size_t replacedNext = 0;
}  // namespace

static bool isPlainAbsolute(std::string_view path) {
    bool absolute = (path.size() > 2 && path[1] == ':' && path[2] == '\\') || path.compare(0, 2, "\\\\") == 0;
    if (!absolute || path.back() == '\\' || path.find('/') != std::string_view::npos) return false;
    for (size_t dot = path.find('.'); dot != std::string_view::npos; dot = path.find('.', dot + 1))
        if (path[dot - 1] == '\\') return false;
    return true;
}

// The longest remembered directory that the path goes on from.
static const RememberedDirectory* rememberedPrefix(std::string_view path) {
    const RememberedDirectory* from = nullptr;
    for (const RememberedDirectory& directory : remembered) {
        const size_t length = directory.path.size();
        if (directory.directory != nullptr && path.size() > length + 1 && path[length] == '\\' &&
            (from == nullptr || length > from->path.size()) && path.compare(0, length, directory.path) == 0)
            from = &directory;
    }
    return from;
}

static bool resolveFromRemembered(std::string_view path, Resolved& out) {
    const RememberedDirectory* from = rememberedPrefix(path);
    if (from == nullptr) return false;
    // The rest begins behind a separator, where no double-byte character is cut.
    std::vector<std::string> names = split(std::string(path.substr(from->path.size() + 1)));
    names.erase(std::remove(names.begin(), names.end(), std::string()), names.end());
    out.volume = from->volume;
    out.holder = from->holder;
    out.last = names.back();
    int linksFollowed = 0;
    lookUpNames(from->directory, names, out, &linksFollowed);
    return true;
}

static void rememberParentOf(std::string_view path, const Resolved& at) {
    if (at.parent == nullptr || at.atRoot) return;
    const size_t length = path.size() - at.last.size() - 1;
    for (const RememberedDirectory& directory : remembered)
        if (directory.path.size() == length && path.compare(0, length, directory.path) == 0) return;
    RememberedDirectory& replaced = remembered[replacedNext++ % DIRECTORIES_REMEMBERED];
    replaced.path.assign(path, 0, length);
    replaced.volume = at.volume;
    replaced.holder = at.holder;
    replaced.directory = at.parent;
}

void forgetDirectories() {
    for (RememberedDirectory& directory : remembered) directory = RememberedDirectory{};
}

// Takes a view, so that a remembered directory spares the copy of a long path too.
Resolved resolvePath(std::string_view path) {
    const bool remembering = machine().fixedTree && isPlainAbsolute(path);
    Resolved out;
    if (remembering && resolveFromRemembered(path, out)) {
        rememberParentOf(path, out);
        return out;
    }
    int linksFollowed = 0;
    out = resolveThrough(std::string(path), &linksFollowed);
    if (remembering) rememberParentOf(path, out);
    return out;
}

std::string hostPathOf(const std::string& path) {
    std::string name;
    for (char c : fullPathOf(path)) {
        unsigned char b = static_cast<unsigned char>(upper(c));
        if ((b >= 'A' && b <= 'Z') || (b >= '0' && b <= '9') || b == '.') {
            name += static_cast<char>(b);
        } else {
            char hex[4];
            std::snprintf(hex, sizeof hex, "_%02X", b);
            name += hex;
        }
    }
    return machine().hostDir + "/" + name;
}

}  // namespace sim
