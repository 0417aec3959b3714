#include "run/RunNames.h"

#include <gtest/gtest.h>

using namespace tovan::run;

TEST(RunNames, WorkedExampleWithEmptyBoxes) {
    EXPECT_EQ(DeriveEngineFiles("storm.tvi", "", "", ""),
              (EngineFiles{"storm.tvi", "storm.tvo", "storm.tvd", "stormPeak.tvi"}));
}

TEST(RunNames, WorkedExampleWithAPeakName) {
    EXPECT_EQ(DeriveEngineFiles("storm.tvi", "", "", "kw").peak, "kwPeak.tvi");
}

TEST(RunNames, BaseNameRule) {
    EXPECT_EQ(BaseName("storm.tvi"), "storm");
    EXPECT_EQ(BaseName("storm"), "storm");           // no extension
    EXPECT_EQ(BaseName("storm.data"), "storm.data"); // fourth from the end is a letter
    EXPECT_EQ(BaseName(".tvi"), "");
    EXPECT_EQ(BaseName("abc"), "abc"); // shorter than four
    EXPECT_EQ(BaseName("a.b.c"), "a"); // the rule looks at one character only
    EXPECT_EQ(BaseName("x.txt"), "x"); // any three-letter extension goes
}

TEST(RunNames, InputsWithoutOrWithUnusualExtensions) {
    EXPECT_EQ(DeriveEngineFiles("storm", "", "", ""),
              (EngineFiles{"storm", "storm.tvo", "storm.tvd", "stormPeak.tvi"}));
    EXPECT_EQ(DeriveEngineFiles("storm.data", "", "", "").report, "storm.data.tvo");
    EXPECT_EQ(DeriveEngineFiles(".tvi", "", "", ""),
              (EngineFiles{".tvi", ".tvo", ".tvd", "Peak.tvi"}));
}

TEST(RunNames, BoxesAreTrimmedAndBlankBoxesCountAsEmpty) {
    const EngineFiles f = DeriveEngineFiles("  storm.tvi ", "   ", " out ", "\t");
    EXPECT_EQ(f.input, "storm.tvi");
    EXPECT_EQ(f.report, "storm.tvo");
    EXPECT_EQ(f.drelm, "out.tvd");
    EXPECT_EQ(f.peak, "\tPeak.tvi"); // only blanks are trimmed
}

TEST(RunNames, ATypedExtensionStaysInFront) {
    const EngineFiles f = DeriveEngineFiles("storm.tvi", "run1.out", "d.x", "p.tvi");
    EXPECT_EQ(f.report, "run1.out.tvo");
    EXPECT_EQ(f.drelm, "d.x.tvd");
    EXPECT_EQ(f.peak, "p.tviPeak.tvi");
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
