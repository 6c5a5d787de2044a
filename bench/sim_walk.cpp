// The walk and the filters over the simulated machine, for instruction counts:
//
//   morvi_sim_walk_bench ENTRIES [filters]
//
// builds C:\src and its copy E:\dst with ENTRIES entries (files and directories), runs
// `morvi /d /contents` over them in this process (with ten filter options that leave every
// entry in when "filters" is given) and prints the entry and allocation counts. bench/run
// runs it under callgrind at two sizes: the difference is the cost per entry.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "platform/sim/machine.h"
#include "run/run_driver.h"

namespace {

constexpr int FILES_PER_DIR = 99;
constexpr int DIRS_PER_GROUP = 30;

void addFiles(const std::string& dirPath, int count, os::FileTime time) {
    sim::Node& dir = sim::addDirectory(dirPath);
    sim::setTimes(dir, time, time, time);
    for (int k = 0; k < count; ++k) {
        auto file = std::make_unique<sim::Node>();
        char name[32];
        std::snprintf(name, sizeof name, "file%02d.txt", k);
        file->name = sim::wide(name);
        sim::setTimes(*file, time, time, time);
        dir.children.push_back(std::move(file));
    }
}

// Each side gets the same tree; entries counts directories and files alike. Directories of
// 99 files stand in groups of 30, so that the simulated machine's look-ups, which scan a
// directory's names one by one, stay short.
void buildTrees(long entries) {
    sim::resetMachine();
    sim::addVolume("E:\\");
    const os::FileTime time = sim::fileTimeOf(2024, 3, 1, 12);
    for (const char* root : {"C:\\src", "E:\\dst"}) {
        sim::setTimes(sim::addDirectory(root), time, time, time);
        long left = entries;
        for (int dir = 0; left > 0; ++dir) {
            char path[64];
            if (dir % DIRS_PER_GROUP == 0) {
                std::snprintf(path, sizeof path, "%s\\group%03d", root, dir / DIRS_PER_GROUP);
                sim::setTimes(sim::addDirectory(path), time, time, time);
                if (--left == 0) break;
            }
            int files = left - 1 < FILES_PER_DIR ? static_cast<int>(left - 1) : FILES_PER_DIR;
            std::snprintf(path, sizeof path, "%s\\group%03d\\dir%04d", root, dir / DIRS_PER_GROUP,
                          dir);
            addFiles(path, files, time);
            left -= files + 1;
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    long entries = argc > 1 ? std::atol(argv[1]) : 100000;
    bool filters = argc > 2 && std::string(argv[2]) == "filters";
    buildTrees(entries);

    std::vector<std::string> arguments = {sim::machine().modulePath, "/d", "/contents"};
    if (filters) {
        // Every test runs for every entry, and none leaves one out.
        for (const char* option : {"/shC:\\src\\none", "/stzz\\*.tmp", "/spC:\\src\\dir0000\\no.txt",
                                   "/sdskip*,cache", "/sf*.bak,~*", "/setmp,old", "/sash",
                                   "/ls0-", "/lyw1990-", "/dshE:\\dst\\none"})
            arguments.push_back(option);
    }
    arguments.push_back("C:\\src");
    arguments.push_back("E:\\dst");
    std::vector<char*> argumentPointers;
    for (auto& text : arguments) argumentPointers.push_back(text.data());
    argumentPointers.push_back(nullptr);

    if (std::freopen("/dev/null", "w", stdout) == nullptr) return 1;
    sim::machine().allocations.made = 0;
    int exitCode = morviMain(static_cast<int>(arguments.size()), argumentPointers.data());
    std::fprintf(stderr, "entries %ld allocations %ld exit %d\n", entries,
                 sim::machine().allocations.made, exitCode);
    rmdir(sim::machine().hostDir.c_str());
    return exitCode;
}
