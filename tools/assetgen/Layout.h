#pragma once
// Screen geometry the pictures are drawn to. These numbers mirror the hand-written data files
// (assets/Data/Map.Txt and EngineDefs.Txt); the asset tests check that the two agree.

namespace layout {

constexpr int kScreenW = 800;
constexpr int kScreenH = 600;

// The playing field: 12 columns, 12 rows, bubbles of radius 18. Cell (c, k) is centred at
// x = 195 + 36 c (+ 18 on odd rows), y = 47 + 36 k.
constexpr int kBubbleRadius = 18;
constexpr int kBubbleSize = 2 * kBubbleRadius;
constexpr int kColumns = 12;
constexpr int kRows = 12;
constexpr int kFirstCentreX = 195;
constexpr int kFirstCentreY = 47;
constexpr int kWellLeft = kFirstCentreX - kBubbleRadius; // 177
// The rightmost centre is the last cell of an odd row, shifted by one radius.
constexpr int kWellRight = kFirstCentreX + kBubbleSize * (kColumns - 1) + 2 * kBubbleRadius; // 627
constexpr int kWellTop = kFirstCentreY - kBubbleRadius;                                      // 29
// A bubble in the last row ends the game; the warning line sits on that row's top edge.
constexpr int kDangerY = kFirstCentreY + kBubbleSize * (kRows - 1) - kBubbleRadius; // 425

constexpr int kLauncherX = 400;
constexpr int kLauncherY = 570;
constexpr int kAimLimitY = 490;
// Where the field draws the five moves-left symbols.
constexpr int kMovesX[5] = {562, 585, 611, 638, 662};
constexpr int kMovesY[5] = {560, 548, 543, 545, 539};
// The score is printed centred here; the in-game menu button sits here.
constexpr int kScoreX = 72;
constexpr int kScoreY = 16;
constexpr int kMenuButtonX = 744;
constexpr int kMenuButtonY = 18;
// The main menu's decorative launcher.
constexpr int kMenuLauncherX = 720;
constexpr int kMenuLauncherY = 520;

// Bubble pictures.
constexpr int kBubbleFrames = 9;
constexpr int kShadowSize = 48;
constexpr int kBurstFrames = 16;
constexpr int kFragmentSize = 24;
constexpr int kRingSize = 40;
constexpr int kSparkSize = 28;
constexpr int kMovesSize = 24;

// Push buttons: three frames stacked (normal, focused, disabled).
constexpr int kBigButtonW = 200, kBigButtonH = 46;
constexpr int kSmallButtonW = 150, kSmallButtonH = 42;
constexpr int kMenuButtonW = 108, kMenuButtonH = 36;
// The Puzzle result dialog's three buttons (next, retry, menu) share its width.
constexpr int kPuzzleButtonW = 128, kPuzzleButtonH = 42;
// A level's tile in the level select.
constexpr int kLevelTileW = 84, kLevelTileH = 62;
constexpr int kArrowSize = 48;
constexpr int kProfileItemW = 300, kProfileItemH = 40;
constexpr int kGreetingW = 300, kGreetingH = 24;
constexpr int kCheckBoxSize = 32;
constexpr int kSliderW = 288, kSliderH = 28; // usable track: the width less 32
constexpr int kThumbW = 24, kThumbH = 36;
constexpr int kCaretW = 8, kCaretH = 26;

// Dialog backgrounds (centred on the screen; the visible body is inset by kPanelMargin).
constexpr int kPanelMargin = 8;
struct Size {
    int w, h;
};
constexpr Size kSmallDialog = {640, 260};
constexpr Size kOptionsDialog = {520, 490};
// The language choice's cell in the options, its label left of it (printed by the game).
constexpr int kChoiceCellW = 264, kChoiceCellH = 30;
constexpr Size kEditDialog = {480, 240};
constexpr Size kProfileDialog = {460, 480};
constexpr Size kScoreDialog = {520, 520};
constexpr Size kCreditsDialog = {560, 460};
constexpr Size kResultDialog = {440, 320};
constexpr Size kHelpDialog = {760, 560};
constexpr Size kPauseDialog = {400, 220};
constexpr Size kControlsDialog = {600, 500};
constexpr Size kStatsDialog = {600, 500};
constexpr int kBindCellW = 150, kBindCellH = 34;
constexpr Size kLevelSelectDialog = {560, 520};

// Top-left corner on screen of a centred dialog.
constexpr int DialogLeft(Size s) {
    return kScreenW / 2 - s.w / 2;
}
constexpr int DialogTop(Size s) {
    return kScreenH / 2 - s.h / 2;
}

// Options dialog controls (screen positions).
constexpr int kSoundSliderY = 226;
constexpr int kMusicSliderY = 285;
constexpr int kWindowedBoxX = 410, kWindowedBoxY = 325;
constexpr int kDifficultyY = 405;
constexpr int kDifficultyX[3] = {276, 410, 540};

// Name entry: the text field's centre line and the widest name in pixels.
constexpr int kNameFieldY = 290;
constexpr int kNameInputWidth = 300;

// Score dialog (screen positions): the title, and the rows of the table.
constexpr int kScoreTitleY = 96;
constexpr int kScoreFirstRowY = 160;
constexpr int kScoreRowStep = 32;
constexpr int kScoreRankRight = 222;
constexpr int kScoreNameLeft = 244;
constexpr int kScoreValueRight = 590;

// Profile dialog list: first entry and spacing, as percentages of the dialog height.
constexpr int kProfileListTop = 20;
constexpr double kProfileListStep = 9.0;
constexpr int kMaxProfiles = 6;

// Result dialogs: where the score, bonus and total are printed (percent of the dialog).
constexpr double kResultNumberX = 54;
constexpr double kResultRowY[3] = {40, 55, 70};

// Loading screen: the progress bar is drawn centred on the screen.
constexpr int kProgressBackW = 440, kProgressBackH = 36;
constexpr int kProgressLineW = 420, kProgressLineH = 18;

// Fonts.
constexpr int kMainFontHeight = 24;
constexpr int kMainFontSpace = 9; // with CharDist -3: a 6-pixel space
constexpr int kDigitsHeight = 32;
constexpr int kDigitsCell = 22;

} // namespace layout
