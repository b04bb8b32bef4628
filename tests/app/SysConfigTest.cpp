#include <gtest/gtest.h>

#include "TestSupport.h"
#include "data/TwEngineDefs.h"
#include "data/TwPackWriter.h"
#include "data/TwResourceManager.h"
#include "data/TwSysConfig.h"
#include "platform/os/TwUserFiles.h"

TEST(SysConfig, FirstStartIsFullScreenLoudEasyAndWritesNothing) {
    zvtest::ScopedUserDirs dirs;
    TwSysConfig config;
    config.Windowed = true;
    config.SoundVolume = 3;
    EXPECT_EQ(config.Load(), 1);
    EXPECT_FALSE(config.Windowed);
    EXPECT_EQ(config.SoundVolume, 100);
    EXPECT_EQ(config.MusicVolume, 100);
    EXPECT_EQ(config.DifficultLevel, 0);
    std::string bytes;
    EXPECT_FALSE(TwReadFile(config.FilePath(), bytes));
}

TEST(SysConfig, MissingKeysOfAnExistingFileTakeTheirFirstRunValues) {
    zvtest::ScopedUserDirs dirs;
    TwSysConfig config;
    ASSERT_TRUE(TwWriteFileAtomic(config.FilePath(), "Windowed=1\n"));
    EXPECT_EQ(config.Load(), 0);
    EXPECT_TRUE(config.Windowed);
    EXPECT_EQ(config.SoundVolume, 100);
    EXPECT_EQ(config.MusicVolume, 100);
    EXPECT_EQ(config.DifficultLevel, 0);

    // Keys that are present keep their reading, a written 0 included.
    ASSERT_TRUE(TwWriteFileAtomic(config.FilePath(), "MusicVolume=0\nDifficultLevel=2\n"));
    EXPECT_EQ(config.Load(), 0);
    EXPECT_FALSE(config.Windowed);
    EXPECT_EQ(config.SoundVolume, 100);
    EXPECT_EQ(config.MusicVolume, 0);
    EXPECT_EQ(config.DifficultLevel, 2);
    EXPECT_EQ(config.Language, "") << "older files follow the desktop's language";

    // The language chosen in the options; a value that is no language code is the desktop's.
    ASSERT_TRUE(TwWriteFileAtomic(config.FilePath(), "Language=\"pt_BR\"\n"));
    EXPECT_EQ(config.Load(), 0);
    EXPECT_EQ(config.Language, "pt_BR");
    ASSERT_TRUE(TwWriteFileAtomic(config.FilePath(), "Language=\"../x\"\n"));
    EXPECT_EQ(config.Load(), 0);
    EXPECT_EQ(config.Language, "");
}

TEST(SysConfig, SaveAndReloadGiveBackTheSameSettingsAndKeepOtherKeys) {
    zvtest::ScopedUserDirs dirs;
    TwSysConfig config;
    ASSERT_TRUE(TwWriteFileAtomic(config.FilePath(), "Windowed=0x0\nExtra=7\n"));
    ASSERT_EQ(config.Load(), 0);
    config.Windowed = true;
    config.SoundVolume = 300; // out of range values are kept as they are
    config.MusicVolume = 15;
    config.DifficultLevel = 2;
    config.Language = "ru";
    ASSERT_EQ(config.Save(), 0);

    TwSysConfig reloaded;
    ASSERT_EQ(reloaded.Load(), 0);
    EXPECT_TRUE(reloaded == config);
    EXPECT_EQ(reloaded.SoundVolume, 300);
    EXPECT_NE(zvtest::ReadAll(config.FilePath()).find("Extra"), std::string::npos);
    EXPECT_EQ(config.FilePath(), dirs.ConfigHome() + "/zorbit-volley/TwConfig.Cfg");
}

TEST(SysConfig, ComparisonAndCopyCoverTheFourSettingsOnly) {
    TwSysConfig a("Data/A.Cfg");
    TwSysConfig b("Data/B.Cfg");
    a.Windowed = true;
    a.MusicVolume = 42;
    EXPECT_FALSE(a == b);
    b.Assign(a);
    EXPECT_TRUE(a == b);
    EXPECT_EQ(b.FileName(), "Data/B.Cfg");
}

TEST(EngineDefinitions, ComeFromTheMainPackAndBringTheSettingsAlong) {
    zvtest::ScopedUserDirs dirs;
    zvtest::TempDir packDir;
    TwPackWriter writer;
    writer.AddEntry("Data/EngineDefs.Txt", "ProfileDlg.NumProfiles=7\nScoreDlg.UpUffset=12\n");
    ASSERT_TRUE(writer.Write(packDir.File("Resource.Twr")));
    TwResourceManager::Instance().CloseAll();
    ASSERT_TRUE(TwResourceManager::Instance().OpenPack(packDir.File("Resource.Twr")));
    ASSERT_TRUE(TwWriteFileAtomic(TwSysConfig::Instance().FilePath(), "Windowed=1\n"));
    const TwSysConfig saved = TwSysConfig::Instance();

    EXPECT_TRUE(LoadEngineDefinitions());
    EXPECT_EQ(TwEngineDefs().GetInt("ProfileDlg.NumProfiles", 0), 7);
    EXPECT_EQ(TwEngineDefs().GetInt("ScoreDlg.UpUffset", 0), 12);
    EXPECT_TRUE(TwSysConfig::Instance().Windowed);

    // Without the file in any pack the table is empty and readers get their defaults.
    TwResourceManager::Instance().CloseAll();
    EXPECT_TRUE(LoadEngineDefinitions());
    EXPECT_EQ(TwEngineDefs().GetInt("ProfileDlg.NumProfiles", 3), 3);
    TwSysConfig::Instance().Assign(saved);
}
