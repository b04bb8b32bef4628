// The pictures of the pause panel, the controls dialog and the statistics dialog, with their
// buttons. The game prints the key names and the numbers over them at run time.
#include <string>

#include "ControlsLayout.h"
#include "Layout.h"
#include "Pictures.h"
#include "Words.h"

using namespace layout;

namespace {

// A gold badge with the two bars of a pause sign.
void PaintPauseBadge(cairo_t* cr, double cx, double cy, double r) {
    Circle(cr, cx, cy, r);
    cairo_pattern_t* p = cairo_pattern_create_radial(cx - r / 3, cy - r / 3, 2, cx, cy, r);
    AddStop(p, 0, Lighter(palette::kGold, 0.5));
    AddStop(p, 1, Darker(palette::kGold, 0.35));
    cairo_set_source(cr, p);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
    SetColour(cr, Hex(0x3A2A08));
    RoundedRect(cr, cx - r * 0.42, cy - r * 0.5, r * 0.28, r, 2);
    RoundedRect(cr, cx + r * 0.14, cy - r * 0.5, r * 0.28, r, 2);
    cairo_fill(cr);
}

// The pause panel: its title and badge; the game adds the resume and menu buttons at 70 %
// of its height.
void DrawPauseDialog(PictureOutput& out) {
    const Size s = kPauseDialog;
    Canvas c(s.w, s.h);
    DrawPanelBody(c, kPanelMargin, 20);
    DrawTitle(c, words::Get("Paused"), s.w / 2.0, 42, 28, s.w - 80);
    DrawDivider(c.Cr(), 50, s.w - 50, 70);
    PaintPauseBadge(c.Cr(), s.w / 2.0, 98, 16);
    out.Save("Interface/PauseDlg", c);
}

TextStyle Heading() {
    TextStyle s;
    s.size = 14;
    s.colour = palette::kGold;
    s.shadow = 1;
    s.letterSpacing = 1;
    return s;
}

// The controls dialog: the title, the two column headings and a striped row per action; the
// game prints the action names on the left and places a cell for the key and one for the
// button in each row, where ControlsLayout says.
void DrawControlsDialog(PictureOutput& out) {
    const Size s = kControlsDialog;
    Canvas c(s.w, s.h);
    // Opened over the menu, with a bay for the menu's launcher.
    const Notch bay = {kMenuLauncherX - double(DialogLeft(s)),
                       kMenuLauncherY - double(DialogTop(s)), 56};
    DrawPanelBody(c, kPanelMargin, 22, &bay);
    cairo_t* cr = c.Cr();
    DrawTitle(c, words::Get("ControlsTitle"), s.w / 2.0, 38, 28, s.w - 80);
    DrawDivider(cr, 40, s.w - 40, 66);
    const double keyX = s.w * (ControlsLayout::kKeyColumnX / 100.0);
    const double padX = s.w * (ControlsLayout::kPadColumnX / 100.0);
    const std::string keyboard = words::Get("Keyboard"), gamepad = words::Get("Gamepad");
    const TextStyle head = Heading();
    DrawText(c, keyboard, keyX, 94, Align::Centre, FitWidth(keyboard, head, kBindCellW));
    DrawText(c, gamepad, padX, 94, Align::Centre, FitWidth(gamepad, head, kBindCellW));
    const double firstRow = s.h * (ControlsLayout::kFirstRowY / 100.0);
    const double step = s.h * (ControlsLayout::kRowStep / 100.0);
    DrawInset(cr, 24, firstRow - step / 2 - 6, s.w - 48, step * ControlsLayout::kRows + 12, 12);
    for (int i = 0; i < ControlsLayout::kRows; ++i) {
        if (i % 2 == 0) {
            RoundedRect(cr, 30, firstRow + i * step - step / 2 + 1, s.w - 60, step - 2, 8);
            SetColour(cr, palette::kRim, 0.07);
            cairo_fill(cr);
        }
    }
    DrawInset(cr, 60, s.h * (ControlsLayout::kMessageY / 100.0) - 16, s.w - 120, 32, 10);
    out.Save("Interface/ControlsDlg", c);
}

// The statistics dialog: the title (the game prints the player's name under it), a table of
// the two modes (columns at x 400 and 520, rows from y 136, 28 apart) and two columns of
// totals (numbers ending at x 284 and 560, rows from y 264, 28 apart); the words are drawn
// here, the numbers by the game.
void DrawStatsDialog(PictureOutput& out) {
    const Size s = kStatsDialog;
    Canvas c(s.w, s.h);
    const Notch bay = {kMenuLauncherX - double(DialogLeft(s)),
                       kMenuLauncherY - double(DialogTop(s)), 56};
    DrawPanelBody(c, kPanelMargin, 22, &bay);
    cairo_t* cr = c.Cr();
    DrawTitle(c, words::Get("StatsTitle"), s.w / 2.0, 38, 28, s.w - 80);
    DrawDivider(cr, 40, s.w - 40, 88);
    TextStyle label;
    label.size = 15;
    label.colour = palette::kText;
    label.shadow = 1;
    const TextStyle head = Heading();
    const double modeX[2] = {400, 520};
    const char* modeWords[2] = {"ClassicMode", "ArcadeMode"};
    for (int i = 0; i < 2; ++i) {
        const std::string word = words::Get(modeWords[i]);
        DrawText(c, word, modeX[i], 108, Align::Centre, FitWidth(word, head, 112));
    }
    DrawInset(cr, 24, 120, s.w - 48, 114, 12);
    const char* modeRows[4] = {"GamesStarted", "GamesFinished", "GamesWon", "BestScore"};
    for (int row = 0; row < 4; ++row) {
        const double y = 136 + 28 * row;
        if (row % 2 == 0) {
            RoundedRect(cr, 30, y - 13, s.w - 60, 26, 8);
            SetColour(cr, palette::kRim, 0.07);
            cairo_fill(cr);
        }
        const std::string word = words::Get(modeRows[row]);
        DrawText(c, word, 40, y, Align::Left, FitWidth(word, label, 300));
    }
    DrawInset(cr, 24, 248, s.w - 48, 114, 12);
    const char* totals[2][4] = {{"Shots", "BurstingShots", "Accuracy", "TimePlayed"},
                                {"BubblesBurst", "BubblesDropped", "BiggestDrop", "LongestRun"}};
    const double labelX[2] = {40, 316};
    for (int row = 0; row < 4; ++row) {
        const double y = 264 + 28 * row;
        if (row % 2 == 0) {
            RoundedRect(cr, 30, y - 13, s.w - 60, 26, 8);
            SetColour(cr, palette::kRim, 0.07);
            cairo_fill(cr);
        }
        for (int col = 0; col < 2; ++col) {
            const std::string word = words::Get(totals[col][row]);
            DrawText(c, word, labelX[col], y, Align::Left, FitWidth(word, label, 176));
        }
    }
    out.Save("Interface/StatsDlg", c);
}

} // namespace

void DrawControlsPictures(PictureOutput& out) {
    DrawStatsDialog(out);
    DrawLabelledButton(out, "StatsBtn", words::Get("StatsButton"), kMenuButtonW, kMenuButtonH, 15);
    DrawControlsDialog(out);
    DrawLabelledButton(out, "BindCell", "", kBindCellW, kBindCellH, 15);
    DrawLabelledButton(out, "ChoiceCell", "", kChoiceCellW, kChoiceCellH, 15);
    DrawLabelledButton(out, "Defaults", words::Get("Defaults"), kSmallButtonW, kSmallButtonH, 17);
    DrawLabelledButton(out, "Controls", words::Get("Controls"), kSmallButtonW, kSmallButtonH, 17);
    DrawPauseDialog(out);
    DrawLabelledButton(out, "Resume", words::Get("Resume"), kSmallButtonW, kSmallButtonH, 17);
    DrawLabelledButton(out, "BtnMenu", words::Get("Menu"), kSmallButtonW, kSmallButtonH, 17);
}
