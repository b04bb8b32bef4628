#pragma once
#include <map>
#include <memory>
#include <string>

#include "gfx/TwBitmapFont.h"

// The game's fonts by index: 0 "MainFont" (menus and dialogs), 1 "Digits" (in-game numbers).
// Process-wide; the application empties it when it shuts down.
class TwFontTable {
public:
    enum Index { MainFont = 0, Digits = 1 };

    static TwFontTable& Instance();
    // Shortcut for Instance().Find(index).
    static TwBitmapFont* Get(int index) { return Instance().Find(index); }

    // The font under `index`, or null.
    TwBitmapFont* Find(int index) const;
    // Creates the font, loads the block `fontName` of Fonts.Txt and stores it under `index`
    // (replacing any font there). The font is stored even when loading fails, so texts drawn
    // with it simply draw nothing. Returns the font.
    TwBitmapFont* Load(int index, const std::string& fontName);
    // Deletes every font.
    void Clear();

private:
    TwFontTable() = default;
    std::map<int, std::unique_ptr<TwBitmapFont>> fonts_;
};
