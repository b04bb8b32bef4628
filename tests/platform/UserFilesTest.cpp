#include "TestSupport.h"
#include "platform/os/TwRand.h"
#include "platform/os/TwUserFiles.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

TEST(UserFiles, GameNamesMapOntoXdgDirectories) {
    zvtest::ScopedUserDirs dirs;
    EXPECT_EQ(TwUserPath("Data/TwConfig.Cfg"), dirs.ConfigHome() + "/zorbit-volley/TwConfig.Cfg");
    EXPECT_EQ(TwUserPath("Data/Profiles.Txt"), dirs.DataHome() + "/zorbit-volley/Profiles.Txt");
    EXPECT_EQ(TwUserPath("Data/Save/Ann.Tws"), dirs.DataHome() + "/zorbit-volley/Save/Ann.Tws");
    EXPECT_EQ(TwUserPath("elsewhere.txt"), "elsewhere.txt");
}

TEST(UserFiles, RelativeXdgValueFallsBackToHome) {
    zvtest::ScopedUserDirs dirs;
    ::setenv("XDG_DATA_HOME", "relative/path", 1);
    ::setenv("HOME", "/home/someone", 1);
    EXPECT_EQ(TwDataDir(), "/home/someone/.local/share/zorbit-volley");
}

TEST(UserFiles, AtomicWriteCreatesDirectoriesAndReplacesWholeFile) {
    zvtest::TempDir tmp;
    const std::string path = tmp.File("a/b/file.txt");
    ASSERT_TRUE(TwWriteFileAtomic(path, "first version, rather long"));
    ASSERT_TRUE(TwWriteFileAtomic(path, "second"));
    std::string back;
    ASSERT_TRUE(TwReadFile(path, back));
    EXPECT_EQ(back, "second");
}

TEST(UserFiles, AtomicWriteIntoReadOnlyDirectoryKeepsOldFile) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "root ignores directory permissions";
    }
    zvtest::TempDir tmp;
    const std::string path = tmp.File("keep.txt");
    ASSERT_TRUE(TwWriteFileAtomic(path, "precious"));
    ::chmod(tmp.Path().c_str(), 0555);
    EXPECT_FALSE(TwWriteFileAtomic(path, "lost?"));
    ::chmod(tmp.Path().c_str(), 0755);
    EXPECT_EQ(zvtest::ReadAll(path), "precious");
}

TEST(Rand, FollowsTheClassicRecurrenceWithinRange) {
    TwSRand(1);
    // The first values of the classic C runtime generator seeded with 1.
    EXPECT_EQ(TwRand(), 41);
    EXPECT_EQ(TwRand(), 18467);
    EXPECT_EQ(TwRand(), 6334);
    TwSRand(12345);
    for (int i = 0; i < 10000; ++i) {
        const int v = TwRand();
        ASSERT_GE(v, 0);
        ASSERT_LE(v, TW_RAND_MAX);
    }
}
