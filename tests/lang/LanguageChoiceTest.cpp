// Which language the game speaks: the desktop's locale picks a pack, a missing pack or key
// falls back to English without a word to the player.
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "../app/SoftwareRendering.h"
#include "GameStartup.h"
#include "LanguageChoice.h"
#include "TestSupport.h"
#include "data/TwLanguage.h"
#include "data/TwLocale.h"
#include "data/TwPackWriter.h"
#include "data/TwResourceManager.h"
#include "data/TwSysConfig.h"
#include "platform/os/TwUserFiles.h"
#include "platform/window/TwMessageBox.h"

namespace {

using Strings = std::vector<std::string>;

Strings CandidatesOf(const std::map<std::string, std::string>& vars) {
    return TwLocale::Candidates([&vars](const char* name) -> const char* {
        const auto it = vars.find(name);
        return it == vars.end() ? nullptr : it->second.c_str();
    });
}

} // namespace

TEST(LocaleChoice, FollowsTheDesktopsPrecedence) {
    // Nothing set, C and POSIX: English.
    EXPECT_EQ(CandidatesOf({}), Strings{""});
    EXPECT_EQ(CandidatesOf({{"LANG", "C"}}), Strings{""});
    EXPECT_EQ(CandidatesOf({{"LANG", "C.UTF-8"}}), Strings{""});
    EXPECT_EQ(CandidatesOf({{"LC_ALL", "POSIX"}, {"LANG", "de_DE.UTF-8"}}), Strings{""});

    // LC_ALL before LC_MESSAGES before LANG; the first one set decides.
    EXPECT_EQ(CandidatesOf({{"LANG", "de_DE.UTF-8"}}), (Strings{"de_DE", "de", ""}));
    EXPECT_EQ(CandidatesOf({{"LC_MESSAGES", "fr_CA.UTF-8"}, {"LANG", "de_DE.UTF-8"}}),
              (Strings{"fr_CA", "fr", ""}));
    EXPECT_EQ(CandidatesOf({{"LC_ALL", "ru_RU.UTF-8"}, {"LC_MESSAGES", "fr_FR"}, {"LANG", "de"}}),
              (Strings{"ru_RU", "ru", ""}));
    EXPECT_EQ(CandidatesOf({{"LC_ALL", ""}, {"LANG", "pl_PL.UTF-8"}}),
              (Strings{"pl_PL", "pl", ""}));

    // The LANGUAGE list comes first, entry by entry, and English in it ends the search.
    EXPECT_EQ(CandidatesOf({{"LANGUAGE", "it:es"}, {"LANG", "de_DE.UTF-8"}}),
              (Strings{"it", "es", "de_DE", "de", ""}));
    EXPECT_EQ(CandidatesOf({{"LANGUAGE", "en_GB:de"}, {"LANG", "ru_RU.UTF-8"}}), Strings{""});
    EXPECT_EQ(CandidatesOf({{"LANGUAGE", "::de"}, {"LANG", "C"}}), (Strings{"de", ""}));

    // Region kept as a code of its own (Portuguese is chosen by it), modifiers dropped, case
    // set right; names that are no locale names are passed over.
    EXPECT_EQ(CandidatesOf({{"LANG", "PT_br.utf8@euro"}}), (Strings{"pt_BR", "pt", ""}));
    EXPECT_EQ(CandidatesOf({{"LANGUAGE", "../../etc:x:de_DE/x:es_419"}}),
              (Strings{"es_419", "es", ""}));
    EXPECT_EQ(CandidatesOf({{"LANG", "klingon_XX"}}), Strings{""});

    // Norwegian and Nynorsk desktops read Bokmål before English; Bokmål itself needs no help.
    EXPECT_EQ(CandidatesOf({{"LANG", "no_NO.UTF-8"}}), (Strings{"no_NO", "no", "nb", ""}));
    EXPECT_EQ(CandidatesOf({{"LANG", "nn_NO.UTF-8"}}), (Strings{"nn_NO", "nn", "nb", ""}));
    EXPECT_EQ(CandidatesOf({{"LANG", "nb_NO.UTF-8"}}), (Strings{"nb_NO", "nb", ""}));
    EXPECT_EQ(CandidatesOf({{"LANGUAGE", "nn:de"}}), (Strings{"nn", "nb", "de", ""}));

    EXPECT_EQ(TwLocale::PackName(""), "Data//Lang.Twr");
    EXPECT_EQ(TwLocale::PackName("pt_BR"), "Data//Lang_pt_BR.Twr");
}

TEST(LocaleChoice, AMissingTranslationReadsEnglish) {
    zvtest::TempDir tmp;
    TwPackWriter writer;
    ASSERT_TRUE(writer.AddEntry(
        "Data/Lang.Txt", "English = { Welcome = \"WELCOME:\" Help = \"Help\" Gone = \"Gone\" }\n"
                         "German = { Welcome = \"WILLKOMMEN:\" Help = \"\" }\n"));
    ASSERT_TRUE(writer.AddEntry("Data/Fonts.Txt", "Language = \"German\"\n"));
    ASSERT_TRUE(writer.Write(tmp.File("Lang_de.Twr")));
    TwResourceManager& packs = TwResourceManager::Instance();
    packs.CloseAll();
    ASSERT_TRUE(packs.OpenPack(tmp.File("Lang_de.Twr")));
    TwLanguage& language = TwLanguage::Instance();
    language.Reload();
    EXPECT_EQ(language.GetText("Welcome"), "WILLKOMMEN:");
    EXPECT_EQ(language.GetText("Help"), "Help"); // empty in the translation
    EXPECT_EQ(language.GetText("Gone"), "Gone"); // missing from it
    EXPECT_EQ(language.GetText("Nowhere"), "");
    packs.CloseAll();
    language.Reload();
}

// The game's message boxes speak the player's language wherever the language pack could be
// read: every text they name is in the English table (so every translation must carry it),
// and a German pack gives the German words with the file's name filled in.
TEST(LocaleChoice, MessageBoxesSpeakThePlayersLanguage) {
    TwResourceManager& packs = TwResourceManager::Instance();
    packs.CloseAll();
    ASSERT_TRUE(packs.OpenPack(zvtest::BinaryDir() + "/Data/Lang.Twr"));
    TwLanguage& language = TwLanguage::Instance();
    language.Reload();
    for (const char* key : {"BubblesMissing", "ReplayNotRecording", "ReplayOtherVersion",
                            "ReplayDamaged", "ReplayCutShort", "ReplayTooLarge", "ReplayUnreadable",
                            "ReplayUnknownMode", "NoDisplay", "FileMissing", "DamagedProfiles",
                            "DamagedScores", "DamagedFileNoCopy", "PackMissing", "PackDamaged"}) {
        EXPECT_FALSE(language.GetText(key).empty()) << key;
    }
    packs.CloseAll();
    ASSERT_TRUE(packs.OpenPack(zvtest::BinaryDir() + "/Data/Lang_de.Twr"));
    ASSERT_TRUE(packs.OpenPack(zvtest::BinaryDir() + "/Data/Lang.Twr"));
    language.Reload();
    EXPECT_EQ(language.GetBoxText("FileMissing", "unused", "Data/Textures/Help"),
              "Eine Datei des Spiels fehlt: Data/Textures/Help\nInstalliere das Spiel neu, um es "
              "zu reparieren.");
    // Without the key: the English words given, '#' a line end, every {file} filled in.
    EXPECT_EQ(language.GetBoxText("Nowhere", "{file} and {file}#again", "x{file}"),
              "x{file} and x{file}\nagain");
    packs.CloseAll();
    language.Reload();
}

// The whole start-up with packs in a folder: which language pack does the game open?
class LanguagePackStart : public ::testing::Test {
protected:
    void SetUp() override {
        TwResourceManager::Instance().CloseAll();
        TwSetMessageSink([this](const std::string&, const std::string& text) {
            if (text == "Error Loading Resource File.") {
                packErrors.push_back(text);
            }
        });
        for (const char* name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"}) {
            const char* value = std::getenv(name);
            saved[name] = value ? std::string(value) : std::string("\x01");
            ::unsetenv(name);
        }
        TwPackWriter main;
        main.AddEntry("Data/Readme.Txt", "x");
        ASSERT_TRUE(main.Write(packs.File("Data/Resource.Twr")));
    }
    void TearDown() override {
        TwSetMessageSink({});
        TwResourceManager::Instance().CloseAll();
        for (const auto& [name, value] : saved) {
            if (value == "\x01") {
                ::unsetenv(name.c_str());
            } else {
                ::setenv(name.c_str(), value.c_str(), 1);
            }
        }
    }

    void WritePack(const std::string& name, const std::string& language) {
        TwPackWriter writer;
        writer.AddEntry("Data/Fonts.Txt", "Language = \"" + language + "\"\n");
        ASSERT_TRUE(writer.Write(packs.File(name)));
    }

    // Starts and stops the game; the language of the pack it opened.
    std::string StartedLanguage() {
        std::string language = "(none)";
        TwResourceManager::Instance().CloseAll();
        GameStartOptions options;
        options.packDirs = {packs.Path()};
        options.runLoop = false;
        options.onProgress = [&language](int percent) {
            if (percent == 100) {
                std::string fonts;
                TwResourceManager::Instance().GetResource("Data/Fonts.Txt", fonts);
                language = fonts;
            }
        };
        RunZorbitVolley(options);
        return language;
    }

    SoftwareRendering softwareRendering;
    zvtest::ScopedUserDirs userDirs;
    zvtest::TempDir packs;
    std::vector<std::string> packErrors;
    std::map<std::string, std::string> saved;
};

TEST_F(LanguagePackStart, OpensTheWantedPackOrEnglishWithoutComplaint) {
    WritePack("Data/Lang.Twr", "English");
    WritePack("Data/Lang_de.Twr", "German");
    WritePack("Data/Lang_pt_BR.Twr", "Portuguese");
    const auto opened = [](const std::string& name) { return "Language = \"" + name + "\"\n"; };

    ::setenv("LANGUAGE", "de", 1);
    EXPECT_EQ(StartedLanguage(), opened("German"));
    ::setenv("LANGUAGE", "pt_BR", 1);
    EXPECT_EQ(StartedLanguage(), opened("Portuguese"));
    // European Portuguese has no pack of its own: the next wish, then English.
    ::setenv("LANGUAGE", "pt_PT:de_AT", 1);
    EXPECT_EQ(StartedLanguage(), opened("German"));
    ::setenv("LANGUAGE", "pt_PT", 1);
    EXPECT_EQ(StartedLanguage(), opened("English"));
    ::unsetenv("LANGUAGE");
    ::setenv("LANG", "fr_FR.UTF-8", 1); // no French pack here
    EXPECT_EQ(StartedLanguage(), opened("English"));
    EXPECT_TRUE(packErrors.empty());

    // Every Norwegian desktop finds the Bokmål pack, a Nynorsk one included.
    WritePack("Data/Lang_nb.Twr", "Norwegian");
    for (const char* locale : {"nb_NO.UTF-8", "no_NO.UTF-8", "nn_NO.UTF-8"}) {
        ::setenv("LANG", locale, 1);
        EXPECT_EQ(StartedLanguage(), opened("Norwegian")) << locale;
    }
    ::setenv("LANG", "fr_FR.UTF-8", 1);

    // A wanted pack that is not a pack at all: English, still no error box.
    zvtest::WriteAll(packs.File("Data/Lang_fr.Twr"), "no");
    EXPECT_EQ(StartedLanguage(), opened("English"));
    EXPECT_TRUE(packErrors.empty());
}

// The language chosen in the options comes before the desktop's and is read from the
// settings file at every start; "en" is English whatever the desktop wants; a chosen language
// without a pack, or a value that is no language code, leaves the desktop's choice.
TEST_F(LanguagePackStart, TheChoiceInTheOptionsOverridesTheDesktopAtEveryStart) {
    WritePack("Data/Lang.Twr", "English");
    WritePack("Data/Lang_de.Twr", "German");
    WritePack("Data/Lang_pt_BR.Twr", "Portuguese");
    const auto opened = [](const std::string& name) { return "Language = \"" + name + "\"\n"; };
    const auto choose = [](const std::string& code) {
        TwSysConfig config;
        config.Load();
        config.Language = code;
        ASSERT_EQ(config.Save(), 0);
    };
    ::setenv("LANGUAGE", "de", 1);
    choose("pt_BR");
    EXPECT_EQ(StartedLanguage(), opened("Portuguese"));
    EXPECT_EQ(LanguageChoice::Instance().InUse(), "pt_BR");
    EXPECT_EQ(StartedLanguage(), opened("Portuguese")) << "the choice survives a restart";
    choose("en");
    EXPECT_EQ(StartedLanguage(), opened("English"));
    EXPECT_EQ(LanguageChoice::Instance().InUse(), "en");
    choose("fr");
    EXPECT_EQ(StartedLanguage(), opened("German"));
    choose("");
    EXPECT_EQ(StartedLanguage(), opened("German"));
    EXPECT_EQ(LanguageChoice::Instance().Resolve("pt_BR"), "pt_BR");
    EXPECT_EQ(LanguageChoice::Instance().Resolve("fr"), "de");

    TwSysConfig config;
    ASSERT_TRUE(TwWriteFileAtomic(config.FilePath(), "Language = \"../../pt_BR\"\n"));
    EXPECT_EQ(StartedLanguage(), opened("German"));
    EXPECT_EQ(TwSysConfig::Instance().Language, "");

    // The options offer English first, then every pack found.
    std::vector<std::string> codes;
    for (const LanguageOption& language : LanguageChoice::Instance().Languages()) {
        codes.push_back(language.code);
    }
    EXPECT_EQ(codes, (Strings{"en", "de", "pt_BR"}));
    EXPECT_TRUE(packErrors.empty());
}

TEST(LocaleChoice, AChosenLanguageComesBeforeTheDesktops) {
    const Strings desktop{"de_AT", "de", ""};
    EXPECT_EQ(TwLocale::WithChoice("", desktop), desktop);
    EXPECT_EQ(TwLocale::WithChoice("en", desktop), Strings{""});
    EXPECT_EQ(TwLocale::WithChoice("pt_BR", desktop), (Strings{"pt_BR", "de_AT", "de", ""}));
    for (const char* bad : {"x", "DE", "de_at", "de-AT", "../de", "de_ATX", "abcd"}) {
        EXPECT_FALSE(TwLocale::IsLanguageCode(bad)) << bad;
        EXPECT_EQ(TwLocale::WithChoice(bad, desktop), desktop) << bad;
    }
    EXPECT_TRUE(TwLocale::IsLanguageCode("fil"));
}
