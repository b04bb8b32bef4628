#include "GameCompletePanel.h"

#include <algorithm>
#include <climits>
#include <string>

#include "GameSoundPlayer.h"
#include "data/TwDefFile.h"
#include "data/TwResourceManager.h"
#include "gfx/TwBitmapFont.h"
#include "gfx/TwFontTable.h"

namespace {

// Each count reaches its target in about this many steps.
constexpr int kCountSteps = 128;

int StepFor(int target) {
    return std::max(1, target / kCountSteps);
}

} // namespace

GameCompletePanel::GameCompletePanel() = default;

void GameCompletePanel::SetTargets(int score, int bonus) {
    scoreTarget_ = score;
    bonusTarget_ = bonus;
    // The sum is formed in 64 bits so that no pair of values can wrap the total round.
    const long long total = static_cast<long long>(score) + bonus;
    totalTarget_ = static_cast<int>(std::min<long long>(total, INT_MAX));
}

void GameCompletePanel::OnCreate() {
    std::string bytes;
    if (TwResourceManager::Instance().GetResource("Data/Map.Txt", bytes) < 0) {
        return;
    }
    TwDefFile map;
    map.LoadFromMemory(bytes.data(), bytes.size());
    scorePos_ = map.GetVector3("GameOver.ScorePos", ',');
    bonusPos_ = map.GetVector3("GameOver.BonusPos", ',');
    totalPos_ = map.GetVector3("GameOver.TotalPos", ',');
}

void GameCompletePanel::Open() {
    TwPanel::Open();
    scoreShown_ = 0;
    bonusShown_ = 0;
    totalShown_ = 0;
    scoreDone_ = false;
    bonusDone_ = false;
    countDone_ = false;
    scoreStep_ = StepFor(scoreTarget_);
    bonusStep_ = StepFor(bonusTarget_);
    totalStep_ = StepFor(totalTarget_);
}

void GameCompletePanel::Close() {
    TwPanel::Close();
}

bool GameCompletePanel::Advance(int& shown, int target, int step, int k) {
    // Counted in 64 bits: a huge score with a long frame must not wrap round.
    const long long next = static_cast<long long>(shown) + static_cast<long long>(step) * k;
    if (next > target) {
        shown = target;
        return true;
    }
    shown = static_cast<int>(next);
    return false;
}

void GameCompletePanel::Update(int elapsedMs) {
    TwPanel::Update(elapsedMs);
    // Half the frame time in steps (rounded down), at least one.
    const int k = std::max(1, elapsedMs >> 1);
    if (countDone_) {
        return;
    }
    if (!scoreDone_) {
        if (Advance(scoreShown_, scoreTarget_, scoreStep_, k)) {
            scoreDone_ = true;
            GameSoundPlayer::Play(kSeekScoreEnd);
        }
    } else if (!bonusDone_) {
        if (Advance(bonusShown_, bonusTarget_, bonusStep_, k)) {
            bonusDone_ = true;
            GameSoundPlayer::Play(kSeekScoreEnd);
        }
    } else if (Advance(totalShown_, totalTarget_, totalStep_, k)) {
        GameSoundPlayer::Play(kSeekScoreEnd);
        countDone_ = true;
    }
}

void GameCompletePanel::DrawNumber(int value, const TwVector& place) {
    TwBitmapFont* font = TwFontTable::Get(messageFont_);
    if (font == nullptr) {
        return;
    }
    const TwVector at = PointInPanel(place.x, place.y);
    font->DrawText(at.x, at.y, std::to_string(value), TwBitmapFont::AlignLeft);
}

void GameCompletePanel::Draw() {
    TwDialogPanel::Draw();
    DrawNumber(scoreShown_, scorePos_);
    if (scoreDone_) {
        DrawNumber(bonusShown_, bonusPos_);
    }
    if (bonusDone_) {
        DrawNumber(totalShown_, totalPos_);
    }
}
