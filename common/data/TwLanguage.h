#pragma once
#include <cstdint>
#include <string>

#include "data/TwDefFile.h"

// The texts the game prints (questions, help, greeting), looked up by key in the language
// table "Data/Lang.Txt" (one block per language, UTF-8). The block in use is named by
// "Language" in "Data/Fonts.Txt"; both come from the language pack that was opened. A
// translated pack carries the English block too, and a key its own block lacks (or leaves
// empty) reads the English text.
class TwLanguage {
public:
    // Created on first use; reads both files from the packs open at that time.
    static TwLanguage& Instance();

    // The text of `key` in the current language, else in English; empty when neither has it.
    std::string GetText(const std::string& key);
    // The same for a message box, where a '#' (a line end in the game's own texts) becomes
    // a real line end.
    std::string GetBoxText(const std::string& key);
    // GetBoxText, or `english` when no table has the key; every "{file}" in it becomes `file`.
    std::string GetBoxText(const std::string& key, const std::string& english,
                           const std::string& file = "");

    // Reads the language table and the language name again from the open packs.
    void Reload();
    const std::string& Language() const { return language_; }
    // Counts the reloads: texts built from this table are stale once it moves on.
    std::uint64_t Generation() const { return generation_; }

private:
    TwLanguage();

    std::string language_;
    TwDefFile texts_;
    std::uint64_t generation_ = 0;
};
