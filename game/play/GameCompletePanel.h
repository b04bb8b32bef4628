#pragma once
#include "TwVector.h"
#include "gui/TwDialogPanel.h"

// The dialog shown when a game ends, lost ("GameOverDlg") or cleared ("GameCompleteDlg").
// It counts the score up from zero, then the bonus, then their total, one after the other,
// each in about 128 steps whatever its size, with the "SeekScoreEnd" sound as each count
// arrives. The numbers are drawn with the message font at places read from "Data/Map.Txt"
// (percentages of the dialog picture).
class GameCompletePanel : public TwDialogPanel {
public:
    // Sound played as each count reaches its value.
    static constexpr int kSeekScoreEnd = 100;

    GameCompletePanel();

    // The numbers to count up to: the game's score and bonus (the total is their sum).
    // Takes effect at the next Open.
    void SetTargets(int score, int bonus);

    // Reads the three number places ("GameOver.ScorePos", "GameOver.BonusPos",
    // "GameOver.TotalPos") from the field's map file.
    void OnCreate() override;
    void Draw() override;
    // The fade, then at most one count moves on: score, then bonus, then total.
    void Update(int elapsedMs) override;
    // Starts every count from zero.
    void Open() override;
    void Close() override;

    int ScoreShown() const { return scoreShown_; }
    int BonusShown() const { return bonusShown_; }
    int TotalShown() const { return totalShown_; }
    int ScoreTarget() const { return scoreTarget_; }
    int BonusTarget() const { return bonusTarget_; }
    int TotalTarget() const { return totalTarget_; }
    bool ScoreDone() const { return scoreDone_; }
    bool BonusDone() const { return bonusDone_; }
    bool CountDone() const { return countDone_; }
    const TwVector& ScorePos() const { return scorePos_; }
    const TwVector& BonusPos() const { return bonusPos_; }
    const TwVector& TotalPos() const { return totalPos_; }

private:
    // Moves one count on by step x k; true when it has just gone past its target.
    static bool Advance(int& shown, int target, int step, int k);
    void DrawNumber(int value, const TwVector& place);

    int scoreTarget_ = 0;
    int scoreShown_ = 0;
    int scoreStep_ = 1;
    bool scoreDone_ = false;
    int bonusTarget_ = 0;
    int bonusShown_ = 0;
    int bonusStep_ = 1;
    bool bonusDone_ = false;
    int totalShown_ = 0;
    int totalTarget_ = 0;
    int totalStep_ = 1;
    bool countDone_ = false;
    TwVector scorePos_;
    TwVector bonusPos_;
    TwVector totalPos_;
};
