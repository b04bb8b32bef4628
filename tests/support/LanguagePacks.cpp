#include "LanguagePacks.h"

#include <algorithm>
#include <filesystem>

#include "TestSupport.h"
#include "platform/picture/TwPicture.h"

namespace zvtest {

namespace {

TwDefFile ReadTable(TwResourceManager& packs, const std::string& name) {
    TwDefFile table;
    std::string bytes;
    if (packs.GetResource(name, bytes) >= 0) {
        table.LoadFromMemory(bytes.data(), bytes.size());
    }
    return table;
}

std::vector<std::string> LowerCaseNames(const TwResourceManager& packs) {
    std::vector<std::string> names;
    for (const TwResourceManager::Item& item : packs.Entries()) {
        std::string name = item.name;
        std::transform(name.begin(), name.end(), name.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
    return names;
}

std::unique_ptr<LanguagePack> Open(const std::string& code, const std::string& path,
                                   const std::string& englishPath) {
    auto pack = std::make_unique<LanguagePack>();
    pack->code = code;
    pack->path = path;
    if (!pack->packs.OpenPack(path)) {
        return pack;
    }
    pack->ownEntries = LowerCaseNames(pack->packs);
    if (!code.empty() && !pack->packs.OpenPack(englishPath)) {
        return pack;
    }
    // The font strips are shared by every language, in the main pack behind the language's.
    const std::string dir = englishPath.substr(0, englishPath.rfind('/') + 1);
    if (!pack->packs.OpenPack(dir + "Resource.Twr")) {
        return pack;
    }
    pack->tables = ReadTable(pack->packs, "Data/Lang.Txt");
    TwDefFile fonts = ReadTable(pack->packs, "Data/Fonts.Txt");
    pack->language = fonts.GetString("Language", "");
    pack->mainFont.Configure(
        fonts.GetCString("MainFont.Codes"), fonts.GetInt("MainFont.MonoWidth", 0),
        fonts.GetInt("MainFont.CharDist", 0), fonts.GetInt("MainFont.SpaceSize", 0),
        fonts.GetInt("MainFont.RowHeight", 0));
    std::string strip;
    TwPicture picture;
    if (pack->packs.GetResource("Data/Textures/" + fonts.GetString("MainFont.FileName") + ".Webp",
                                strip) > 0 &&
        TwDecodePicture(strip, picture)) {
        pack->fontLoaded = pack->mainFont.ReadStripPicture(picture);
    }
    return pack;
}

} // namespace

std::string LanguagePack::Text(const std::string& key) {
    return tables.GetString(language + "." + key, "");
}

std::vector<std::string> LanguagePack::EntryNames() const {
    return LowerCaseNames(packs);
}

std::vector<std::unique_ptr<LanguagePack>> OpenLanguagePacks() {
    namespace fs = std::filesystem;
    const std::string dir = BinaryDir() + "/Data";
    std::vector<std::unique_ptr<LanguagePack>> packs;
    const std::string english = dir + "/Lang.Twr";
    packs.push_back(Open("", english, english));
    std::vector<std::string> codes;
    for (const auto& entry : fs::directory_iterator(dir)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("Lang_", 0) == 0 && name.size() > 9 &&
            name.compare(name.size() - 4, 4, ".Twr") == 0) {
            codes.push_back(name.substr(5, name.size() - 9));
        }
    }
    std::sort(codes.begin(), codes.end());
    for (const std::string& code : codes) {
        packs.push_back(Open(code, dir + "/Lang_" + code + ".Twr", english));
    }
    return packs;
}

std::vector<std::string> EnglishKeys(LanguagePack& english) {
    std::vector<std::string> keys;
    for (const auto& [key, value] : english.tables.Values()) {
        if (key.rfind("English.", 0) == 0) {
            keys.push_back(key.substr(8));
        }
    }
    return keys;
}

} // namespace zvtest
