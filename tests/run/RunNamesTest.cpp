#include "run/RunNames.h"

#include <gtest/gtest.h>

using namespace tovan::run;

// The names the run derives from the chosen deck and the three boxes (report, DRELM, peak).
TEST(RunNames, DerivedFromTheDeckAndTheBoxes) {
    struct Case {
        const char *deck, *report, *drelm, *peak;
        EngineFiles expected;
    };
    const Case cases[] = {
        {"storm.tvi", "", "", "", {"storm.tvi", "storm.tvo", "storm.tvd", "stormPeak.tvi"}},
        {"storm.tvi", "", "", "kw", {"storm.tvi", "storm.tvo", "storm.tvd", "kwPeak.tvi"}},
        {"storm", "", "", "", {"storm", "storm.tvo", "storm.tvd", "stormPeak.tvi"}},
        // the fourth character from the end decides whether there is an extension
        {"storm.data",
         "",
         "",
         "",
         {"storm.data", "storm.data.tvo", "storm.data.tvd", "storm.dataPeak.tvi"}},
        {"a.b.c", "", "", "", {"a.b.c", "a.tvo", "a.tvd", "aPeak.tvi"}},
        {"abc", "", "", "", {"abc", "abc.tvo", "abc.tvd", "abcPeak.tvi"}},
        {".tvi", "", "", "", {".tvi", ".tvo", ".tvd", "Peak.tvi"}},
        // only blanks are trimmed, and blank boxes count as empty
        {"  storm.tvi ", "   ", " out ", "\t", {"storm.tvi", "storm.tvo", "out.tvd", "\tPeak.tvi"}},
        // a typed extension stays in front of the engine's own
        {"storm.tvi",
         "run1.out",
         "d.x",
         "p.tvi",
         {"storm.tvi", "run1.out.tvo", "d.x.tvd", "p.tviPeak.tvi"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DeriveEngineFiles(c.deck, c.report, c.drelm, c.peak), c.expected) << c.deck;
}

TEST(RunNames, DefaultPeakNameNeverOverwritesTheDeck) {
    for (const char* deck : {"storm.tvi", "Peak.tvi", "stormPeak.tvi", ".tvi", "x"}) {
        EXPECT_NE(DeriveEngineFiles(deck, "", "", "").peak, deck) << deck;
    }
}

TEST(RunNames, ScratchNamesAndPattern) {
    EXPECT_EQ(kScratchFiles,
              (EngineFiles{"Killz__1.tvi", "Killz__1.tvo", "Killz__1.tvd", "Killz__1.tvp"}));
    for (const auto& name :
         {kScratchFiles.input, kScratchFiles.report, kScratchFiles.drelm, kScratchFiles.peak}) {
        EXPECT_TRUE(IsScratchFileName(name)) << name;
    }
    EXPECT_TRUE(IsScratchFileName("Killz__1.tvx"));
    EXPECT_FALSE(IsScratchFileName("Killz__1.tv"));
    EXPECT_FALSE(IsScratchFileName("Killz__1.tvix"));
    EXPECT_FALSE(IsScratchFileName("killz__1.tvi"));
    EXPECT_FALSE(IsScratchFileName("Killz__2.tvi"));
}

TEST(RunNames, OutputFolderIsTheFullNameWithoutSeparatorAndTitle) {
    EXPECT_EQ(FolderOfChosenFile("/data/decks/storm.tvi", "storm.tvi"), "/data/decks");
    EXPECT_EQ(FolderOfChosenFile("C:\\storm.tvi", "storm.tvi"), "C:");
    EXPECT_EQ(FolderOfChosenFile("storm.tvi", "storm.tvi"), "");
}
