// The language choice of the options: "the desktop's language" or any language whose pack
// the game found, by its own name. The choice is kept in the settings and takes effect at the
// next start (the pictures with words, the fonts and the built dialogs all come from the
// language pack opened at start-up); a note under the choice says so while it differs from
// the language this run speaks.
#include "LanguageChoice.h"
#include "MenuGui.h"
#include "data/TwLanguage.h"
#include "data/TwSysConfig.h"
#include "gui/TwChoiceButton.h"
#include "gui/TwPanel.h"

namespace {

// The row sits between the difficulty boxes and the OK button; the note goes beneath it.
constexpr float kChoiceX = 430.0f;
constexpr float kChoiceY = 444.0f;
constexpr float kDialogCentreX = 400.0f;

// The note for the choice `chosen` ("" for the desktop's language): empty when a start with it
// would speak the language in use.
std::string NoteFor(const std::string& chosen) {
    const LanguageChoice& languages = LanguageChoice::Instance();
    return languages.Resolve(chosen) == languages.InUse()
               ? std::string()
               : TwLanguage::Instance().GetText("LanguageNextStart");
}

} // namespace

void MenuGui::AddLanguageChoice(TwPanel& options) {
    const std::vector<LanguageOption>& languages = LanguageChoice::Instance().Languages();
    const std::string& chosen = TwSysConfig::Instance().Language;
    std::vector<std::string> names{TwLanguage::Instance().GetText("LanguageDesktop")};
    int index = 0;
    for (const LanguageOption& language : languages) {
        if (language.code == chosen) {
            index = static_cast<int>(names.size());
        }
        names.push_back(language.name);
    }
    auto choice = std::make_unique<TwChoiceButton>();
    choice->Load("Interface/ChoiceCell");
    choice->SetPosition(TwVector{kChoiceX, kChoiceY, 0.0f});
    choice->SetLabel(TwLanguage::Instance().GetText("LanguageLabel"));
    choice->SetChoices(std::move(names), index);
    choice->SetNoteCentre(kDialogCentreX);
    choice->SetNote(NoteFor(index == 0 ? std::string() : chosen));
    options.AddElement("OptionsDlg.Language", std::move(choice));
}

void MenuGui::OnLanguageChoice() {
    auto* choice = dynamic_cast<TwChoiceButton*>(eventSource_);
    if (choice == nullptr) {
        return;
    }
    choice->Step();
    const std::vector<LanguageOption>& languages = LanguageChoice::Instance().Languages();
    const int index = choice->Chosen();
    TwSysConfig& config = TwSysConfig::Instance();
    config.Language = index > 0 && index <= static_cast<int>(languages.size())
                          ? languages[static_cast<std::size_t>(index - 1)].code
                          : std::string();
    choice->SetNote(NoteFor(config.Language));
    config.Save();
}
