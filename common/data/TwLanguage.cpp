#include "data/TwLanguage.h"

#include "data/TwResourceManager.h"

TwLanguage& TwLanguage::Instance() {
    static TwLanguage language;
    return language;
}

TwLanguage::TwLanguage() {
    Reload();
}

void TwLanguage::Reload() {
    language_.clear();
    texts_ = TwDefFile();
    TwResourceManager& packs = TwResourceManager::Instance();
    std::string bytes;
    // A missing table leaves every text empty; the dialogs then simply ask nothing.
    if (packs.GetResource("Data/Lang.Txt", bytes) >= 0) {
        texts_.LoadFromMemory(bytes.data(), bytes.size());
    }
    bytes.clear();
    if (packs.GetResource("Data/Fonts.Txt", bytes) >= 0) {
        TwDefFile fonts;
        fonts.LoadFromMemory(bytes.data(), bytes.size());
        language_ = fonts.GetString("Language", "");
    }
}

std::string TwLanguage::GetText(const std::string& key) {
    return texts_.GetString(language_ + "." + key, "");
}
