#include "platform/sim/paths.h"

#include <cstdio>

namespace sim {

static char upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }

static bool lead(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

bool sameName(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t k = 0; k < a.size(); ++k)
        if (upper(a[k]) != upper(b[k])) return false;
    return true;
}

bool wildcardMatches(const char* pattern, const char* name) {
    if (std::string(pattern) == "*.*") return true;
    if (*pattern == '\0') return *name == '\0';
    if (*pattern == '*') {
        for (const char* rest = name;; ++rest) {
            if (wildcardMatches(pattern + 1, rest)) return true;
            if (*rest == '\0') return false;
        }
    }
    if (*name == '\0') return false;
    if (*pattern == '?' || upper(*pattern) == upper(*name)) return wildcardMatches(pattern + 1, name + 1);
    return false;
}

// Splits at separators that are not the second byte of a double-byte character.
static std::vector<std::string> split(const std::string& text) {
    std::vector<std::string> parts;
    std::string part;
    for (size_t k = 0; k < text.size(); ++k) {
        unsigned char c = static_cast<unsigned char>(text[k]);
        if (lead(c) && k + 1 < text.size()) {
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

Resolved resolvePath(const std::string& path) {
    Resolved out;
    Rooted at = rooted(path);
    out.components = at.components;
    out.trailingSeparator = at.trailing;
    for (auto& volume : machine().volumes)
        if (sameName(volume->root, at.root)) out.volume = volume.get();
    if (out.volume == nullptr) return out;
    Node* node = &out.volume->top;
    for (size_t k = 0; k < at.components.size(); ++k) {
        if (node == nullptr || !node->isDirectory()) {
            out.parent = nullptr;  // a directory on the way is missing
            return out;
        }
        out.parent = node;
        node = node->child(at.components[k]);
    }
    out.node = node;
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
