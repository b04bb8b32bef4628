#include "TestSupport.h"
#include "data/TwLanguage.h"
#include "data/TwPackWriter.h"
#include "data/TwResourceManager.h"

#include <gtest/gtest.h>

TEST(Language, TextsComeFromTheBlockNamedByTheFontTable) {
    zvtest::TempDir tmp;
    TwPackWriter writer;
    ASSERT_TRUE(writer.AddEntry("Data/Lang.Txt", "English = {\n"
                                                 "  ConrirmStart = \"Start a new game?\\nSure?\"\n"
                                                 "}\n"
                                                 "Deutsch = { ConrirmStart = \"Neues Spiel?\" }\n"
                                                 ".Odd = \"top level\"\n"));
    ASSERT_TRUE(writer.AddEntry("Data/Fonts.Txt", "Language = \"English\"\n"));
    ASSERT_TRUE(writer.Write(tmp.File("Lang.Twr")));

    TwResourceManager& packs = TwResourceManager::Instance();
    packs.CloseAll();
    ASSERT_TRUE(packs.OpenPack(tmp.File("Lang.Twr")));
    TwLanguage& language = TwLanguage::Instance();
    language.Reload();
    EXPECT_EQ(language.Language(), "English");
    EXPECT_EQ(language.GetText("ConrirmStart"), "Start a new game?\nSure?");
    EXPECT_EQ(language.GetText("ConfirmClearTable"), "");

    // Without the font table the language is empty and keys are searched with a leading dot.
    TwPackWriter langOnly;
    ASSERT_TRUE(langOnly.AddEntry("Data/Lang.Txt", ".Odd = \"top level\"\n"));
    ASSERT_TRUE(langOnly.Write(tmp.File("LangOnly.Twr")));
    packs.CloseAll();
    ASSERT_TRUE(packs.OpenPack(tmp.File("LangOnly.Twr")));
    language.Reload();
    EXPECT_EQ(language.Language(), "");
    EXPECT_EQ(language.GetText("Odd"), "top level");
    EXPECT_EQ(language.GetText("ConrirmStart"), "");

    // No packs at all: every text is empty.
    packs.CloseAll();
    language.Reload();
    EXPECT_EQ(language.GetText("Odd"), "");
}
