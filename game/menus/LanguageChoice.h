#pragma once
#include <string>
#include <vector>

// The languages the player can choose in the options: English and every translation whose
// pack the game finds, each by its own name, and the language this run speaks. The choice
// (TwSysConfig::Language) takes effect when the game next starts, where it comes before the
// desktop's language.
struct LanguageOption {
    std::string code; // "en", "de", "pt_BR"
    std::string name; // the language's own name: "English", "Deutsch"
};

class LanguageChoice {
public:
    static LanguageChoice& Instance();

    // Finds the language packs in `dirs` (as the game looks for its packs: "" is the current
    // folder) and reads each one's own name; English comes first, then the others by code.
    // A pack that cannot be read is left out.
    void FindLanguages(const std::vector<std::string>& dirs);
    const std::vector<LanguageOption>& Languages() const { return languages_; }

    // The code of the language this run speaks ("en" for English).
    void SetInUse(const std::string& code) { inUse_ = code.empty() ? "en" : code; }
    const std::string& InUse() const { return inUse_; }

    // The language a start with the choice `chosen` ("" for the desktop's) would speak on
    // this desktop, with the packs found: the first candidate that has a pack.
    std::string Resolve(const std::string& chosen) const;

private:
    std::vector<LanguageOption> languages_;
    std::string inUse_ = "en";
};
