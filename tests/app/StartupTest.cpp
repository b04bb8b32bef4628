#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "GameStartup.h"
#include "SoftwareRendering.h"
#include "TestSupport.h"
#include "data/TwPackWriter.h"
#include "data/TwResourceManager.h"
#include "platform/window/TwMessageBox.h"

namespace {

// Runs the whole start-up and shut-down (no frame loop) and collects what the player would
// have seen: the message boxes and the loading-screen percentages.
class StartupTest : public ::testing::Test {
protected:
    void SetUp() override {
        TwResourceManager::Instance().CloseAll();
        TwSetMessageSink([this](const std::string& caption, const std::string& text) {
            EXPECT_EQ(caption, "Error");
            messages.push_back(text);
        });
    }
    void TearDown() override {
        TwSetMessageSink({});
        TwResourceManager::Instance().CloseAll();
    }

    int Start() {
        GameStartOptions options;
        options.packDirs = {packs.Path()};
        options.runLoop = false;
        options.onProgress = [this](int percent) { percentages.push_back(percent); };
        return RunZorbitVolley(options);
    }

    // Starts with one environment variable set, and puts it back afterwards.
    int StartWith(const char* variable, const char* value) {
        const char* old = std::getenv(variable);
        const std::string saved = old ? old : "";
        ::setenv(variable, value, 1);
        const int result = Start();
        if (old) {
            ::setenv(variable, saved.c_str(), 1);
        } else {
            ::unsetenv(variable);
        }
        return result;
    }

    void WritePack(const std::string& name) {
        TwPackWriter writer;
        writer.AddEntry("Data/Readme.Txt", "x");
        ASSERT_TRUE(writer.Write(packs.File(name)));
    }

    // Messages about packs only (missing pictures have their own messages).
    std::vector<std::string> PackMessages() const {
        std::vector<std::string> result;
        for (const std::string& text : messages) {
            if (text.rfind("Error Loading Resource File.", 0) == 0) {
                result.push_back(text);
            }
        }
        return result;
    }

    SoftwareRendering softwareRendering;
    zvtest::ScopedUserDirs userDirs;
    zvtest::TempDir packs;
    std::vector<std::string> messages;
    std::vector<int> percentages;
};

} // namespace

TEST_F(StartupTest, LoadingScreenCountsUpInOrder) {
    WritePack("Data/Resource.Twr");
    WritePack("Data/Lang.Twr");
    EXPECT_EQ(Start(), 0);
    EXPECT_EQ(percentages, (std::vector<int>{20, 30, 40, 50, 60, 65, 80, 90, 100}));
    EXPECT_TRUE(PackMessages().empty());
}

// Without its pictures or words the game cannot be played: one message naming the pack,
// then the game stops before its window opens.
TEST_F(StartupTest, MissingOrDamagedPackStopsTheGameWithOneMessage) {
    WritePack("Data/Lang.Twr");
    EXPECT_EQ(Start(), kExitPackTrouble);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(PackMessages().size(), 1u);
    EXPECT_NE(messages[0].find(packs.File("Data/Resource.Twr")), std::string::npos) << messages[0];
    EXPECT_TRUE(percentages.empty());

    // Both missing: still one message, about the first.
    messages.clear();
    std::filesystem::remove(packs.File("Data/Lang.Twr"));
    EXPECT_EQ(Start(), kExitPackTrouble);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find("Resource.Twr"), std::string::npos);

    // A resource pack cut short is damaged, not missing: one message, no cascade of
    // pictures reported missing one by one.
    messages.clear();
    WritePack("Data/Lang.Twr");
    WritePack("Data/Resource.Twr");
    const std::string whole = zvtest::ReadAll(packs.File("Data/Resource.Twr"));
    zvtest::WriteAll(packs.File("Data/Resource.Twr"), whole.substr(0, whole.size() - 1));
    EXPECT_EQ(Start(), kExitPackTrouble);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(PackMessages().size(), 1u);
}

// A missing or damaged pack of the desktop's language: the game speaks English, quietly.
TEST_F(StartupTest, DamagedLanguagePackFallsBackToEnglishQuietly) {
    WritePack("Data/Resource.Twr");
    WritePack("Data/Lang.Twr");
    zvtest::WriteAll(packs.File("Data/Lang_de.Twr"), "cut");
    const int result = StartWith("LANGUAGE", "de");
    EXPECT_EQ(result, 0);
    EXPECT_TRUE(PackMessages().empty());
    EXPECT_EQ(percentages.size(), 9u);
}

TEST_F(StartupTest, NoDisplayGivesAMessageAndACleanExit) {
    WritePack("Data/Resource.Twr");
    WritePack("Data/Lang.Twr");
    const int result = StartWith("SDL_VIDEODRIVER", "no-such-driver");
    EXPECT_EQ(result, 0);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find("could not open its window"), std::string::npos);
    EXPECT_TRUE(percentages.empty());
}

TEST(GamePacks, FoundInTheFirstFolderThatHoldsThem) {
    zvtest::TempDir first, second;
    zvtest::WriteAll(second.File("Data/Lang.Twr"), "pack");
    EXPECT_EQ(FindGamePack("Data//Lang.Twr", {first.Path(), second.Path()}),
              second.Path() + "/Data//Lang.Twr");
    EXPECT_EQ(FindGamePack("Data//Resource.Twr", {first.Path(), second.Path()}),
              first.Path() + "/Data//Resource.Twr");
    EXPECT_EQ(FindGamePack("Data//Resource.Twr", {"", second.Path()}), "Data//Resource.Twr");
}
