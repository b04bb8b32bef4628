#pragma once
#include <memory>
#include <string>
#include <vector>

#include "data/TwDefFile.h"
#include "data/TwResourceManager.h"
#include "gfx/TwBitmapFont.h"

// The language packs of this build tree, each opened as the game opens it (a translation
// in front of the English pack): its tables, the language its font table names, and its main
// font cut from the strip the game finds, the way the game cuts it.
namespace zvtest {

struct LanguagePack {
    std::string code; // "" for the English Data/Lang.Twr, else "de", "pt_BR", ...
    std::string path;
    TwResourceManager packs;             // the pack, and the English one behind a translation
    std::vector<std::string> ownEntries; // the names the pack itself holds, lower-cased
    TwDefFile tables;                    // Data/Lang.Txt
    std::string language;                // "Language" of Data/Fonts.Txt: the block in use
    TwBitmapFont mainFont;
    bool fontLoaded = false;

    // The text of `key` in this pack's own block (no English fallback).
    std::string Text(const std::string& key);
    // The names the game finds (the pack's and the English ones behind), lower-cased.
    std::vector<std::string> EntryNames() const;
};

// Every language pack in <build>/Data, English first.
std::vector<std::unique_ptr<LanguagePack>> OpenLanguagePacks();

// The keys of the English block of the English table, without the "English." prefix.
std::vector<std::string> EnglishKeys(LanguagePack& english);

} // namespace zvtest
