#include "TestSupport.h"
#include "data/TwDefFile.h"

#include <clocale>
#include <gtest/gtest.h>
#include <string>

namespace {

TwDefFile Parse(const std::string& text, int* result = nullptr) {
    TwDefFile def;
    const int r = def.LoadFromMemory(text.data(), text.size());
    if (result) {
        *result = r;
    }
    return def;
}

} // namespace

TEST(DefFileParse, BlockAndFlatFormsDefineTheSameKeys) {
    int result = -1;
    TwDefFile nested = Parse("A = {\n  B = {\n    C = 1\n  }\n}\nD=2\n", &result);
    EXPECT_EQ(result, 0);
    TwDefFile flat = Parse("A.B.C = 1\nD = 2\n");
    EXPECT_EQ(nested.Values(), flat.Values());
    EXPECT_EQ(nested.Values().at("A.B.C"), "1");
    // Closing a block returns to the enclosing one.
    TwDefFile siblings = Parse("A={ B={ x=1 } y=2 } z=3");
    EXPECT_EQ(siblings.Values().at("A.B.x"), "1");
    EXPECT_EQ(siblings.Values().at("A.y"), "2");
    EXPECT_EQ(siblings.Values().at("z"), "3");
}

TEST(DefFileParse, RawValuesKeepTheirDelimiters) {
    TwDefFile def = Parse("Pos = [100, 200, 0]\nName = \"Al \\\"B\\\" \\\\\"\nHex=0x1F // comment\n"
                          "Multi = \"one\ntwo\"\nClosed={v=7}\n");
    EXPECT_EQ(def.Values().at("Pos"), "[100, 200, 0]");
    EXPECT_EQ(def.Values().at("Name"), "\"Al \\\"B\\\" \\\\\"");
    EXPECT_EQ(def.GetString("Name"), "Al \"B\" \\");
    EXPECT_EQ(def.Values().at("Hex"), "0x1F");
    EXPECT_EQ(def.GetString("Multi"), "one\ntwo");
    EXPECT_EQ(def.Values().at("Closed.v"), "7"); // a bare value ends at '}'
    EXPECT_EQ(def.Values().size(), 5u);
}

TEST(DefFileParse, GridKeepsOnlyItsRows) {
    TwDefFile def = Parse("Map = {\n  [a b] // first\n  [c d]\n}\nNext = 1\n");
    EXPECT_EQ(def.Values().at("Map"), "{[a b][c d]}");
    int w = 0, h = 0;
    EXPECT_EQ(def.GetCharGrid("Map", w, h, ' '), "abcd");
    EXPECT_EQ(w, 2);
    EXPECT_EQ(h, 2);
    TwDefFile ragged = Parse("G = {[a b c][d]}");
    EXPECT_EQ(ragged.GetCharGrid("G", w, h, ' '), "abcd  ");
    EXPECT_EQ(w, 3);
    EXPECT_EQ(h, 2);
    // One long row and many empty ones would pad out to gigabytes: refused as damaged.
    const std::string hostile = "H = {[" + std::string(60000, 'x') + "]" + [] {
        std::string rows;
        for (int i = 0; i < 30000; ++i) {
            rows += "[]";
        }
        return rows;
    }() + "}\n";
    TwDefFile huge = Parse(hostile);
    EXPECT_EQ(huge.GetCharGrid("H", w, h, ' '), "");
    EXPECT_EQ(w, 0);
    EXPECT_EQ(h, 0);
    EXPECT_EQ(ragged.GetCharGrid("Missing", w, h, ' ', "zz"), "zz");
    EXPECT_EQ(w, 1);
    EXPECT_EQ(h, 1);
    EXPECT_EQ(ragged.Failed(), 1);
}

TEST(DefFileParse, LineEndsAndCommentsAreHandledAlike) {
    const TwDefFile lf = Parse("// header\nA=1\nB = \"x\"\n");
    const TwDefFile crlf = Parse("// header\r\nA=1\r\nB = \"x\"\r\n");
    const TwDefFile noFinalEnd = Parse("// header\nA=1\nB = \"x\"");
    EXPECT_EQ(lf.Values(), crlf.Values());
    EXPECT_EQ(lf.Values(), noFinalEnd.Values());
    // The text of a memory image ends at its first NUL byte.
    const std::string withNul("A=1\0B=2\n", 8);
    EXPECT_EQ(Parse(withNul).Values().size(), 1u);
}

TEST(DefFileParse, SyntaxErrorsFailButKeepEarlierKeys) {
    int result = 0;
    TwDefFile stray = Parse("A=1\n}\nB=2\n", &result);
    EXPECT_EQ(result, 1);
    EXPECT_EQ(stray.Failed(), 1);
    EXPECT_EQ(stray.GetInt("A", 0), 1);
    EXPECT_EQ(stray.GetInt("B", -5), -5);

    Parse("A 1\n", &result);
    EXPECT_EQ(result, 1); // a name not followed by '='
    Parse("A=\"never closed\n", &result);
    EXPECT_EQ(result, 1);
    Parse("A=[1, 2\n", &result);
    EXPECT_EQ(result, 1);
    Parse("G={[a b]\n", &result);
    EXPECT_EQ(result, 1); // grid without its '}'
    Parse("", &result);
    EXPECT_EQ(result, 0);

    // An item starting with '=' ends the file quietly.
    TwDefFile stop = Parse("A=1\n= junk }}}\nB=2\n", &result);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(stop.Values().size(), 1u);
}

// The player's own files are read past damage: each damaged line goes, the rest stays, and
// the first damaged line is named.
TEST(DefFileParse, SkippingDamageKeepsEveryReadableLine) {
    zvtest::TempDir dir;
    const auto load = [&dir](const std::string& text, TwDefFile& file) {
        zvtest::WriteAll(dir.File("f.Txt"), text);
        return file.LoadFromFile(dir.File("f.Txt"), TwDefFile::OnError::SkipLine);
    };
    TwDefFile file;
    EXPECT_EQ(load("junk\nA=1\n}\nB=\"two\"\n= stray\nC=3\nD=\"never closed\n", file), 1);
    EXPECT_EQ(file.ErrorLine(), 1);
    EXPECT_EQ(file.GetInt("A", 0), 1);
    EXPECT_EQ(file.GetString("B"), "two");
    EXPECT_EQ(file.GetInt("C", 0), 3);
    EXPECT_FALSE(file.Has("D"));

    // Inside a block the damaged line goes and the block goes on.
    EXPECT_EQ(load("0 = {\n\tName=\"a\"\n\t%%%\n\tScore=5\n}\nN=1\n", file), 1);
    EXPECT_EQ(file.ErrorLine(), 3);
    EXPECT_EQ(file.GetString("0.Name"), "a");
    EXPECT_EQ(file.GetInt("0.Score", 0), 5);
    EXPECT_EQ(file.GetInt("N", 0), 1);

    // A clean file reports no error line; a missing one neither, but fails.
    EXPECT_EQ(load("A=1\n", file), 0);
    EXPECT_EQ(file.ErrorLine(), 0);
    EXPECT_EQ(file.LoadFromFile(dir.File("none.Txt"), TwDefFile::OnError::SkipLine), 1);
    EXPECT_EQ(file.ErrorLine(), 0);

    // Stopping at the first error stays the default for the game's own data.
    zvtest::WriteAll(dir.File("f.Txt"), "A=1\njunk\nB=2\n");
    EXPECT_EQ(file.LoadFromFile(dir.File("f.Txt")), 1);
    EXPECT_EQ(file.ErrorLine(), 2);
    EXPECT_TRUE(file.Has("A"));
    EXPECT_FALSE(file.Has("B"));
}

TEST(DefFileGetters, NumbersAndDefaults) {
    TwDefFile def = Parse("Hex = 0x1f\nNotHex = 1f\nNeg = -42\nQuoted = \"12\"\nF = 2.5e1\n"
                          "Big = 99999999999\nAllBits = 0xFFFFFFFF\n");
    EXPECT_EQ(def.GetInt("Hex", 0), 31);
    EXPECT_EQ(def.GetInt("NotHex", 0), 1);
    EXPECT_EQ(def.GetInt("Neg", 0), -42);
    EXPECT_EQ(def.GetInt("Quoted", 7), 0);
    EXPECT_EQ(def.GetInt("Big", 0), 2147483647);
    EXPECT_EQ(def.GetInt("AllBits", 0), -1);
    EXPECT_FLOAT_EQ(def.GetFloat("F", 0.0f), 25.0f);
    EXPECT_EQ(def.Failed(), 0);
    EXPECT_FLOAT_EQ(def.GetFloat("Nope", 1.5f), 1.5f);
    EXPECT_EQ(def.Failed(), 1);
    EXPECT_EQ(def.GetString("Nope", "dflt"), "dflt");
    EXPECT_EQ(def.GetCString("Nope"), "");
    EXPECT_EQ(def.GetInt("Neg", 0), -42);
    EXPECT_EQ(def.Failed(), 0); // every getter clears the flag first
}

TEST(DefFileGetters, ListsAndVectors) {
    TwDefFile def = Parse("Pos = [ 10 , 20 ]\nFull=[1 2 3 4]\nEmpty=[]\nShort=x\n");
    const TwVector pos = def.GetVector3("Pos", ',');
    EXPECT_FLOAT_EQ(pos.x, 10.0f);
    EXPECT_FLOAT_EQ(pos.y, 20.0f);
    EXPECT_FLOAT_EQ(pos.z, -1024.0f);
    EXPECT_EQ(def.GetFloatList("Full", ' '), (std::vector<float>{1, 2, 3, 4}));
    EXPECT_EQ(def.GetVector3("Full", ' '), TwVector(1, 2, 3));
    EXPECT_TRUE(def.GetFloatList("Empty", ',').empty());
    EXPECT_TRUE(def.GetFloatList("Short", ',').empty());
    EXPECT_EQ(def.GetVector3("Missing", ','), TwVector(-1024, -1024, -1024));
    EXPECT_EQ(def.Failed(), 1);
}

TEST(DefFileGetters, StringEscapesAndEmbeddedNul) {
    TwDefFile def;
    const char raw[] = "tab\there\nquote\" back\\ nul\0end cr\r";
    const std::string text(raw, sizeof raw - 1);
    def.SetString("S", text);
    EXPECT_EQ(def.Values().at("S"), "\"tab\\there\\nquote\\\" back\\\\ nul\\0end cr\r\"");
    EXPECT_EQ(def.GetString("S"), text);
    EXPECT_EQ(def.GetCString("S"), "tab\there\nquote\" back\\ nul");
    // An unknown escape keeps its backslash.
    TwDefFile unknown = Parse("U = \"a\\qb\"\n");
    EXPECT_EQ(unknown.GetString("U"), "a\\qb");
}

TEST(DefFileWriter, RegroupsDottedKeysIntoBlocks) {
    TwDefFile def;
    def.SetString("A.x", "1");
    def.SetInt("A.y", 2);
    def.SetInt("B", 3);
    EXPECT_EQ(def.Serialize(), "A = {\n\tx=\"1\"\n\ty=2\n}\nB=3\n");

    TwDefFile deep;
    deep.SetInt("NumRecords", 2);
    deep.SetInt("0.Scores", 10);
    deep.SetInt("P.Q.R", 1);
    deep.SetInt("P.Q.S", 2);
    deep.SetInt("P.T", 3);
    deep.SetFloat("P.U.V", 0.5f);
    EXPECT_EQ(deep.Serialize(),
              "0 = {\n\tScores=10\n}\nNumRecords=2\n"
              "P = {\n\tQ = {\n\t\tR=1\n\t\tS=2\n\t}\n\tT=3\n\tU = {\n\t\tV=0.500000\n\t}\n}\n");
    EXPECT_EQ(TwDefFile().Serialize(), "");
}

TEST(DefFileWriter, SaveAndLoadRoundTrip) {
    zvtest::TempDir tmp;
    TwDefFile out;
    out.SetInt("Game.Score", -17);
    out.SetFloat("Game.Speed", 1.25f);
    out.SetString("Game.Name", std::string("a\\b \"c\"\n\0z", 11));
    out.SetCharGrid("Game.Map", "012345", 3, 2, ' ');
    out.SetString("Top", "");
    const std::string path = tmp.File("nested/dir/round.Txt");
    ASSERT_EQ(out.Save(path), 0);

    TwDefFile in;
    ASSERT_EQ(in.LoadFromFile(path), 0);
    EXPECT_EQ(in.Values(), out.Values());
    EXPECT_EQ(in.GetInt("Game.Score", 0), -17);
    EXPECT_FLOAT_EQ(in.GetFloat("Game.Speed", 0), 1.25f);
    EXPECT_EQ(in.GetString("Game.Name"), std::string("a\\b \"c\"\n\0z", 11));
    int w = 0, h = 0;
    EXPECT_EQ(in.GetCharGrid("Game.Map", w, h, ' '), "012345");
    EXPECT_EQ(w, 3);
    EXPECT_EQ(h, 2);
    EXPECT_EQ(in.GetString("Top", "x"), "");
}

TEST(DefFileWriter, NumbersUseTheCLocaleWhateverTheUsersLocale) {
    // A locale with a decimal comma must change nothing; try the usual ones that may exist.
    const char* locales[] = {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "C.UTF-8"};
    const std::string saved = std::setlocale(LC_ALL, nullptr);
    for (const char* name : locales) {
        if (std::setlocale(LC_ALL, name)) {
            break;
        }
    }
    TwDefFile def;
    def.SetFloat("F", 0.5f);
    const std::string raw = def.Values().at("F");
    TwDefFile back = Parse("G = 2.75\n");
    const float g = back.GetFloat("G", 0);
    std::setlocale(LC_ALL, saved.c_str());
    EXPECT_EQ(raw, "0.500000");
    EXPECT_FLOAT_EQ(g, 2.75f);
}

TEST(DefFileFiles, MissingOrUnwritableFilesFailCleanly) {
    zvtest::TempDir tmp;
    TwDefFile def;
    def.SetInt("Left", 1);
    EXPECT_EQ(def.LoadFromFile(tmp.File("absent.Txt")), 1);
    EXPECT_EQ(def.Failed(), 1);
    EXPECT_TRUE(def.Values().empty());          // a load always starts empty
    EXPECT_EQ(def.LoadFromFile(tmp.Path()), 1); // a directory is no file

    // Saving over a directory fails and leaves it alone.
    def.SetInt("A", 1);
    EXPECT_EQ(def.Save(tmp.Path()), 1);
    EXPECT_EQ(def.Failed(), 1);

    // A later occurrence of a key replaces an earlier one; Save writes exactly what is held.
    zvtest::WriteAll(tmp.File("dup.Txt"), "K=1\nK=2\n");
    ASSERT_EQ(def.LoadFromFile(tmp.File("dup.Txt")), 0);
    EXPECT_EQ(def.GetInt("K", 0), 2);
    ASSERT_EQ(def.Save(tmp.File("dup.Txt")), 0);
    EXPECT_EQ(zvtest::ReadAll(tmp.File("dup.Txt")), "K=2\n");
}
