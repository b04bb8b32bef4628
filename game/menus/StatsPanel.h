#pragma once
#include <string>

#include "PlayerStats.h"
#include "gui/TwPanel.h"

// The statistics dialog, opened from the player list for the chosen player: games started,
// finished and won and the best score of each mode, then the shots and bubbles of every
// game together. Clear asks first, then starts the player's statistics afresh. The game
// prints the player's name and every number over the dialog's picture.
class StatsPanel : public TwPanel {
public:
    static constexpr const char* kName = "StatsDlg";
    static constexpr const char* kOkButton = "StatsDlg.Ok";
    static constexpr const char* kClearButton = "StatsDlg.Clear";
    static constexpr const char* kQuestion = "ConfirmStatsClearDlg";
    static constexpr const char* kClearConfirmed = "ConfirmStatsClearDlg.Ok";
    static constexpr const char* kClearRefused = "ConfirmStatsClearDlg.Cancel";

    bool Build();
    // Reads the player's statistics from their file; the dialog shows these until the next
    // call.
    void ShowPlayer(const std::string& player);
    // The dialog's own events and its question's; false for any other event.
    bool TakeEvent(const std::string& name);

    void Draw() override;

    const std::string& Player() const { return player_; }
    const PlayerStats& Shown() const { return stats_; }
    // A number as the dialog prints it: seconds as h:mm:ss, the accuracy with its percent.
    static std::string TimeText(int seconds);

private:
    std::string player_;
    PlayerStats stats_;
};
