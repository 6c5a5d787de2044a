// Runs the real morvi.exe under Wine on trees made by the test.
#pragma once

#include <ctime>
#include <string>
#include <vector>

namespace e2e {

struct WineRun {
    int exitCode = -1;
    std::string out;  // exact bytes: Shift-JIS text, CR LF line ends
    std::string err;
};

// Runs morvi.exe as scripts/morvi does, with these arguments (Shift-JIS, as the program sees
// them; Wine takes the host's UTF-8). A run still going after timeLimit seconds (0: none) is
// killed and answers exit code 124.
WineRun runMorvi(const std::vector<std::string>& arguments, int timeLimit = 0);

// The same under another locale, which gives the program another ANSI code page (C.UTF-8:
// not 932).
WineRun runMorviInLocale(const std::vector<std::string>& arguments, const std::string& locale);

// Runs a Windows program given by its host path the same way.
WineRun runWindowsProgram(const std::string& hostProgram, const std::vector<std::string>& arguments,
                          int timeLimit = 0);

// The morvi.exe that runMorvi runs, as the program spells it (through drive Z:) and as the
// host does; the Windows test programs of the same build lie beside it.
const std::string& morviExe();
const std::string& morviHostPath();

// The exact bytes of a host file (empty when it cannot be read).
std::string readFile(const std::string& hostPath);

// The UTF-8 text of the program's text, Shift-JIS bytes in which <U+XXXX> stands for a
// character that Shift-JIS cannot write: host file names, readable failure messages.
std::string utf8(const std::string& cp932);

// Every file a test writes gets this write time (2024-03-05 12:00:00 UTC), so that copies
// written a moment apart still agree unless the test says otherwise.
constexpr std::time_t FIXED_WRITE_TIME = 1709640000;

// A fresh host directory below the system's temporary directory, removed by the destructor.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return path_; }
    // Writes a file and its directories; the time is its last access and write time. Paths are
    // relative, '/' separated, in the program's text; the host names are UTF-8, which Wine
    // hands the program as UTF-16.
    void file(const std::string& relative, const std::string& contents,
              std::time_t time = FIXED_WRITE_TIME) const;
    std::string host(const std::string& relative) const { return path_ + "/" + utf8(relative); }

private:
    std::string path_;
};

// Makes a host directory the Windows drive X: (a link in the prefix's dosdevices).
void mapDrive(char letter, const std::string& hostDir);

// A source tree on drive S: and its copy on T:.
struct Trees {
    Trees() {
        mapDrive('s', source.path());
        mapDrive('t', dest.path());
    }
    void both(const std::string& relative, const std::string& contents) const { both(relative, contents, contents); }
    void both(const std::string& relative, const std::string& inSource, const std::string& inDest,
              std::time_t time = FIXED_WRITE_TIME) const {
        source.file(relative, inSource, time);
        dest.file(relative, inDest, time);
    }
    TempDir source, dest;
};

// The CR LF lines the program writes, and back ("unterminated: ..." for a last line
// without its end).
std::string lines(const std::vector<std::string>& each);
std::vector<std::string> splitLines(const std::string& text);

}  // namespace e2e
