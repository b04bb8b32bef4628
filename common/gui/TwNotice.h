#pragma once
#include <string>

#include "gui/TwParagraph.h"

// A short message printed over whatever screen is showing, for a few seconds, then faded
// out: what the player must know without a box that stops the game (a save that failed).
// One process-wide notice; a new one replaces the one showing.
class TwNotice {
public:
    static TwNotice& Instance();

    // Shows `text` ('#' ends a line) for `durationMs`, the last half second fading.
    void Show(const std::string& text, int durationMs = kDefaultMs);
    void Update(int elapsedMs);
    // Prints the text in the main font in the lower middle of the screen, outlined so it
    // reads over the field and over the menu alike.
    void Draw();
    void Hide() { remainingMs_ = 0; }

    bool Showing() const { return remainingMs_ > 0; }
    const std::string& Text() const { return paragraph_.Text(); }

    static constexpr int kDefaultMs = 6000;

private:
    TwParagraph paragraph_;
    int remainingMs_ = 0;
};
