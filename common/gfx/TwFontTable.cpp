#include "gfx/TwFontTable.h"

TwFontTable& TwFontTable::Instance() {
    // Never destroyed: fonts left in it at exit must not release their pictures after the
    // render device has gone. The application empties it while the device still exists.
    static TwFontTable* table = new TwFontTable;
    return *table;
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

void TwFontTable::Clear() {
    fonts_.clear();
}
