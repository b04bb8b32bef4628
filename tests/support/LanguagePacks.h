#pragma once
#include <memory>
#include <string>
#include <vector>

#include "data/TwDefFile.h"
#include "data/TwResourceManager.h"
#include "gfx/TwBitmapFont.h"

// The language packs of this build tree, each opened on its own: its tables, the language
// its font table names, and its main font cut from its own strip the way the game cuts it.
namespace zvtest {

struct LanguagePack {
    std::string code; // "" for the English Data/Lang.Twr, else "de", "pt_BR", ...
    std::string path;
    TwResourceManager packs;
    TwDefFile tables;     // Data/Lang.Txt
    std::string language; // "Language" of Data/Fonts.Txt: the block in use
    TwBitmapFont mainFont;
    bool fontLoaded = false;

    // The text of `key` in this pack's own block (no English fallback).
    std::string Text(const std::string& key);
    // The names of the pack's entries, lower-cased.
    std::vector<std::string> EntryNames() const;
};

// Every language pack in <build>/Data, English first.
std::vector<std::unique_ptr<LanguagePack>> OpenLanguagePacks();

// The keys of the English block of the English table, without the "English." prefix.
std::vector<std::string> EnglishKeys(LanguagePack& english);

} // namespace zvtest
