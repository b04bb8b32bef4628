// The language packs against the English one: every text and every picture is there in
// every language, every text the game prints fits its place in the main font, and the font
// has a glyph for every character of every text.
#include <gtest/gtest.h>

#include "ControlBindings.h"
#include "ControlsHelp.h"

#include <algorithm>
#include <string>
#include <vector>

#include "LanguagePacks.h"
#include "PrintedPlaces.h"
#include "data/TwUtf8.h"
#include "platform/picture/TwPicture.h"

namespace {

using zvtest::LanguagePack;

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines(1);
    for (char c : text) {
        if (c == '#') {
            lines.emplace_back();
        } else {
            lines.back() += c;
        }
    }
    return lines;
}

bool EndsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() &&
           text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

constexpr const char* kWordsPatch = ".words.webp";

// The names without the words a translation lays over an English picture.
std::vector<std::string> WithoutWordPatches(std::vector<std::string> names) {
    std::erase_if(names, [](const std::string& name) { return EndsWith(name, kWordsPatch); });
    return names;
}

TwPicture Decoded(TwResourceManager& packs, const std::string& name) {
    std::string bytes;
    TwPicture picture;
    EXPECT_TRUE(packs.GetResource(name, bytes) > 0 && TwDecodePicture(bytes, picture)) << name;
    return picture;
}

// The stored form of a picture the packs hold (".jpg" or ".webp").
std::string StoredForm(TwResourceManager& packs, const std::string& name) {
    return packs.Exists(name + ".jpg") ? name + ".jpg" : name + ".webp";
}

// A picture as the game shows it from `packs`: its stored form with any words laid over it.
TwPicture Shown(TwResourceManager& packs, const std::string& name) {
    TwPicture picture = Decoded(packs, StoredForm(packs, name));
    if (packs.Exists(name + kWordsPatch)) {
        EXPECT_TRUE(TwOverlayPicture(picture, Decoded(packs, name + kWordsPatch))) << name;
    }
    return picture;
}

class LanguagePacks : public ::testing::Test {
protected:
    void SetUp() override {
        packs = zvtest::OpenLanguagePacks();
        ASSERT_GE(packs.size(), 16u) << "English and fifteen translations";
        for (const auto& pack : packs) {
            ASSERT_TRUE(pack->fontLoaded) << pack->path;
        }
    }
    LanguagePack& English() { return *packs.front(); }
    std::vector<std::unique_ptr<LanguagePack>> packs;
};

} // namespace

TEST_F(LanguagePacks, EveryPackHoldsEveryTextAndPictureOfTheEnglishOne) {
    const std::vector<std::string> keys = zvtest::EnglishKeys(English());
    ASSERT_GT(keys.size(), 60u);
    const std::vector<std::string> entries = English().EntryNames();
    EXPECT_NE(std::find(entries.begin(), entries.end(), "data/textures/interface/optionsdlg.webp"),
              entries.end());
    std::vector<std::string> languages;
    for (const auto& pack : packs) {
        EXPECT_FALSE(pack->language.empty()) << pack->path;
        languages.push_back(pack->language);
        for (const std::string& key : keys) {
            EXPECT_FALSE(pack->Text(key).empty()) << pack->path << " has no " << key;
        }
        EXPECT_EQ(WithoutWordPatches(pack->EntryNames()), entries) << pack->path;
        // Translated pictures differ from the English ones.
        if (pack->code.empty()) {
            continue;
        }
        for (const char* picture :
             {"data/textures/interface/optionsdlg", "data/textures/help",
              "data/textures/interface/gameoverdlg", "data/textures/gamebgr"}) {
            EXPECT_NE(Shown(pack->packs, picture).rgba, Shown(English().packs, picture).rgba)
                << pack->path << " " << picture << " is still English";
        }
    }
    std::sort(languages.begin(), languages.end());
    EXPECT_EQ(std::adjacent_find(languages.begin(), languages.end()), languages.end())
        << "two packs name the same language";
}

TEST_F(LanguagePacks, EveryPrintedTextFitsItsPlaceAndHasEveryGlyph) {
    for (const auto& pack : packs) {
        for (const char* action : {"ActionTurnLeft", "ActionTurnRight", "ActionFineTurn",
                                   "ActionFire", "ActionSwap", "ActionPause", "ActionMenu"}) {
            const std::string line = pack->Text("BindingTaken") + " " + pack->Text(action);
            EXPECT_LE(pack->mainFont.TextWidth(line), 470) << pack->path << ": " << line;
        }
        for (const PrintedPlace& printed : kPrintedPlaces) {
            const std::string text = pack->Text(printed.key);
            const std::vector<std::string> lines = Lines(text);
            EXPECT_LE(lines.size(), static_cast<std::size_t>(printed.maxLines))
                << pack->path << " " << printed.key;
            for (const std::string& line : lines) {
                // The game measures a line with its closing '#', which the font lacks.
                EXPECT_LE(pack->mainFont.TextWidth(line + "#"), printed.maxWidth)
                    << pack->path << " " << printed.key << ": \"" << line << "\"";
            }
            for (std::size_t pos = 0; pos < text.size();) {
                const char32_t ch = TwUtf8::Next(text, pos);
                EXPECT_TRUE(ch == U'#' ||
                            (ch != TwUtf8::kReplacement && pack->mainFont.HasGlyph(ch)))
                    << pack->path << " " << printed.key << ": no glyph for \"" << TwUtf8::Encode(ch)
                    << "\"";
            }
        }
    }
}

// The language choice of the options shows every language by its own name in the font of the
// language in use: each language names itself, and every font has all the names' letters.
TEST_F(LanguagePacks, EveryLanguageNamesItselfInLettersEveryFontHas) {
    std::vector<std::string> names;
    for (const auto& pack : packs) {
        names.push_back(pack->Text("LanguageName"));
        EXPECT_FALSE(names.back().empty()) << pack->path;
    }
    for (const auto& pack : packs) {
        for (const std::string& name : names) {
            for (std::size_t pos = 0; pos < name.size();) {
                const char32_t ch = TwUtf8::Next(name, pos);
                EXPECT_TRUE(ch != TwUtf8::kReplacement && pack->mainFont.HasGlyph(ch))
                    << pack->path << ": no glyph for \"" << TwUtf8::Encode(ch) << "\" of " << name;
            }
        }
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(std::adjacent_find(names.begin(), names.end()), names.end())
        << "two languages have the same name";
}

// A translation's pack leaves out everything it would share byte for byte with the English
// pack the game keeps open behind it (pictures whose words did not change),
// yet carries its own tables and the font table naming its language.
TEST_F(LanguagePacks, TranslationsHoldOnlyWhatDiffersFromEnglish) {
    for (const auto& pack : packs) {
        if (pack->code.empty()) {
            continue;
        }
        for (const std::string& name : pack->ownEntries) {
            TwResourceManager alone, english;
            ASSERT_TRUE(alone.OpenPack(pack->path));
            ASSERT_TRUE(english.OpenPack(English().path));
            std::string ours, theirs;
            ASSERT_GE(alone.GetResource(name, ours), 0) << name;
            if (english.GetResource(name, theirs) >= 0) {
                EXPECT_NE(ours, theirs) << pack->path << " repeats " << name;
            }
        }
        for (const char* needed : {"data/lang.txt", "data/fonts.txt"}) {
            EXPECT_TRUE(std::binary_search(pack->ownEntries.begin(), pack->ownEntries.end(),
                                           std::string(needed)))
                << pack->path << " lacks " << needed;
        }
    }
}

// The help page's controls area holds four lines: the keys as they come and long key names
// wrap into them in every language.
TEST_F(LanguagePacks, TheHelpPagesControlsFitTheirFourLines) {
    ControlBindings longNames = ControlBindings::Defaults();
    ASSERT_FALSE(longNames.AssignKey(ControlBindings::kTurnLeft, 111));  // Keypad/
    ASSERT_FALSE(longNames.AssignKey(ControlBindings::kTurnRight, 106)); // Keypad*
    ASSERT_FALSE(longNames.AssignKey(ControlBindings::kFire, 34));       // PageDown
    ASSERT_FALSE(longNames.AssignPad(ControlBindings::kTurnLeft, 12));   // d-pad down
    ASSERT_FALSE(longNames.AssignPad(ControlBindings::kFire, 13));       // d-pad left
    for (const auto& pack : packs) {
        for (const ControlBindings& bindings : {ControlBindings::Defaults(), longNames}) {
            const std::string text =
                ControlsHelpText(bindings, pack->mainFont, 690,
                                 [&](const std::string& key) { return pack->Text(key); });
            const std::vector<std::string> lines = Lines(text);
            EXPECT_LE(lines.size(), 4u) << pack->path << ": " << text;
            for (const std::string& line : lines) {
                EXPECT_LE(pack->mainFont.TextWidth(line + "#"), 690) << pack->path << ": " << line;
            }
        }
    }
}

// The words of a translated picture have the English picture's size and change it; over an
// opaque (JPEG) English picture they are whole 8 x 8 blocks, a JPEG block each, solid where
// they replace it and clear elsewhere.
TEST_F(LanguagePacks, WordPatchesCoverWholeBlocksOfTheirEnglishPicture) {
    int patches = 0;
    for (const auto& pack : packs) {
        for (const std::string& name : pack->ownEntries) {
            if (!EndsWith(name, kWordsPatch)) {
                continue;
            }
            ++patches;
            SCOPED_TRACE(pack->path + " " + name);
            const std::string base = name.substr(0, name.size() - std::string(kWordsPatch).size());
            const std::string stored = StoredForm(English().packs, base);
            TwPicture english = Decoded(English().packs, stored);
            const TwPicture patch = Decoded(pack->packs, name);
            ASSERT_EQ(patch.width, english.width);
            ASSERT_EQ(patch.height, english.height);
            const std::vector<std::uint8_t> before = english.rgba;
            ASSERT_TRUE(TwOverlayPicture(english, patch));
            EXPECT_NE(english.rgba, before);
            if (!EndsWith(stored, ".jpg")) {
                continue;
            }
            int solidBlocks = 0;
            for (int by = 0; by < patch.height; by += 8) {
                for (int bx = 0; bx < patch.width; bx += 8) {
                    int solid = 0, cells = 0;
                    for (int y = by; y < std::min(by + 8, patch.height); ++y) {
                        for (int x = bx; x < std::min(bx + 8, patch.width); ++x) {
                            solid += patch.Alpha(x, y) == 255;
                            ++cells;
                        }
                    }
                    EXPECT_TRUE(solid == 0 || solid == cells) << "block at " << bx << "," << by;
                    solidBlocks += solid == cells;
                }
            }
            EXPECT_GT(solidBlocks, 0);
        }
    }
    EXPECT_GE(patches, 7) << "every translation lays its words over the field backgrounds";
}
