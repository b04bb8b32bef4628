#pragma once
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "GameMode.h"
#include "TwVector.h"
#include "gui/TwBaseMenuGui.h"

class BaseBubble;
class BubbleBanks;
class BubbleDestroy;
class GameControl;
class TwCheckBoxGroup;
class TwClip;
class TwEventRouter;
class TwParagraph;

// The menu screen: the main menu window, every dialog reached from it, and a decorative
// launcher in the corner that turns towards the mouse and fires bubbles at a left click on
// empty space (a right click swaps its two bubbles). Named events raised by the dialogs are
// handled in OnEvent at the start of the next frame; starting and continuing games goes
// through the game screen's GameControl interface.
//
// MenuGui.cpp holds the event table and its handlers, MenuGuiDialogs.cpp builds the dialogs,
// MenuGuiLauncher.cpp runs the decorative launcher (with the screen's input, update and draw).
class MenuGui : public TwBaseMenuGui {
public:
    static constexpr const char* kGameScreen = "GameWin";
    static constexpr const char* kStartQuestion = "ConfirmGameDlg";
    // Escape on the start question: it closes, and nothing starts or is lost.
    static constexpr const char* kStartQuestionEscape = "ConfirmGameDlg.Escape";
    static constexpr const char* kOptionsDialog = "OptionsDlg";
    static constexpr const char* kDifficultyQuestion = "DiffChangeDlg";
    static constexpr const char* kHelpDialog = "HelpDlg";
    static constexpr const char* kCreditsDialog = "CreditsDlg";
    static constexpr const char* kStatsButton = "ProfileDlg.Stats";
    static constexpr const char* kLevelSelect = "LevelSelectDlg";
    // Where the decorative launcher stands.
    static constexpr float kLauncherX = 720.0f;
    static constexpr float kLauncherY = 520.0f;

    // A bubble fired from the decorative launcher and how long it still flies.
    struct FlyingBubble {
        std::unique_ptr<BaseBubble> bubble;
        int lifeMs = 0;
    };

    MenuGui();
    ~MenuGui() override;

    // The router that shows the screens and ends the program; the game screen to start,
    // continue and question. Either may be null (nothing is started then).
    void SetRouter(TwEventRouter* router) { router_ = router; }
    void SetGame(GameControl* game) { game_ = game; }
    GameControl* GameScreen() const { return game_; }

    // Builds the start confirmation, the options, the difficulty confirmation, help and
    // credits, adds the mode buttons to the main menu, lays it out and opens it.
    void BuildMenuDialogs();

    bool HandleInput(TwInputEvent& input) override;
    void Update(int elapsedMs) override;
    void Draw() override;
    void OnEvent() override;
    void ContinueGame() override;
    // A new game of a mode (0 Classic, 1 Arcade) on the game screen, which is shown.
    // `freshField` sets the field up even when one of that mode exists.
    void StartNewGame(GameMode mode, bool freshField = false);

    const TwVector& Aim() const { return aim_; }
    BaseBubble* CurrentBubble() const { return currentBubble_.get(); }
    BaseBubble* NextBubble() const { return nextBubble_.get(); }
    TwClip* Launcher() const { return launcher_.get(); }
    const std::vector<FlyingBubble>& FlyingBubbles() const { return flyingBubbles_; }
    const std::vector<std::unique_ptr<BubbleDestroy>>& PoppingBubbles() const {
        return poppingBubbles_;
    }

private:
    using Handler = void (MenuGui::*)();
    struct EventEntry {
        const char* name;
        Handler handler;
    };
    static const std::vector<EventEntry>& EventTable();

    void BuildOptionsDialog();
    // The language choice of the options (MenuGuiLanguage.cpp).
    void AddLanguageChoice(TwPanel& options);
    void OnLanguageChoice();
    void BuildControlsDialog();
    void BuildStatsDialog();
    void BuildHelpDialog();
    void BuildCreditsDialog();
    void AddModeButtons();
    void BuildLevelSelect();
    void BuildLauncher();

    // Event handlers, one per named event.
    void OnClassic() { AskOrStart(GameMode::kClassic); }
    void OnArcade() { AskOrStart(GameMode::kArcade); }
    // The Puzzle mode (MenuGuiPuzzle.cpp): the level select and starting its levels.
    void OnPuzzle();
    void OnLevelChosen();
    void OnLevelPagePrev();
    void OnLevelPageNext();
    void OnLevelSelectBack() { ClosePanel(kLevelSelect); }
    void StartChosenLevel();
    void AskOrStart(GameMode mode);
    void OnStartConfirmed();
    void OnContinueInstead();
    void OnStartQuestionEscape();
    void OnHelp();
    void OnScore() { OpenPanel(kScoreDialog); }
    void OnExit();
    void OnHelpBack();
    void OnCredits();
    void OnCreditsOk() { ClosePanel(kCreditsDialog); }
    void OnOptions() { OpenPanel(kOptionsDialog); }
    void OnControls();
    void OnWindowedBox();
    void OnAimGuideBox();
    void OnOptionsOk();
    void OnSoundSlider();
    void OnMusicSlider();
    void OnEasy() { ChooseDifficulty(0); }
    void OnNormal() { ChooseDifficulty(1); }
    void OnHard() { ChooseDifficulty(2); }
    void ChooseDifficulty(int level);
    void OnDifficultyConfirmed();
    void OnDifficultyRefused();
    void OnProfile() { OpenPanel(kProfileDialog); }
    void OnProfileOk();
    void OnAddPlayer() { OpenPanel(kNameDialog); }
    void OnNameEntered();
    void OnNameCancelled() { CloseOrForceName(kNameDialog); }
    void OnDeletePlayer() { OpenPanel(kDeletePlayerDialog); }
    void OnDeleteConfirmed();
    void OnDeleteRefused() { ClosePanel(kDeletePlayerDialog); }
    void OnScoreBack() { ClosePanel(kScoreDialog); }
    // Watches the game of the clicked high-score entry; the table stays open behind it.
    void OnWatchScore();
    void OnScoreClear() { OpenPanel(kClearScoresDialog); }
    void OnClearConfirmed();
    void OnClearRefused() { ClosePanel(kClearScoresDialog); }
    void OnNextTable();
    void OnPrevTable();

    // The game music, the game screen shown.
    void EnterGame();
    TwCheckBoxGroup* DifficultyGroup() const;

    // The decorative launcher.
    BubbleBanks* Banks() const;
    std::unique_ptr<BaseBubble> RandomBubble() const;
    void RefillLauncher();
    void Fire();
    void MoveFlyingBubbles(int elapsedMs);
    void Pop(const BaseBubble& bubble);
    TwVector LauncherPosition() const { return {kLauncherX, kLauncherY, 0.0f}; }

    TwEventRouter* router_ = nullptr;
    GameControl* game_ = nullptr;
    // Dialogs that handle their own named events (controls, statistics): an event no row of
    // the table names is offered to each in turn.
    std::vector<std::function<bool(const std::string&)>> eventTakers_;
    TwParagraph* helpControls_ = nullptr; // the help page's lines about the keys
    std::unique_ptr<BaseBubble> currentBubble_;
    std::unique_ptr<BaseBubble> nextBubble_;
    TwVector aim_{0.0f, -1.0f, 0.0f};
    std::unique_ptr<TwClip> launcher_;
    std::vector<FlyingBubble> flyingBubbles_;
    std::vector<std::unique_ptr<BubbleDestroy>> poppingBubbles_;
};
