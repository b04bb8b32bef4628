#include "LanguageChoice.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "data/TwDefFile.h"
#include "data/TwLocale.h"
#include "data/TwResourceManager.h"

namespace {

TwDefFile ReadTable(TwResourceManager& pack, const std::string& name) {
    TwDefFile table;
    std::string bytes;
    if (pack.GetResource(name, bytes) > 0) {
        table.LoadFromMemory(bytes.data(), bytes.size());
    }
    return table;
}

// The language's own name as its pack gives it; "" when the pack cannot be read. A pack made
// before the languages named themselves gives its code.
std::string OwnName(const std::string& path, const std::string& code) {
    TwResourceManager pack;
    if (!pack.OpenPack(path)) {
        return "";
    }
    TwDefFile fonts = ReadTable(pack, "Data/Fonts.Txt");
    TwDefFile texts = ReadTable(pack, "Data/Lang.Txt");
    const std::string block = fonts.GetString("Language", code == "en" ? "English" : "");
    const std::string name = texts.GetString(block + ".LanguageName", "");
    return name.empty() ? code : name;
}

// The language code of a translation's pack file name ("Lang_pt_BR.Twr"), "" for any other.
std::string CodeOf(const std::string& fileName) {
    const std::string prefix = "Lang_", suffix = ".Twr";
    if (fileName.size() <= prefix.size() + suffix.size() || fileName.rfind(prefix, 0) != 0 ||
        fileName.compare(fileName.size() - suffix.size(), suffix.size(), suffix) != 0) {
        return "";
    }
    const std::string code =
        fileName.substr(prefix.size(), fileName.size() - prefix.size() - suffix.size());
    return TwLocale::IsLanguageCode(code) ? code : "";
}

} // namespace

LanguageChoice& LanguageChoice::Instance() {
    static LanguageChoice choice;
    return choice;
}

void LanguageChoice::FindLanguages(const std::vector<std::string>& dirs) {
    namespace fs = std::filesystem;
    languages_.clear();
    std::vector<std::pair<std::string, std::string>> packs; // code, path; the first found wins
    for (const std::string& dir : dirs) {
        const fs::path data = fs::path(dir.empty() ? "." : dir) / "Data";
        std::error_code error;
        for (fs::directory_iterator it(data, error), end; !error && it != end;
             it.increment(error)) {
            const std::string name = it->path().filename().string();
            const std::string code = name == "Lang.Twr" ? "en" : CodeOf(name);
            const bool known = std::any_of(packs.begin(), packs.end(),
                                           [&](const auto& pack) { return pack.first == code; });
            if (!code.empty() && !known) {
                packs.emplace_back(code, it->path().string());
            }
        }
    }
    std::sort(packs.begin(), packs.end(), [](const auto& a, const auto& b) {
        return (a.first == "en") != (b.first == "en") ? a.first == "en" : a.first < b.first;
    });
    for (const auto& [code, path] : packs) {
        std::string name = OwnName(path, code);
        if (!name.empty()) {
            languages_.push_back({code, std::move(name)});
        }
    }
}

std::string LanguageChoice::Resolve(const std::string& chosen) const {
    for (const std::string& code :
         TwLocale::WithChoice(chosen, TwLocale::Candidates(std::getenv))) {
        if (code.empty()) {
            break;
        }
        const bool found = std::any_of(languages_.begin(), languages_.end(),
                                       [&](const LanguageOption& l) { return l.code == code; });
        if (found) {
            return code;
        }
    }
    return "en";
}
