// Whole runs over trees that hold directory links: a link back to a directory the walk is
// inside is compared but not entered, any other link is walked, and no depth a path can
// reach breaks the walk.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "platform/sim/machine.h"
#include "support/program_run.h"

namespace {

using Lines = std::vector<std::string>;

const std::string LINK_BACK = "循環リンクのため省略 ";

std::string same(const std::string& rel) { return "C:\\src\\" + rel + "＝D:\\dst\\" + rel; }
std::string differ(const std::string& label, const std::string& rel) {
    return label + "C:\\src\\" + rel + "≠D:\\dst\\" + rel;
}
std::string linkBack(const std::string& rel) { return LINK_BACK + "C:\\src\\" + rel; }

// The lines that name the source tree, in order.
Lines sourceLines(const support::RunOutput& run) {
    Lines found;
    std::istringstream text(run.out);
    for (std::string line; std::getline(text, line);)
        if (line.find("C:\\src") != std::string::npos) found.push_back(line);
    return found;
}

void freshMachine() {
    sim::resetMachine();
    sim::addVolume("D:\\");
}

// C:\src\a\f.txt and its copy, and a link back to each root at a\loop.
void loopInBothTrees() {
    sim::addFile("C:\\src\\a\\f.txt", "f");
    sim::addFile("D:\\dst\\a\\f.txt", "f");
    sim::addLink("C:\\src\\a\\loop", "C:\\src");
    sim::addLink("D:\\dst\\a\\loop", "D:\\dst");
}

// a\other leads out of the tree to C:\elsewhere; the copy holds what it led to, one file
// changed.
void linkToSibling() {
    sim::addFile("C:\\src\\a\\f.txt", "f");
    sim::addFile("D:\\dst\\a\\f.txt", "f");
    sim::addFile("C:\\elsewhere\\x.txt", "one");
    sim::addLink("C:\\src\\a\\other", "C:\\elsewhere");
    sim::addFile("D:\\dst\\a\\other\\x.txt", "two");
}

// a\x leads to b and b\y back to a, in both trees.
void cycleOfTwoLinks() {
    for (const std::string root : {"C:\\src\\", "D:\\dst\\"}) {
        sim::addLink(root + "a\\x", root + "b");
        sim::addLink(root + "b\\y", root + "a");
    }
}

TEST(Links, ALinkBackIsComparedNotEnteredAndOtherLinksAreWalked) {
    const struct {
        const char* what;
        std::function<void()> build;
        std::vector<std::string> options;
        Lines lines;
        int exitCode;
        long identities;  // the link entered and each ancestor, each found once
    } cases[] = {
        {"loop in both trees", loopInBothTrees, {"/d"},
         {same("a"), same("a\\f.txt"), same("a\\loop"), linkBack("a\\loop")}, 0, 3},
        {"the same, only mismatches shown", loopInBothTrees, {"/d", "/v-c"}, {}, 0, 3},
        {"the same, directories not compared", loopInBothTrees, {"/d", "/ff"},
         {same("a\\f.txt"), linkBack("a\\loop")}, 0, 3},
        {"a plain directory in the copy",
         [] {
             loopInBothTrees();
             sim::find("D:\\dst\\a\\loop")->linkTarget.clear();
             sim::find("D:\\dst\\a\\loop")->attributes = os::ATTR_DIRECTORY;
         },
         {"/d"}, {same("a"), same("a\\f.txt"), same("a\\loop"), linkBack("a\\loop")}, 0, 3},
        {"no directory in the copy",
         [] {
             loopInBothTrees();
             sim::find("D:\\dst\\a")->children.pop_back();
         },
         {"/d", "/c"}, {same("a"), same("a\\f.txt"), differ("照合先DIRなし ", "a\\loop")}, 2, 0},
        {"a link to a sibling tree", linkToSibling, {"/d", "/c"},
         {same("a"), same("a\\f.txt"), same("a\\other"), differ("内容不一致 ", "a\\other\\x.txt")}, 2, 3},
        // Ancestors are found once: the second link reuses them.
        {"two links out of one directory",
         [] {
             linkToSibling();
             sim::addFile("C:\\more\\m.txt", "m");
             sim::addLink("C:\\src\\a\\more", "C:\\more");
             sim::addFile("D:\\dst\\a\\more\\m.txt", "m");
         },
         {"/d", "/c"},
         {same("a"), same("a\\f.txt"), same("a\\other"), differ("内容不一致 ", "a\\other\\x.txt"), same("a\\more"),
          same("a\\more\\m.txt")},
         2, 4},
        {"two links that form a cycle", cycleOfTwoLinks, {"/d"},
         {same("a"), same("a\\x"), same("a\\x\\y"), linkBack("a\\x\\y"), same("b"), same("b\\y"), same("b\\y\\x"),
          linkBack("b\\y\\x")},
         0, 7},
        // Without indexes every directory would look like every other: none is a loop.
        {"a file system without indexes",
         [] {
             linkToSibling();
             sim::find("C:\\src\\a")->fileIndex = 0;
             sim::find("C:\\elsewhere")->fileIndex = 0;
         },
         {"/d", "/c"},
         {same("a"), same("a\\f.txt"), same("a\\other"), differ("内容不一致 ", "a\\other\\x.txt")}, 2, 1},
        {"no links", [] { sim::addFile("C:\\src\\a\\f.txt", "f"), sim::addFile("D:\\dst\\a\\f.txt", "f"); },
         {"/d"}, {same("a"), same("a\\f.txt")}, 0, 0},
    };
    for (const auto& c : cases) {
        freshMachine();
        c.build();
        std::vector<std::string> arguments = c.options;
        arguments.insert(arguments.end(), {"C:\\src", "D:\\dst"});
        const support::RunOutput run = support::runProgram(arguments);
        SCOPED_TRACE(std::string(c.what) + "\n" + run.out + run.err);
        EXPECT_EQ(sourceLines(run), c.lines);
        EXPECT_EQ(run.exitCode, c.exitCode);
        EXPECT_EQ(run.calls("identities"), c.identities);
    }
}

// An identity that cannot be found makes no loop: the link is walked as any directory, and
// the loop is cut one round later.
TEST(Links, AFailedIdentityWalksTheLinkOnceMore) {
    freshMachine();
    loopInBothTrees();
    sim::machine().identities.failAt = 1;  // the link's own
    const support::RunOutput run = support::runProgram({"/d", "C:\\src", "D:\\dst"});
    EXPECT_EQ(sourceLines(run), (Lines{same("a"), same("a\\f.txt"), same("a\\loop"), same("a\\loop\\a"),
                                       same("a\\loop\\a\\f.txt"), same("a\\loop\\a\\loop"),
                                       linkBack("a\\loop\\a\\loop")}))
        << run.out;
    EXPECT_EQ(run.exitCode, 0);
}

// Frees a chain of nodes from the top down: their destructors would recurse once a level.
void dismantle(sim::Node& top) {
    std::vector<std::unique_ptr<sim::Node>> pending;
    for (auto& child : top.children) pending.push_back(std::move(child));
    top.children.clear();
    while (!pending.empty()) {
        std::unique_ptr<sim::Node> node = std::move(pending.back());
        pending.pop_back();
        for (auto& child : node->children) pending.push_back(std::move(child));
        node->children.clear();
    }
}

// 16,000 levels of one-letter names: the longest path (32,012 characters) the wide calls
// allow. The walk ends with its verdict, with /c and without; a stop at the bottom closes
// every listing on the way up.
TEST(Links, SixteenThousandLevelsAreWalkedToTheBottom) {
    constexpr int DEPTH = 16000;
    freshMachine();
    std::string bottom;
    for (const std::string root : {"C:\\src", "D:\\dst"}) {
        sim::Node* dir = &sim::addDirectory(root);
        for (int level = 0; level < DEPTH; ++level) {
            auto child = std::make_unique<sim::Node>();
            child->name = u"a";
            child->attributes = os::ATTR_DIRECTORY;
            dir->children.push_back(std::move(child));
            dir = dir->children.back().get();
        }
        auto file = std::make_unique<sim::Node>();
        file->name = u"f.txt";
        file->contents = root == "C:\\src" ? "same" : "sane";
        dir->children.push_back(std::move(file));
    }
    for (int level = 0; level < DEPTH; ++level) bottom += "a\\";
    ASSERT_EQ(("C:\\src\\" + bottom + "f.txt").size(), 32012u);
    sim::machine().fixedTree = true;

    support::RunOutput run = support::runProgram({"/d", "/c", "/v-c", "C:\\src", "D:\\dst"});
    EXPECT_EQ(sourceLines(run), Lines{differ("内容不一致 ", bottom + "f.txt")});
    EXPECT_NE(run.out.find("ディレクトリ16000個中、0個不一致"), std::string::npos) << run.err;
    EXPECT_EQ(run.exitCode, 2);

    run = support::runProgram({"/d", "/v-c", "C:\\src", "D:\\dst"});
    EXPECT_NE(run.out.find("ディレクトリ16000個にて調査を中止しました。"), std::string::npos) << run.err;
    EXPECT_EQ(run.calls("searches open"), 0);
    EXPECT_EQ(run.exitCode, 1);
    dismantle(*sim::find("C:\\src"));
    dismantle(*sim::find("D:\\dst"));
}

}  // namespace
