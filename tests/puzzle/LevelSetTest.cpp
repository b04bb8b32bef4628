// The level set reader: valid sets, every kind of broken line with the line it names, the
// limits, and the player's sets read after the shipped ones.
#include <string>

#include "LevelLibrary.h"
#include "LevelSet.h"
#include "TestSupport.h"
#include "platform/os/TwUserFiles.h"

#include <gtest/gtest.h>

namespace {

constexpr int kColumns = 12;
constexpr int kRows = 12;

const std::string kGoodSet = R"(// Two small levels
Title = "Warm Up"
Level1 = {
    Shots = 6
    Field = {
        [0 0 1 1 2 2 3 3 4 4 5 5]
        [. 0 . 1 . 2 . 3 . 4 . 5]
    }
}
Level2 = {
    Shots = 3
    Field = {
        [. . . . . 2 2 . . . . .]
    }
}
)";

LevelSetProblem ReadText(const std::string& text, LevelSet& set) {
    return LevelSetReader(kColumns, kRows).Read(text.data(), text.size(), set);
}

LevelSetProblem ReadText(const std::string& text) {
    LevelSet set;
    return ReadText(text, set);
}

// A one-level set with the given field rows (one a line, from line 5) and shot count.
std::string OneLevel(const std::string& rows, const std::string& shots = "5") {
    return "Title = \"T\"\nLevel1 = {\n    Shots = " + shots + "\n    Field = {\n" + rows +
           "    }\n}\n";
}

TEST(LevelSetReader, ReadsTitleLevelsShotsAndCells) {
    LevelSet set;
    set.id = "Warm.Txt";
    ASSERT_FALSE(ReadText(kGoodSet, set));
    EXPECT_EQ(set.title, "Warm Up");
    ASSERT_EQ(set.levels.size(), 2u);
    EXPECT_EQ(set.levels[0].shots, 6);
    ASSERT_EQ(set.levels[0].rows.size(), 2u);
    EXPECT_EQ(set.levels[0].Cell(2, 0), 1);
    EXPECT_EQ(set.levels[0].Cell(0, 1), -1);
    EXPECT_EQ(set.levels[0].Cell(11, 1), 5);
    EXPECT_EQ(set.levels[0].Cell(0, 5), -1); // beyond the rows given: empty
    EXPECT_EQ(set.levels[1].shots, 3);

    // Without a title the set is called by its file name.
    LevelSet untitled;
    untitled.id = "Mine.Txt";
    ASSERT_FALSE(ReadText(OneLevel("[1 1 1 . . . . . . . . .]\n"), untitled));
    EXPECT_EQ(untitled.title, "T");
    const std::string noTitle =
        "Level1 = {\nShots = 2\nField = {\n[1 . . . . . . . . . . .]\n}\n}\n";
    ASSERT_FALSE(ReadText(noTitle, untitled));
    EXPECT_EQ(untitled.title, "Mine.Txt");
}

TEST(LevelSetReader, NamesTheLineOfEveryKindOfBrokenLine) {
    struct Case {
        std::string text;
        LevelSetProblem::Kind kind;
        int line;
    };
    const std::string good = "[1 1 1 . . . . . . . . .]\n";
    const Case cases[] = {
        {"Title = \"T\"\nLevel1 = {\n  Shots 5\n}\n", LevelSetProblem::kSyntax, 3},
        {"Title = \"unterminated\n", LevelSetProblem::kSyntax, 1},
        {"Title = \"T\"\n}\n", LevelSetProblem::kSyntax, 2},
        {"Title = \"T\"\nLevl1.Shots = 3\n", LevelSetProblem::kUnknownKey, 2},
        {"Level01.Shots = 3\nLevel01.Field = {[1 1 1 . . . . . . . . .]}\n",
         LevelSetProblem::kUnknownKey, 1},
        {"Title = \"T\"\n", LevelSetProblem::kNoLevels, 1},
        {"", LevelSetProblem::kNoLevels, 1},
        {OneLevel(good) + "Level3 = {\nShots = 4\nField = {" + good + "}\n}\n",
         LevelSetProblem::kMissingPart, 9},
        {"Level1 = {\n  Field = {\n" + good + "}\n}\n", LevelSetProblem::kMissingPart, 2},
        {OneLevel(good, "0"), LevelSetProblem::kShots, 3},
        {OneLevel(good, "7"), LevelSetProblem::kShots, 3},
        {OneLevel(good, "many"), LevelSetProblem::kShots, 3},
        {OneLevel(good + "[1 1 1 . . . . . . . .]\n"), LevelSetProblem::kRowWidth, 6},
        {OneLevel(good + "[1 1 1 . . . . . . . . . .]\n"), LevelSetProblem::kRowWidth, 5},
        {OneLevel(good + good + "[1 1 7 . . . . . . . . .]\n"), LevelSetProblem::kCell, 7},
        {OneLevel("[1 1 x . . . . . . . . .]\n"), LevelSetProblem::kCell, 5},
        {OneLevel("[. . . . . . . . . . . .]\n"), LevelSetProblem::kEmptyField, 4},
        {OneLevel(good + "[. . . . . . . . . . . .]\n[. . . . . 2 . . . . . .]\n"),
         LevelSetProblem::kLoose, 7},
    };
    for (const Case& c : cases) {
        const LevelSetProblem problem = ReadText(c.text);
        EXPECT_EQ(problem.kind, c.kind) << c.text;
        EXPECT_EQ(problem.line, c.line) << c.text;
    }
    // A broken set keeps none of its levels.
    LevelSet set;
    ASSERT_TRUE(ReadText(OneLevel(good, "0"), set));
    EXPECT_TRUE(set.levels.empty());
}

TEST(LevelSetReader, KeepsToTheLimits) {
    // Every row but the last may be filled; one more row is too many.
    std::string full;
    for (int k = 0; k < kRows - 1; ++k) {
        full += "[0 1 2 3 4 5 0 1 2 3 4 5]\n";
    }
    LevelSet set;
    ASSERT_FALSE(ReadText(OneLevel(full), set));
    EXPECT_EQ(set.levels[0].rows.size(), static_cast<std::size_t>(kRows - 1));
    const LevelSetProblem tooMany = ReadText(OneLevel(full + "[0 1 2 3 4 5 0 1 2 3 4 5]\n"));
    EXPECT_EQ(tooMany.kind, LevelSetProblem::kTooManyRows);
    EXPECT_EQ(tooMany.line, 5 + kRows - 1);

    // 99 levels are the most a set holds; a level 100 is not a level key.
    std::string many;
    for (int n = 1; n <= LevelSetReader::kMaxLevels; ++n) {
        many += "Level" + std::to_string(n) + ".Shots = 6\nLevel" + std::to_string(n) +
                ".Field = {[5 . . . . . . . . . . .]}\n";
    }
    ASSERT_FALSE(ReadText(many, set));
    EXPECT_EQ(set.levels.size(), 99u);
    EXPECT_EQ(ReadText(many + "Level100.Shots = 2\n").kind, LevelSetProblem::kUnknownKey);

    const std::string huge(LevelSetReader::kMaxFileBytes + 1, ' ');
    EXPECT_EQ(ReadText(huge).kind, LevelSetProblem::kTooLarge);
}

TEST(LevelLibrary, ReadsThePlayersSetsAfterTheShippedOnesAndReportsBrokenOnes) {
    zvtest::ScopedUserDirs dirs;
    const std::string folder = TwDataDir() + "/Levels/";
    zvtest::WriteAll(folder + "B-Mine.Txt", kGoodSet);
    zvtest::WriteAll(folder + "A-Broken.Txt", OneLevel("[1 1 9 . . . . . . . . .]\n"));
    zvtest::WriteAll(folder + "Notes.md", "not a set");

    LevelLibrary library;
    library.Add("Shipped.Txt", true, "Data/Levels/Shipped.Txt", kGoodSet.data(), kGoodSet.size(),
                kColumns, kRows);
    library.Load(kColumns, kRows); // starts afresh: the packs (none here), then the folder
    ASSERT_EQ(library.Sets().size(), 1u);
    EXPECT_EQ(library.Sets()[0].id, "User/B-Mine.Txt");
    EXPECT_FALSE(library.Sets()[0].shipped);
    ASSERT_EQ(library.Problems().size(), 1u);
    EXPECT_EQ(library.Problems()[0].file, "Levels/A-Broken.Txt");
    EXPECT_EQ(library.Problems()[0].problem.line, 5);
    ASSERT_NE(library.Level("User/B-Mine.Txt", 2), nullptr);
    EXPECT_EQ(library.Level("User/B-Mine.Txt", 3), nullptr);
    EXPECT_EQ(library.Level("User/B-Mine.Txt", 0), nullptr);
}

} // namespace
