#include "gfx/TwFontTable.h"

TwFontTable& TwFontTable::Instance() {
    static TwFontTable table;
    return table;
}

TwBitmapFont* TwFontTable::Find(int index) const {
    const auto it = fonts_.find(index);
    return it == fonts_.end() ? nullptr : it->second.get();
}

TwBitmapFont* TwFontTable::Load(int index, const std::string& fontName) {
    auto font = std::make_unique<TwBitmapFont>();
    font->Load(fontName);
    TwBitmapFont* result = font.get();
    fonts_[index] = std::move(font);
    return result;
}

void TwFontTable::Set(int index, std::unique_ptr<TwBitmapFont> font) {
    fonts_[index] = std::move(font);
}

void TwFontTable::Clear() {
    fonts_.clear();
}
