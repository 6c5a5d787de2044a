#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "filter/filter_application.h"
#include "filter/filter_lists.h"
#include "platform/sim/machine.h"
#include "support/child_run.h"

namespace {

std::vector<std::string> elementsOf(const FilterList& list) {
    std::vector<std::string> out;
    for (int32_t k = 0; k < list.count; ++k) out.emplace_back(list.elements[k]);
    return out;
}

std::vector<uint32_t> masksOf(const uint32_t* masks, int32_t count) {
    return std::vector<uint32_t>(masks, masks + count);
}

class FilterLists : public ::testing::Test {
protected:
    void SetUp() override {
        settings = Settings{};
        filterActivity = FilterActivity{};
    }
    void TearDown() override {
        settings = Settings{};
        filterActivity = FilterActivity{};
    }
};

}  // namespace

TEST_F(FilterLists, Normalisation) {
    const std::pair<const char*, const char*> cases[] = {
        {"dir\\ , x", "dir\\*,x"}, {" a , b ", " a,b"}, {"a\t,\r\nb", "a,b"}, {"a,,b", "a,,b"},
        {"x, \\ ,y", "x,\\*,y"}, {"a b,c d", "a b,c d"}, {"   ", ""},
        {"ソ,x", "ソ,x"},  // its second byte is a backslash, not a separator
        {"ソ\\", "ソ\\*"},
        {"ab   ", "ab"}, {"a  \t,b", "a,b"},  // blanks taken back must not be written first
    };
    for (const auto& [text, expected] : cases) {
        int32_t measured = normalizeElements(text, nullptr);
        std::vector<char> out(static_cast<size_t>(measured) + 2, '#');  // one guard byte
        EXPECT_EQ(normalizeElements(text, out.data()), measured) << text;
        EXPECT_STREQ(out.data(), expected) << text;
        EXPECT_EQ(out.back(), '#') << text;
    }
}

TEST_F(FilterLists, ElementsAndReplacement) {
    ASSERT_EQ(parseSkipOption("sha,,b"), 0);
    EXPECT_EQ(elementsOf(settings.skipHead), (std::vector<std::string>{"a", "", "b"}));
    ASSERT_EQ(parseSkipOption("shX"), 0);
    EXPECT_EQ(elementsOf(settings.skipHead), (std::vector<std::string>{"X"}));
    ASSERT_EQ(parseSkipOption("sh"), 0);
    EXPECT_EQ(settings.skipHead.count, 0);
    ASSERT_EQ(parseSkipOption("shX"), 0);
    ASSERT_EQ(parseSkipOption("sh  "), 0);  // blanks only: off, not a memory failure
    EXPECT_EQ(settings.skipHead.count, 0);
    ASSERT_EQ(parseSkipOption("stdir\\"), 0);
    EXPECT_EQ(elementsOf(settings.skipTail), (std::vector<std::string>{"dir\\*"}));
}

TEST_F(FilterLists, OptionLettersSelectLists) {
    ASSERT_EQ(parseDestOption("dSH5"), 0);
    EXPECT_EQ(elementsOf(settings.destSkipHeadCase), (std::vector<std::string>{"5"}));
    for (const char* text : {"s", "sx", "sy", "sS"}) EXPECT_EQ(parseSkipOption(text), 2) << text;
    for (const char* text : {"l", "lx", "ls", "LS"}) EXPECT_EQ(parseLimitOption(text), 2) << text;
    for (const char* text : {"d", "ds", "dx", "dxh", "dsx", "dlt"})
        EXPECT_EQ(parseDestOption(text), 2) << text;
}

TEST_F(FilterLists, AttributeMasks) {
    ASSERT_EQ(parseSkipOption("sarh,w,x"), 0);
    ASSERT_EQ(parseSkipOption("sAd,w,rw,hd"), 0);
    ASSERT_EQ(parseLimitOption("laRW,WR,Dr"), 0);
    ASSERT_TRUE(prepareFilters());

    EXPECT_EQ(masksOf(settings.skipAttr.fileMasks, settings.skipAttr.fileMaskCount),
              (std::vector<uint32_t>{0x03, 0x80}));
    EXPECT_EQ(settings.skipAttr.dirMaskCount, 0);
    EXPECT_EQ(settings.skipAttr.texts.count, 0);
    EXPECT_EQ(masksOf(settings.skipAttrExact.dirMasks, settings.skipAttrExact.dirMaskCount),
              (std::vector<uint32_t>{0x10, 0x12}));
    EXPECT_EQ(masksOf(settings.skipAttrExact.fileMasks, settings.skipAttrExact.fileMaskCount),
              (std::vector<uint32_t>{}));  // w and rw make 0 in the exact form
    EXPECT_EQ(masksOf(settings.limitAttr.fileMasks, settings.limitAttr.fileMaskCount),
              (std::vector<uint32_t>{0x80, 0x01}));
    EXPECT_EQ(masksOf(settings.limitAttr.dirMasks, settings.limitAttr.dirMaskCount),
              (std::vector<uint32_t>{0x11}));
}

TEST_F(FilterLists, MaskAllocationFailure) {
    ASSERT_EQ(parseSkipOption("sad,r"), 0);
    sim::machine().failAllocation = sim::machine().allocations + 2;
    EXPECT_FALSE(prepareFilters());
    sim::machine().failAllocation = 0;
}

TEST_F(FilterLists, AnchoringAcceptsAndPrefixes) {
    ASSERT_EQ(parseSkipOption("shC:\\src\\a,C:\\src\\,C:\\src,C:\\SRC\\a,sub\\x"), 0);
    ASSERT_EQ(parseSkipOption("sPa,C:\\src\\b,c"), 0);
    ASSERT_EQ(parseLimitOption("lhx\\*,C:\\src\\y\\*.*"), 0);
    anchorPathLists("照合元", "C:\\src\\", FilterSide::source);
    EXPECT_EQ(elementsOf(settings.skipHead),
              (std::vector<std::string>{"C:\\src\\a", "C:\\src\\*", "C:\\src", "C:\\SRC\\a",
                                        "C:\\src\\sub\\x"}));
    EXPECT_EQ(elementsOf(settings.skipPathCase),
              (std::vector<std::string>{"C:\\src\\a", "C:\\src\\b", "C:\\src\\c"}));
    EXPECT_EQ(elementsOf(settings.limitHead),
              (std::vector<std::string>{"C:\\src\\x\\*", "C:\\src\\y\\*.*"}));
    EXPECT_EQ(elementsOf(settings.limitHeadForDirs),
              (std::vector<std::string>{"C:\\src\\x", "C:\\src\\y"}));
    EXPECT_EQ(settings.skipPathCase.textLength, static_cast<int32_t>(std::strlen("C:\\src\\a,C:\\src\\b,C:\\src\\c")));

    // The destination side leaves the source lists alone.
    ASSERT_EQ(parseDestOption("dshq"), 0);
    anchorPathLists("照合先", "D:\\dst\\", FilterSide::destination);
    EXPECT_EQ(elementsOf(settings.destSkipHead), (std::vector<std::string>{"D:\\dst\\q"}));
    EXPECT_EQ(settings.skipHead.elements[4], std::string("C:\\src\\sub\\x"));
}

TEST_F(FilterLists, AnchoringRejects) {
    struct Case {
        const char* option;
        const char* root;
        const char* message;
    };
    const Case cases[] = {
        {"shC:\\srcX", "C:\\src\\", "オプション /shC:\\srcX のパスは照合元 C:\\src\\ 以下ではありません。"},
        {"sHC:\\SRC\\a", "C:\\src\\", "オプション /sHC:\\SRC\\a のパスは照合元 C:\\src\\ 以下ではありません。"},
        {"lhD:\\x", "C:\\src\\", "オプション /lhD:\\x のパスは照合元 C:\\src\\ 以下ではありません。"},
        {"lP\\src", "C:\\src\\", "オプション /lP\\src のパスは照合元 C:\\src\\ 以下ではありません。"},
        {"spC:sub", "C:\\src\\", "オプション /spC:sub のパスは照合元 C:\\src\\ 以下ではありません。"},
        {"shC:\\x", "C:", "オプション /shC:\\x のパスは照合元 C: 以下ではありません。"},
        {"shok,C:\\a", "", "オプション /shC:\\a のパスは照合元以下ではありません。"},
        {"dlPC:\\src", "D:\\dst\\", "オプション /dlPC:\\src のパスは照合先 D:\\dst\\ 以下ではありません。"},
    };
    for (const Case& c : cases) {
        sim::RunOutput stopped = support::runInChild([&] {
            settings = Settings{};
            bool dest = c.option[0] == 'd';
            if (dest)
                parseDestOption(c.option);
            else if (c.option[0] == 's')
                parseSkipOption(c.option);
            else
                parseLimitOption(c.option);
            anchorPathLists(dest ? "照合先" : "照合元", c.root,
                            dest ? FilterSide::destination : FilterSide::source);
        });
        EXPECT_EQ(stopped.exitCode, 1) << c.option;
        EXPECT_EQ(stopped.err, std::string("\n\a処理停止:") + c.message + "\n") << c.option;
    }
}

TEST_F(FilterLists, AnchoringRunsOutOfMemory) {
    sim::RunOutput stopped = support::runInChild([] {
        parseSkipOption("sha,b");
        sim::machine().failAllocation = sim::machine().allocations + 1;
        anchorPathLists("照合元", "C:\\src\\", FilterSide::source);
    });
    EXPECT_EQ(stopped.exitCode, 1);
    EXPECT_EQ(stopped.err,
              "\n\a処理停止:メモリー不足で、パス対象外限定オプション処理が出来ません。\n");
}
