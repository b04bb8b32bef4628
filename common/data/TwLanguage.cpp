#include "data/TwLanguage.h"

#include "data/TwResourceManager.h"

namespace {

// The block every pack carries whole.
constexpr const char* kFallback = "English";

} // namespace

TwLanguage& TwLanguage::Instance() {
    static TwLanguage language;
    return language;
}

TwLanguage::TwLanguage() {
    Reload();
}

void TwLanguage::Reload() {
    ++generation_;
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
    std::string text = texts_.GetString(language_ + "." + key, "");
    if (text.empty()) {
        text = texts_.GetString(std::string(kFallback) + "." + key, "");
    }
    return text;
}

std::string TwLanguage::GetBoxText(const std::string& key, const std::string& english,
                                   const std::string& file) {
    std::string text = GetText(key);
    if (text.empty()) {
        text = english;
    }
    for (char& c : text) {
        if (c == '#') {
            c = '\n';
        }
    }
    const std::string mark = "{file}";
    for (std::size_t at = text.find(mark); at != std::string::npos;
         at = text.find(mark, at + file.size())) {
        text.replace(at, mark.size(), file);
    }
    return text;
}

std::string TwLanguage::GetBoxText(const std::string& key) {
    std::string text = GetText(key);
    for (char& c : text) {
        if (c == '#') {
            c = '\n';
        }
    }
    return text;
}
