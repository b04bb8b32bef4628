#pragma once
#include <cstdint>
#include <string>

#include "gui/TwEventListener.h"

class TwProfileDlg;
class TwScoreDlg;
class TwTextDialogPanel;

// The engine's part of the menu screen: the main menu window with its player, continue,
// options, help, score and exit buttons, and the player dialogs (players list, name entry,
// delete confirmation, high scores, clear confirmation). The game's menu adds its own
// dialogs and handles the events.
class TwBaseMenuGui : public TwEventListener {
public:
    static constexpr const char* kMainMenu = "MainMenuDlg";
    static constexpr const char* kProfileDialog = "ProfileDlg";
    static constexpr const char* kNameDialog = "PlayerNameDlg";
    static constexpr const char* kDeletePlayerDialog = "DeletePlayerNameDlg";
    static constexpr const char* kScoreDialog = "ScoreDlg";
    static constexpr const char* kClearScoresDialog = "ConfirmScoreClearDlg";

    TwBaseMenuGui();
    ~TwBaseMenuGui() override;

    // Builds the players list, the name entry, the delete confirmation, the score dialog and
    // the clear confirmation.
    void BuildPlayerDialogs();
    // Builds the main menu window; its buttons wait at the top-left corner until the game's
    // menu adds the mode buttons and lays them all out. Returns the window.
    TwPanel* BuildMainMenu();

    // Takes the player back into the saved game; the game's menu fills it in.
    virtual void ContinueGame() {}

    // Closes a player dialog, unless no player is left: then the dialog goes at once and the
    // name entry opens instead, so there is always someone playing.
    void CloseOrForceName(const std::string& panelName);

    TwBaseGuiElemen* WelcomeButton() const { return welcomeButton_; }
    // Puts "Welcome <active player>" in the current language on the welcome button. Done
    // every frame, the caption is only built again when the language texts were reloaded or
    // the active player's name is another.
    void UpdateWelcomeCaption();
    TwProfileDlg* ProfileDialog() const;
    TwScoreDlg* ScoreDialog() const;
    TwTextDialogPanel* NameDialog() const;

protected:
    // A confirmation: the small dialog picture with a language text as its message.
    TwPanel* BuildQuestion(const std::string& name, const std::string& messageKey);

    TwBaseGuiElemen* welcomeButton_ = nullptr;

private:
    // What the welcome caption was built from.
    bool welcomeBuilt_ = false;
    std::uint64_t welcomeLanguage_ = 0;
    std::string welcomeName_;
};
