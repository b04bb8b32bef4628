#pragma once
#include <string>

#include "data/TwDefFile.h"

// The texts the menus show in their confirmation dialogs, looked up by key in the language
// table "Data/Lang.Txt" (one block per language). The block in use is named by "Language" in
// "Data/Fonts.Txt", so a translated release changes the two files together. Both come from the
// resource packs.
class TwLanguage {
public:
    // Created on first use; reads both files from the packs open at that time.
    static TwLanguage& Instance();

    // The text of `key` in the current language; empty when the key or the block is missing.
    std::string GetText(const std::string& key);

    // Reads the language table and the language name again from the open packs.
    void Reload();
    const std::string& Language() const { return language_; }

private:
    TwLanguage();

    std::string language_;
    TwDefFile texts_;
};
