#include "data/TwLocale.h"

#include <algorithm>
#include <cctype>

namespace TwLocale {

namespace {

bool AllLetters(const std::string& s) {
    for (const char c : s) {
        if (!std::isalpha(static_cast<unsigned char>(c))) {
            return false;
        }
    }
    return true;
}

bool AllDigits(const std::string& s) {
    for (const char c : s) {
        if (!std::isdigit(static_cast<unsigned char>(c))) {
            return false;
        }
    }
    return true;
}

// A language the game has no pack of by that code, but whose speakers read another one:
// "no" (Norwegian) and "nn" (Nynorsk) read Bokmål ("nb") far better than English.
const char* ReadsAlso(const std::string& language) {
    if (language == "no" || language == "nn") {
        return "nb";
    }
    return nullptr;
}

// Adds the codes one locale name stands for: "de_AT.UTF-8" gives "de_AT" and "de". Returns
// true when the name means English (or the plain C locale), after which nothing else counts.
bool AddLocale(std::string name, std::vector<std::string>& codes) {
    name = name.substr(0, name.find_first_of(".@"));
    if (name == "C" || name == "POSIX") {
        codes.emplace_back();
        return true;
    }
    std::string language = name.substr(0, name.find('_'));
    std::string region = name.size() > language.size() ? name.substr(language.size() + 1) : "";
    for (char& c : language) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    for (char& c : region) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    const bool languageOk = language.size() >= 2 && language.size() <= 3 && AllLetters(language);
    const bool regionOk = region.empty() || (region.size() == 2 && AllLetters(region)) ||
                          (region.size() == 3 && AllDigits(region));
    if (!languageOk || !regionOk) {
        return false;
    }
    if (language == "en") {
        codes.emplace_back();
        return true;
    }
    if (!region.empty()) {
        codes.push_back(language + "_" + region);
    }
    codes.push_back(language);
    if (const char* also = ReadsAlso(language)) {
        codes.emplace_back(also);
    }
    return false;
}

std::string Variable(const Environment& env, const char* name) {
    const char* value = env(name);
    return value != nullptr ? std::string(value) : std::string();
}

} // namespace

std::vector<std::string> Candidates(const Environment& env) {
    std::vector<std::string> codes;
    const std::string list = Variable(env, "LANGUAGE");
    for (std::size_t start = 0; start <= list.size();) {
        const std::size_t colon = std::min(list.find(':', start), list.size());
        const std::string entry = list.substr(start, colon - start);
        if (!entry.empty() && AddLocale(entry, codes)) {
            return codes;
        }
        start = colon + 1;
    }
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const std::string value = Variable(env, name);
        if (!value.empty()) {
            if (!AddLocale(value, codes)) {
                codes.emplace_back();
            }
            return codes;
        }
    }
    codes.emplace_back();
    return codes;
}

bool IsLanguageCode(const std::string& code) {
    const std::string language = code.substr(0, code.find('_'));
    const std::string region =
        code.size() > language.size() ? code.substr(language.size() + 1) : "";
    auto lower = [](const std::string& s) {
        return std::all_of(s.begin(), s.end(), [](char c) { return c >= 'a' && c <= 'z'; });
    };
    auto upper = [](const std::string& s) {
        return std::all_of(s.begin(), s.end(), [](char c) { return c >= 'A' && c <= 'Z'; });
    };
    return language.size() >= 2 && language.size() <= 3 && lower(language) &&
           (code.size() == language.size() || (region.size() == 2 && upper(region)));
}

std::vector<std::string> WithChoice(const std::string& chosen, std::vector<std::string> desktop) {
    if (chosen == "en") {
        return {""};
    }
    if (IsLanguageCode(chosen)) {
        desktop.insert(desktop.begin(), chosen);
    }
    return desktop;
}

std::string PackName(const std::string& code) {
    return code.empty() ? "Data//Lang.Twr" : "Data//Lang_" + code + ".Twr";
}

} // namespace TwLocale
