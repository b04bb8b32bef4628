#include "TestSupport.h"
#include "data/TwPackWriter.h"
#include "data/TwResourceManager.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <string>

namespace {

std::string Pattern(std::size_t size) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<char>((i * 7 + 3) & 0xFF);
    }
    return bytes;
}

std::string BuildPack(TwPackWriter& writer) {
    std::string bytes;
    EXPECT_TRUE(writer.Build(bytes));
    return bytes;
}

void PutLE32(std::string& bytes, std::size_t at, std::uint32_t value) {
    if (bytes.size() < at + 4) {
        bytes.resize(at + 4, '\0');
    }
    for (int i = 0; i < 4; ++i) {
        bytes[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
    }
}

// A hand-made pack: header with `count`, then the given raw directory and data bytes.
std::string RawPack(std::int32_t count, const std::string& rest) {
    std::string bytes(32, '\0');
    PutLE32(bytes, 8, static_cast<std::uint32_t>(count));
    return bytes + rest;
}

std::string Record(std::uint32_t recordSize, std::uint32_t dataSize, std::uint32_t dataOffset,
                   std::string name) {
    std::string rec;
    PutLE32(rec, 0, recordSize);
    PutLE32(rec, 4, dataSize);
    PutLE32(rec, 8, dataOffset);
    TwResourceManager::Scramble(name.data(), name.size());
    return rec + name;
}

} // namespace

TEST(PackReader, ReadsBackWhatTheWriterPacked) {
    zvtest::TempDir tmp;
    TwPackWriter writer;
    const std::string big = Pattern(3000);
    ASSERT_TRUE(writer.AddEntry("Data/Map.Txt", "Width = 8\n"));
    ASSERT_TRUE(writer.AddEntry("Data/Textures/Big.Dds", big));
    ASSERT_TRUE(writer.AddEntry("Data/Empty.Txt", ""));
    ASSERT_TRUE(writer.Write(tmp.File("a.Twr")));

    // Names and the first 2048 bytes of data are scrambled on disk, the rest stored plainly.
    const std::string disk = zvtest::ReadAll(tmp.File("a.Twr"));
    EXPECT_EQ(disk.find("Data/Map.Txt"), std::string::npos);
    EXPECT_EQ(disk.find("Width"), std::string::npos);
    const std::size_t bigAt = disk.size() - big.size(); // the empty entry adds nothing after it
    for (std::size_t i = 2040; i < 2056; ++i) {
        const char stored = i < 2048 ? static_cast<char>(big[i] ^ 0xA7) : big[i];
        EXPECT_EQ(disk[bigAt + i], stored) << i;
    }
    EXPECT_EQ(disk.substr(bigAt + 2048), big.substr(2048));

    TwResourceManager packs;
    ASSERT_TRUE(packs.OpenPack(tmp.File("a.Twr")));
    std::string out;
    EXPECT_EQ(packs.GetResource("Data/Map.Txt", out), 10);
    EXPECT_EQ(out, "Width = 8\n");
    EXPECT_EQ(packs.GetResource("Data/Textures/Big.Dds", out), 3000);
    EXPECT_EQ(out, big);
    EXPECT_EQ(packs.LastSize(), 3000);

    out = "stale";
    EXPECT_EQ(packs.GetResource("Data/Empty.Txt", out), 0);
    EXPECT_EQ(out, "");
    EXPECT_EQ(out.c_str()[0], '\0');
}

TEST(PackReader, NamesIgnoreCaseButNotSlashDirection) {
    zvtest::TempDir tmp;
    TwPackWriter writer;
    ASSERT_TRUE(writer.AddEntry("Data/Fonts.Txt", "F"));
    ASSERT_TRUE(writer.Write(tmp.File("a.Twr")));
    TwResourceManager packs;
    ASSERT_TRUE(packs.OpenPack(tmp.File("a.Twr")));
    std::string out;
    EXPECT_EQ(packs.GetResource("DATA/fonts.txt", out), 1);
    EXPECT_TRUE(packs.Exists("data/FONTS.TXT"));
    EXPECT_EQ(packs.GetResource("Data\\Fonts.Txt", out), -1);
    EXPECT_FALSE(packs.Exists("Data\\Fonts.Txt"));
    EXPECT_EQ(packs.Entries().at(0).name, "Data/Fonts.Txt"); // stored case kept

    // The writer refuses names the reader could not tell apart.
    EXPECT_FALSE(writer.AddEntry("data/fonts.TXT", "x"));
    EXPECT_FALSE(writer.AddEntry("", "x"));
    EXPECT_EQ(writer.Count(), 1u);
}

TEST(PackReader, FirstOpenedPackWins) {
    zvtest::TempDir tmp;
    TwPackWriter first, second;
    ASSERT_TRUE(first.AddEntry("Data/Lang.Txt", "first"));
    ASSERT_TRUE(second.AddEntry("data/lang.txt", "second"));
    ASSERT_TRUE(second.AddEntry("Data/Only.Txt", "only"));
    ASSERT_TRUE(first.Write(tmp.File("1.Twr")));
    ASSERT_TRUE(second.Write(tmp.File("2.Twr")));

    TwResourceManager packs;
    ASSERT_TRUE(packs.OpenPack(tmp.File("1.Twr")));
    ASSERT_TRUE(packs.OpenPack(tmp.File("2.Twr")));
    std::string out;
    EXPECT_EQ(packs.GetResource("Data/Lang.Txt", out), 5);
    EXPECT_EQ(out, "first");
    EXPECT_EQ(packs.GetResource("Data/Only.Txt", out), 4);
    packs.CloseAll();
    EXPECT_EQ(packs.GetResource("Data/Lang.Txt", out), -1);
}

TEST(PackReader, MissingOrVanishedPacks) {
    zvtest::TempDir tmp;
    TwResourceManager packs;
    testing::internal::CaptureStdout();
    EXPECT_FALSE(packs.OpenPack(tmp.File("none.Twr")));
    EXPECT_FALSE(packs.OpenPack(tmp.Path())); // a directory
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "File was not opened\nFile was not opened\n");

    TwPackWriter writer;
    ASSERT_TRUE(writer.AddEntry("Data/A.Txt", "abc"));
    ASSERT_TRUE(writer.Write(tmp.File("gone.Twr")));
    ASSERT_TRUE(packs.OpenPack(tmp.File("gone.Twr")));
    ASSERT_EQ(std::remove(tmp.File("gone.Twr").c_str()), 0);
    std::string out = "untouched";
    EXPECT_EQ(packs.GetResource("Data/A.Txt", out), 0);
    EXPECT_EQ(out, "untouched");

    // A pack cut short after opening serves nothing from beyond its new end.
    ASSERT_TRUE(writer.Write(tmp.File("cut.Twr")));
    ASSERT_TRUE(packs.OpenPack(tmp.File("cut.Twr")));
    std::string bytes = zvtest::ReadAll(tmp.File("cut.Twr"));
    zvtest::WriteAll(tmp.File("cut.Twr"), bytes.substr(0, bytes.size() - 1));
    EXPECT_EQ(packs.GetResource("Data/A.Txt", out), 0);
    EXPECT_EQ(out, "untouched");
}

TEST(PackReader, MalformedDirectoriesAreRefusedOrSkipped) {
    zvtest::TempDir tmp;
    const auto open = [&](const std::string& bytes, TwResourceManager& packs) {
        zvtest::WriteAll(tmp.File("bad.Twr"), bytes);
        testing::internal::CaptureStdout();
        const bool ok = packs.OpenPack(tmp.File("bad.Twr"));
        testing::internal::GetCapturedStdout();
        return ok;
    };
    {
        TwResourceManager packs;
        EXPECT_FALSE(open(std::string(20, '\0'), packs)); // header cut short
        EXPECT_TRUE(open(RawPack(0, ""), packs));
        EXPECT_TRUE(open(RawPack(-5, ""), packs));
        EXPECT_TRUE(packs.Entries().empty());
    }
    {
        // Two billion entries in a tiny file: opens at once with nothing in it.
        TwResourceManager packs;
        EXPECT_TRUE(open(RawPack(2000000000, std::string(10, 'x')), packs));
        EXPECT_TRUE(packs.Entries().empty());
    }
    {
        // A good record, one whose data runs past the end (skipped), one with an offset past the
        // end (skipped), then another good one: the good ones survive.
        const std::uint32_t dataAt = 32 + 4 * 13;
        std::string dir = Record(13, 1, dataAt, "a") + Record(13, 100, dataAt, "b") +
                          Record(13, 1, 0xFFFFFFF0u, "c") + Record(13, 1, dataAt + 1, "d");
        std::string data = "\xC6\xC5"; // 'a' and 'b' scrambled with 0xA7
        TwResourceManager packs;
        ASSERT_TRUE(open(RawPack(4, dir + data), packs));
        std::string out;
        EXPECT_EQ(packs.GetResource("a", out), 1);
        EXPECT_EQ(out, "a");
        EXPECT_EQ(packs.GetResource("b", out), -1);
        EXPECT_EQ(packs.GetResource("c", out), -1);
        EXPECT_EQ(packs.GetResource("d", out), 1);
        EXPECT_EQ(out, "b");
    }
    {
        // A record size below 12, or a record reaching past the end, ends the directory there.
        const std::uint32_t dataAt = 32 + 13 + 12;
        TwResourceManager small;
        ASSERT_TRUE(open(RawPack(3, Record(13, 1, dataAt, "a") + Record(5, 1, dataAt, "") + "\xC6"),
                         small));
        EXPECT_EQ(small.Entries().size(), 1u);
        TwResourceManager longName;
        ASSERT_TRUE(
            open(RawPack(2, Record(13, 0, 32, "a") + Record(0x7FFFFFFF, 0, 32, "zz")), longName));
        EXPECT_EQ(longName.Entries().size(), 1u);
    }
    {
        // A name field without its NUL ends at the field; one with a NUL ends there.
        TwResourceManager packs;
        ASSERT_TRUE(open(RawPack(1, Record(12 + 4, 0, 32, std::string("ab\0z", 4))), packs));
        ASSERT_EQ(packs.Entries().size(), 1u);
        EXPECT_EQ(packs.Entries()[0].name, "ab");
    }
}

// The game opens its packs only when they are whole: a pack cut short, one whose list of
// contents breaks off, one with entries beyond its end, or an empty one is left closed.
TEST(PackReader, OnlyWholePacksAreOpenedForTheGame) {
    zvtest::TempDir dir;
    TwResourceManager& packs = TwResourceManager::Instance();
    using State = TwResourceManager::PackState;
    TwPackWriter writer;
    writer.AddEntry("Data/A.Txt", Pattern(3000));
    writer.AddEntry("Data/B.Txt", Pattern(5000));
    const std::string whole = BuildPack(writer);

    const struct {
        const char* name;
        std::string bytes;
        State state;
    } cases[] = {
        {"whole", whole, State::Intact},
        {"cut in its data", whole.substr(0, whole.size() - 100), State::Damaged},
        {"cut in its list", whole.substr(0, 50), State::Damaged},
        {"cut in its header", whole.substr(0, 3), State::Damaged},
        {"count beyond its list", RawPack(5, whole.substr(32)), State::Damaged},
        {"empty", RawPack(0, ""), State::Damaged},
    };
    for (const auto& c : cases) {
        packs.CloseAll();
        zvtest::WriteAll(dir.File("p.Twr"), c.bytes);
        const TwResourceManager::PackCheck check = packs.OpenIntactPack(dir.File("p.Twr"));
        EXPECT_EQ(check.state, c.state) << c.name;
        EXPECT_EQ(check.problem.empty(), c.state == State::Intact) << c.name;
        EXPECT_EQ(packs.Exists("Data/A.Txt"), c.state == State::Intact) << c.name;
    }
    packs.CloseAll();
    EXPECT_EQ(packs.OpenIntactPack(dir.File("none.Twr")).state, State::Missing);
    EXPECT_FALSE(packs.Exists("Data/A.Txt"));
}

TEST(PackReader, WriterIsDeterministic) {
    TwPackWriter a, b;
    for (TwPackWriter* w : {&a, &b}) {
        ASSERT_TRUE(w->AddEntry("One", Pattern(5000)));
        ASSERT_TRUE(w->AddEntry("Two", "2"));
    }
    const std::string packA = BuildPack(a);
    EXPECT_EQ(packA, BuildPack(b));
    // Header: count at offset 8, the rest zero; first record right after the header.
    EXPECT_EQ(packA.substr(0, 8), std::string(8, '\0'));
    EXPECT_EQ(packA.substr(8, 4), std::string("\x02\0\0\0", 4));
    EXPECT_EQ(packA.substr(12, 20), std::string(20, '\0'));
    EXPECT_EQ(packA.substr(32, 4), std::string("\x0F\0\0\0", 4));
    EXPECT_EQ(packA.size(), 32u + 2 * 15 + 5001);
}

TEST(PackLookup, FindsPackInTheFirstDirectoryHoldingIt) {
    zvtest::TempDir tmp;
    zvtest::WriteAll(tmp.File("second/Data/Resource.Twr"), "x");
    zvtest::WriteAll(tmp.File("third/Data/Resource.Twr"), "y");
    zvtest::WriteAll(tmp.File("first/Data/Resource.Twr/dir-not-file"), "z");
    const std::vector<std::string> dirs{tmp.File("first"), tmp.File("second"), tmp.File("third")};
    EXPECT_EQ(TwResourceManager::FindPackPath("Data/Resource.Twr", dirs),
              tmp.File("second") + "/Data/Resource.Twr");
    EXPECT_EQ(TwResourceManager::FindPackPath("Data/Lang.Twr", dirs), "Data/Lang.Twr");

    const std::vector<std::string> usual = TwResourceManager::DefaultPackDirs();
    ASSERT_GE(usual.size(), 3u);
    EXPECT_EQ(usual[0], ".");
    EXPECT_EQ(usual[1], zvtest::BinaryDir()); // the test runs from the build tree
}
