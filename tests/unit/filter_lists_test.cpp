#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "filter/filter_application.h"
#include "filter/filter_lists.h"
#ifndef _WIN32  // the simulated machine: host builds only
#include "platform/sim/machine.h"
#include "support/child_run.h"
#endif

namespace {

using Strings = std::vector<std::string>;

Strings elementsOf(const FilterList& list) {
    return Strings(list.elements, list.elements + list.count);
}

class FilterLists : public ::testing::Test {
protected:
    void SetUp() override { settings = Settings{}; filterActivity = FilterActivity{}; }
    void TearDown() override { settings = Settings{}; filterActivity = FilterActivity{}; }
};

}  // namespace

// Regression: blanks taken back were once written past the measured length; the guard
// byte catches it.
TEST_F(FilterLists, Normalisation) {
    const std::pair<const char*, const char*> cases[] = {
        {"dir\\ , x", "dir\\*,x"}, {" a , b ", " a,b"}, {"a\t,\r\nb", "a,b"}, {"   ", ""},
        {"ソ,x", "ソ,x"}, {"ソ\\", "ソ\\*"},  // the second byte of ソ is a backslash, no separator
        {"ab   ", "ab"}, {"a  \t,b", "a,b"},
    };
    for (const auto& [text, expected] : cases) {
        int32_t measured = normalizeElements(text, nullptr);
        std::vector<char> out(static_cast<size_t>(measured) + 2, '#');
        EXPECT_EQ(normalizeElements(text, out.data()), measured) << text;
        EXPECT_STREQ(out.data(), expected) << text;
        EXPECT_EQ(out.back(), '#') << text;
    }
}

TEST_F(FilterLists, ElementsAttributeMasksAndMemory) {
    ASSERT_EQ(parseSkipOption("sha,,b"), 0);
    EXPECT_EQ(elementsOf(settings.skipHead), (Strings{"a", "", "b"}));
    ASSERT_EQ(parseSkipOption("sh  "), 0);  // blanks only: off, not a memory failure
    EXPECT_EQ(settings.skipHead.count, 0);

    ASSERT_EQ(parseSkipOption("sAd,w,rw,hd"), 0);
    ASSERT_TRUE(prepareFilters());
    const auto& exact = settings.skipAttrExact;
    EXPECT_EQ(std::vector<uint32_t>(exact.dirMasks, exact.dirMasks + exact.dirMaskCount),
              (std::vector<uint32_t>{0x10, 0x12}));
    EXPECT_EQ(exact.fileMaskCount, 0);  // w and rw make 0 in the exact form

    // Second bytes are no letters: ゥ ends in D, ヅ in d, ∥ ” 《 〉 『 in a h s r w, ？ ヾ ヽ 仝
    // in H S R W, ア in A.
    settings = Settings{};
    ASSERT_EQ(parseSkipOption("saゥ,ヅ,∥”《〉『,？ヾヽ仝,rア,ポd"), 0);
    ASSERT_TRUE(prepareFilters());
    const auto& present = settings.skipAttr;
    EXPECT_EQ(std::vector<uint32_t>(present.dirMasks, present.dirMasks + present.dirMaskCount),
              (std::vector<uint32_t>{0x10}));
    EXPECT_EQ(std::vector<uint32_t>(present.fileMasks, present.fileMasks + present.fileMaskCount),
              (std::vector<uint32_t>{0x01}));

#ifndef _WIN32
    settings = Settings{};
    ASSERT_EQ(parseSkipOption("sad,r"), 0);
    sim::machine().allocations.failAt = sim::machine().allocations.made + 2;
    EXPECT_FALSE(prepareFilters());
    sim::machine().allocations.failAt = 0;
#endif
}

TEST_F(FilterLists, AnchoringAcceptsAndPrefixes) {
    ASSERT_EQ(parseSkipOption("shC:\\src\\a,C:\\src\\,C:\\src,C:\\SRC\\a,sub\\x"), 0);
    ASSERT_EQ(parseLimitOption("lhx\\*,C:\\src\\y\\*.*"), 0);
    anchorPathLists("照合元", "C:\\src\\", FilterSide::source);
    EXPECT_EQ(elementsOf(settings.skipHead),
              (Strings{"C:\\src\\a", "C:\\src\\*", "C:\\src", "C:\\SRC\\a", "C:\\src\\sub\\x"}));
    EXPECT_EQ(elementsOf(settings.limitHead), (Strings{"C:\\src\\x\\*", "C:\\src\\y\\*.*"}));
    EXPECT_EQ(elementsOf(settings.limitHeadForDirs), (Strings{"C:\\src\\x", "C:\\src\\y"}));

    // The destination side leaves the source lists alone.
    ASSERT_EQ(parseDestOption("dshq"), 0);
    anchorPathLists("照合先", "D:\\dst\\", FilterSide::destination);
    EXPECT_EQ(elementsOf(settings.destSkipHead), (Strings{"D:\\dst\\q"}));
    EXPECT_EQ(settings.skipHead.elements[4], std::string("C:\\src\\sub\\x"));
}

#ifndef _WIN32  // the simulated machine: host builds only
TEST_F(FilterLists, AnchoringStops) {
    const struct {
        FilterParse (*parse)(const char*);
        const char* option;
        const char* root;  // nullptr: memory runs out
        const char* message;
    } cases[] = {
        {parseLimitOption, "lP\\src", "C:\\src\\", "オプション /lP\\src のパスは照合元 C:\\src\\ 以下ではありません。"},
        {parseSkipOption, "shok,C:\\a", "", "オプション /shC:\\a のパスは照合元以下ではありません。"},
        {parseSkipOption, "sha,b", nullptr, "メモリー不足で、パス対象外限定オプション処理が出来ません。"},
        // Past a root that ends in a lone first byte, the 0x5C of 表 is no separator.
        {parseSkipOption, "shC:\\src表x", "C:\\src\x95",
         "オプション /shC:\\src表x のパスは照合元 C:\\src\x95 以下ではありません。"},
    };
    for (const auto& c : cases) {
        support::RunOutput stopped = support::runInChild([&] {
            c.parse(c.option);
            if (c.root == nullptr) sim::machine().allocations.failAt = sim::machine().allocations.made + 1;
            anchorPathLists("照合元", c.root ? c.root : "C:\\src\\", FilterSide::source);
        });
        EXPECT_EQ(stopped.exitCode, 1) << c.option;
        EXPECT_EQ(stopped.err, std::string("\n\a処理停止:") + c.message + "\n") << c.option;
    }
}
#endif
