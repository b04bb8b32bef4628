#include "StatsPanel.h"

#include <cstdio>

#include "gfx/TwBitmapFont.h"
#include "gfx/TwFontTable.h"
#include "gui/TwEventListener.h"

namespace {

// Where the numbers go, in percent of the dialog picture (600 x 500): the player's name
// under the title; the two mode columns and their four rows; the two columns of totals
// (numbers ending at their right edge) and their four rows; the buttons.
constexpr float kNameY = 14.0f;
constexpr float kModeX[PlayerStats::kModes] = {66.67f, 86.67f};
constexpr float kModeRowY[4] = {27.2f, 32.8f, 38.4f, 44.0f};
constexpr float kTotalsRight[2] = {47.33f, 93.33f};
constexpr float kTotalsRowY[4] = {52.8f, 58.4f, 64.0f, 69.6f};
constexpr float kButtonsY = 92.0f;

} // namespace

std::string StatsPanel::TimeText(int seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%d:%02d:%02d", seconds / 3600, seconds / 60 % 60,
                  seconds % 60);
    return text;
}

bool StatsPanel::Build() {
    const bool created = Create("Interface/StatsDlg");
    AddButton("Interface/Clear", 30, kButtonsY, kClearButton, kPlainRole);
    AddButton("Interface/BtnOk", 70, kButtonsY, kOkButton, kCancelRole);
    return created;
}

void StatsPanel::ShowPlayer(const std::string& player) {
    player_ = player;
    stats_ = player.empty() ? PlayerStats() : PlayerStats::Load(player);
}

bool StatsPanel::TakeEvent(const std::string& name) {
    TwEventListener* screen = Owner();
    if (name == kOkButton) {
        Close();
    } else if (name == kClearButton) {
        if (screen != nullptr) {
            screen->OpenPanel(kQuestion);
        }
    } else if (name == kClearConfirmed) {
        if (!player_.empty() && PlayerStats().Save(player_)) {
            stats_ = PlayerStats();
        }
        if (screen != nullptr) {
            screen->ClosePanel(kQuestion);
        }
    } else if (name == kClearRefused) {
        if (screen != nullptr) {
            screen->ClosePanel(kQuestion);
        }
    } else {
        return false;
    }
    return true;
}

void StatsPanel::Draw() {
    TwPanel::Draw();
    TwBitmapFont* font = TwFontTable::Get(TwFontTable::MainFont);
    if (font == nullptr) {
        return;
    }
    const auto print = [&](float x, float y, const std::string& text, int align) {
        const TwVector at = PointInPanel(x, y);
        font->DrawText(at.x, at.y, text, align);
    };
    font->SetTint(255.0f, 214.0f, 110.0f, Alpha());
    print(50.0f, kNameY, player_, TwBitmapFont::AlignCentre);
    font->SetTint(255.0f, 255.0f, 255.0f, Alpha());
    for (int mode = 0; mode < PlayerStats::kModes; ++mode) {
        const PlayerStats::Mode& m = stats_.modes[mode];
        const int values[4] = {m.started, m.finished, m.wins, m.bestScore};
        for (int row = 0; row < 4; ++row) {
            print(kModeX[mode], kModeRowY[row], std::to_string(values[row]),
                  TwBitmapFont::AlignCentre);
        }
    }
    const std::string left[4] = {std::to_string(stats_.shots), std::to_string(stats_.burstingShots),
                                 std::to_string(stats_.Accuracy()) + " %",
                                 TimeText(stats_.secondsPlayed)};
    const std::string right[4] = {
        std::to_string(stats_.bubblesBurst), std::to_string(stats_.bubblesDropped),
        std::to_string(stats_.biggestDrop), std::to_string(stats_.longestRun)};
    for (int row = 0; row < 4; ++row) {
        print(kTotalsRight[0], kTotalsRowY[row], left[row], TwBitmapFont::AlignRight);
        print(kTotalsRight[1], kTotalsRowY[row], right[row], TwBitmapFont::AlignRight);
    }
}
