// Interface pictures: buttons and controls with their state frames, and the dialogs.
#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "Layout.h"
#include "Pictures.h"
#include "Words.h"

using namespace layout;

namespace {

enum class State { Normal, Focused, Disabled };

// Stacks one picture per frame into a strip, top to bottom (vertical) or left to right.
void SaveStrip(PictureOutput& out, const std::string& name, int w, int h, int frames, bool vertical,
               const std::function<void(Canvas&, int)>& drawFrame) {
    Canvas strip(vertical ? w : w * frames, vertical ? h * frames : h);
    for (int f = 0; f < frames; ++f) {
        Canvas frame(w, h);
        drawFrame(frame, f);
        strip.Paint(frame, vertical ? 0 : w * f, vertical ? h * f : 0);
    }
    out.Save(name, strip);
}

struct ButtonLook {
    Rgb top, bottom, rim, label;
    double glow;
};

ButtonLook LookOf(State s) {
    switch (s) {
    case State::Focused:
        return {Hex(0x7CA8FF), Hex(0x3A5CDC), Hex(0xCDE6FF), Hex(0xFFF7DC), 0.8};
    case State::Disabled:
        return {Hex(0x5A6078), Hex(0x383D52), Hex(0x7A819A), Hex(0x9EA4BA), 0};
    default:
        return {Hex(0x5A84F0), Hex(0x2A43B0), palette::kRim, Hex(0xFFFFFF), 0};
    }
}

// The shape every push button shares: a glassy pill inside a 3-pixel margin that holds its
// shadow and, when focused, its glow.
void PaintButtonBody(Canvas& c, State state, double radius) {
    cairo_t* cr = c.Cr();
    const ButtonLook look = LookOf(state);
    const double m = 3, w = c.Width() - 2 * m, h = c.Height() - 2 * m;
    RoundedRect(cr, m, m, w, h, radius);
    cairo_pattern_t* body = cairo_pattern_create_linear(0, m, 0, m + h);
    AddStop(body, 0, look.top);
    AddStop(body, 1, look.bottom);
    cairo_set_source(cr, body);
    cairo_fill(cr);
    cairo_pattern_destroy(body);
    // Gloss on the upper half.
    RoundedRect(cr, m + 2, m + 1.5, w - 4, h * 0.48, radius - 1.5);
    cairo_pattern_t* gloss = cairo_pattern_create_linear(0, m, 0, m + h * 0.5);
    AddStop(gloss, 0, {1, 1, 1}, state == State::Disabled ? 0.12 : 0.32);
    AddStop(gloss, 1, {1, 1, 1}, 0.04);
    cairo_set_source(cr, gloss);
    cairo_fill(cr);
    cairo_pattern_destroy(gloss);
    RoundedRect(cr, m + 0.75, m + 0.75, w - 1.5, h - 1.5, radius - 0.5);
    SetColour(cr, look.rim, 0.85);
    cairo_set_line_width(cr, 1.5);
    cairo_stroke(cr);
    RoundedRect(cr, m - 0.5, m - 0.5, w + 1, h + 1, radius + 0.5);
    SetColour(cr, palette::kShadow, 0.85);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    if (look.glow > 0) {
        SoftGlow(
            c,
            [&](cairo_t* g) {
                RoundedRect(g, m - 1, m - 1, w + 2, h + 2, radius + 1);
                cairo_new_sub_path(g);
                cairo_set_fill_rule(g, CAIRO_FILL_RULE_EVEN_ODD);
                RoundedRect(g, m + 1, m + 1, w - 2, h - 2, radius - 1);
            },
            1, look.glow, palette::kGlow);
    } else {
        SoftShadow(
            c, [&](cairo_t* s) { RoundedRect(s, m, m, w, h, radius); }, 0, 1.5, 1, 0.7);
    }
}

void DrawArrow(PictureOutput& out, const std::string& name, double direction) {
    const int s = kArrowSize;
    SaveStrip(out, "Interface/" + name, s, s, 3, true, [&](Canvas& c, int f) {
        const State state = static_cast<State>(f);
        PaintButtonBody(c, state, s / 2.0 - 3);
        cairo_t* cr = c.Cr();
        const double cx = s / 2.0 + direction * 1.5, cy = s / 2.0;
        cairo_move_to(cr, cx + direction * 9, cy);
        cairo_line_to(cr, cx - direction * 7, cy - 11);
        cairo_line_to(cr, cx - direction * 7, cy + 11);
        cairo_close_path(cr);
        SetColour(cr, LookOf(state).label);
        cairo_fill(cr);
    });
}

// The greeting on the main menu is text the game prints; its button is invisible except for
// a soft highlight when the pointer is over it. The game prints the caption 20 pixels left
// of the button's centre, so the highlight sits there too.
void DrawGreetingButton(PictureOutput& out) {
    SaveStrip(out, "Interface/ChangeProfileTr", kGreetingW, kGreetingH, 3, true,
              [&](Canvas& c, int f) {
                  if (f != 1) {
                      return;
                  }
                  cairo_t* cr = c.Cr();
                  const double cx = kGreetingW / 2.0 - 20;
                  cairo_pattern_t* p = cairo_pattern_create_linear(cx - 130, 0, cx + 130, 0);
                  AddStop(p, 0, palette::kGlow, 0);
                  AddStop(p, 0.5, palette::kGlow, 0.28);
                  AddStop(p, 1, palette::kGlow, 0);
                  RoundedRect(cr, cx - 130, 1, 260, kGreetingH - 2, (kGreetingH - 2) / 2.0);
                  cairo_set_source(cr, p);
                  cairo_fill(cr);
                  cairo_pattern_destroy(p);
              });
}

// A row of the player list: plain, under the pointer, and chosen (the active player).
void DrawProfileItem(PictureOutput& out) {
    SaveStrip(out, "Interface/ProfileItem", kProfileItemW, kProfileItemH, 3, true,
              [&](Canvas& c, int f) {
                  cairo_t* cr = c.Cr();
                  const double m = 2, w = kProfileItemW - 4, h = kProfileItemH - 4;
                  if (f == 0) {
                      DrawInset(cr, m, m, w, h, 10);
                      return;
                  }
                  RoundedRect(cr, m, m, w, h, 10);
                  cairo_pattern_t* p = cairo_pattern_create_linear(0, m, 0, m + h);
                  const Rgb top = f == 2 ? Hex(0x6A7FE8) : Hex(0x3E5AB8);
                  AddStop(p, 0, top);
                  AddStop(p, 1, Darker(top, 0.4));
                  cairo_set_source(cr, p);
                  cairo_fill(cr);
                  cairo_pattern_destroy(p);
                  RoundedRect(cr, m + 0.75, m + 0.75, w - 1.5, h - 1.5, 9.5);
                  SetColour(cr, f == 2 ? palette::kGold : palette::kRim, 0.9);
                  cairo_set_line_width(cr, f == 2 ? 2 : 1.2);
                  cairo_stroke(cr);
                  if (f == 2) {
                      Star(cr, 20, kProfileItemH / 2.0, 5, 7, 3, 0);
                      SetColour(cr, palette::kGold);
                      cairo_fill(cr);
                  }
              });
}

void DrawCheckBox(PictureOutput& out) {
    const int s = kCheckBoxSize;
    SaveStrip(out, "Interface/CheckBox", s, s, 4, true, [&](Canvas& c, int f) {
        cairo_t* cr = c.Cr();
        const bool focused = f % 2 == 1, checked = f >= 2;
        DrawInset(cr, 5, 5, s - 10, s - 10, 6);
        RoundedRect(cr, 5.5, 5.5, s - 11, s - 11, 6);
        SetColour(cr, focused ? palette::kGlow : palette::kRim, focused ? 1.0 : 0.8);
        cairo_set_line_width(cr, focused ? 2 : 1.5);
        cairo_stroke(cr);
        if (focused) {
            SoftGlow(
                c,
                [&](cairo_t* g) {
                    RoundedRect(g, 4, 4, s - 8, s - 8, 7);
                    cairo_new_sub_path(g);
                    cairo_set_fill_rule(g, CAIRO_FILL_RULE_EVEN_ODD);
                    RoundedRect(g, 6, 6, s - 12, s - 12, 5);
                },
                1, 0.8, palette::kGlow);
        }
        if (checked) {
            auto tick = [](cairo_t* t) {
                cairo_move_to(t, 10, 16.5);
                cairo_line_to(t, 14.5, 21);
                cairo_line_to(t, 23, 10.5);
                cairo_set_line_cap(t, CAIRO_LINE_CAP_ROUND);
                cairo_set_line_join(t, CAIRO_LINE_JOIN_ROUND);
            };
            tick(cr);
            SetColour(cr, palette::kShadow, 0.8);
            cairo_set_line_width(cr, 5.5);
            cairo_stroke(cr);
            tick(cr);
            SetColour(cr, palette::kGold);
            cairo_set_line_width(cr, 3.2);
            cairo_stroke(cr);
        }
    });
}

// The slider's track: the usable part is the width less 32 pixels, centred.
void DrawSlider(PictureOutput& out) {
    SaveStrip(out, "Interface/Slider", kSliderW, kSliderH, 2, true, [&](Canvas& c, int f) {
        cairo_t* cr = c.Cr();
        const double left = 16, right = kSliderW - 16, cy = kSliderH / 2.0;
        DrawInset(cr, left - 6, cy - 5, right - left + 12, 10, 5);
        // A glowing fill that grows from quiet to loud.
        cairo_pattern_t* p = cairo_pattern_create_linear(left, 0, right, 0);
        AddStop(p, 0, palette::kGlow, 0.15);
        AddStop(p, 1, Hex(0x9C7CFF), f == 1 ? 0.9 : 0.65);
        cairo_move_to(cr, left - 2, cy + 2.5);
        cairo_line_to(cr, right + 2, cy - 3);
        cairo_line_to(cr, right + 2, cy + 3);
        cairo_line_to(cr, left - 2, cy + 3);
        cairo_close_path(cr);
        cairo_set_source(cr, p);
        cairo_fill(cr);
        cairo_pattern_destroy(p);
        for (int i = 0; i <= 8; ++i) {
            const double x = left + (right - left) * i / 8.0;
            cairo_move_to(cr, x, cy + 8);
            cairo_line_to(cr, x, cy + (i % 4 == 0 ? 13 : 11));
            SetColour(cr, palette::kRim, 0.55);
            cairo_set_line_width(cr, 1);
            cairo_stroke(cr);
        }
        if (f == 1) {
            RoundedRect(cr, left - 6.5, cy - 5.5, right - left + 13, 11, 5.5);
            SetColour(cr, palette::kGlow, 0.8);
            cairo_stroke(cr);
        }
    });
    SaveStrip(out, "Interface/SliderThumb", kThumbW, kThumbH, 2, true, [&](Canvas& c, int f) {
        cairo_t* cr = c.Cr();
        const double m = 3, w = kThumbW - 6, h = kThumbH - 6;
        RoundedRect(cr, m, m, w, h, 7);
        cairo_pattern_t* p = cairo_pattern_create_linear(m, 0, m + w, 0);
        const Rgb base = f == 1 ? Hex(0xCFE4FF) : Hex(0xA9B8DA);
        AddStop(p, 0, Lighter(base, 0.5));
        AddStop(p, 0.5, base);
        AddStop(p, 1, Darker(base, 0.45));
        cairo_set_source(cr, p);
        cairo_fill(cr);
        cairo_pattern_destroy(p);
        for (int i = -1; i <= 1; ++i) {
            cairo_move_to(cr, m + 5, kThumbH / 2.0 + i * 4);
            cairo_line_to(cr, m + w - 5, kThumbH / 2.0 + i * 4);
            SetColour(cr, palette::kShadow, 0.45);
            cairo_set_line_width(cr, 1.2);
            cairo_stroke(cr);
        }
        RoundedRect(cr, m, m, w, h, 7);
        SetColour(cr, palette::kShadow, 0.9);
        cairo_set_line_width(cr, 1);
        cairo_stroke(cr);
        if (f == 1) {
            SoftGlow(
                c,
                [&](cairo_t* g) {
                    RoundedRect(g, m - 1, m - 1, w + 2, h + 2, 8);
                    cairo_new_sub_path(g);
                    cairo_set_fill_rule(g, CAIRO_FILL_RULE_EVEN_ODD);
                    RoundedRect(g, m + 1, m + 1, w - 2, h - 2, 6);
                },
                1, 0.9, palette::kGlow);
        } else {
            SoftShadow(
                c, [&](cairo_t* s) { RoundedRect(s, m, m, w, h, 7); }, 0, 1.5, 1, 0.8);
        }
    });
}

void DrawSmallPieces(PictureOutput& out) {
    // The typing caret: lit, then dark, 384 ms each.
    SaveStrip(out, "Interface/CursorBlink", kCaretW, kCaretH, 2, false, [&](Canvas& c, int f) {
        if (f == 1) {
            return;
        }
        cairo_t* cr = c.Cr();
        RoundedRect(cr, kCaretW / 2.0 - 1.25, 3, 2.5, kCaretH - 6, 1.2);
        SetColour(cr, Lighter(palette::kGlow, 0.4));
        cairo_fill(cr);
    });
    // The dimming square that a dialog spreads over the whole screen beneath it.
    Canvas fade(32, 24);
    SetColour(fade.Cr(), Hex(0x02040E), 150 / 255.0);
    cairo_paint(fade.Cr());
    out.Save("Interface/Fade", fade);
}

// Titles of the two high-score tables.
void DrawTableTitles(PictureOutput& out) {
    for (const auto& [name, key] :
         {std::pair{"ScoreClassic", "ClassicTable"}, std::pair{"ScoreArcade", "ArcadeTable"}}) {
        Canvas title(320, 56);
        DrawTitle(title, words::Get(key), 160, 28, 32, 300);
        out.Save(std::string("Interface/") + name, title);
    }
}

// The buttons that carry a word: each picture's name and the word's key.
void DrawLabelledButtons(PictureOutput& out) {
    struct Labelled {
        const char* name;
        const char* key;
    };
    const std::vector<Labelled> big = {
        {"ClassicGame", "Classic"}, {"ArcadeGame", "Arcade"}, {"Continue", "Continue"},
        {"Options", "Options"},     {"Help", "Help"},         {"Score", "HighScores"},
        {"Exit", "Exit"},           {"StartNew", "NewGame"},  {"PuzzleGame", "Puzzle"}};
    for (const Labelled& b : big) {
        DrawLabelledButton(out, b.name, words::Get(b.key), kBigButtonW, kBigButtonH, 19);
    }
    const std::vector<Labelled> small = {{"BtnOk", "Ok"},
                                         {"BtnCancel", "Cancel"},
                                         {"Yes", "Yes"},
                                         {"No", "No"},
                                         {"Clear", "Clear"},
                                         {"Credits", "Credits"},
                                         {"NewProfile", "NewPlayer"},
                                         {"DelProfile", "Delete"},
                                         {"Watch", "Watch"}};
    for (const Labelled& b : small) {
        DrawLabelledButton(out, b.name, words::Get(b.key), kSmallButtonW, kSmallButtonH, 17);
    }
    DrawLabelledButton(out, "Menu", words::Get("Menu"), kMenuButtonW, kMenuButtonH, 15);
    const std::vector<Labelled> puzzle = {
        {"Next", "NextLevel"}, {"Retry", "Retry"}, {"PuzzleMenu", "Menu"}};
    for (const Labelled& b : puzzle) {
        DrawLabelledButton(out, b.name, words::Get(b.key), kPuzzleButtonW, kPuzzleButtonH, 17);
    }
}

// A level's tile in the level select: a plain button body the game writes the number and
// best score on; a cleared level's tile has a gold ring.
void DrawLevelTiles(PictureOutput& out) {
    for (const bool cleared : {false, true}) {
        const char* name = cleared ? "Interface/LevelTileDone" : "Interface/LevelTile";
        SaveStrip(out, name, kLevelTileW, kLevelTileH, 3, true, [&](Canvas& c, int f) {
            PaintButtonBody(c, static_cast<State>(f), 12);
            if (cleared) {
                cairo_t* cr = c.Cr();
                RoundedRect(cr, 7, 7, kLevelTileW - 14, kLevelTileH - 14, 9);
                SetColour(cr, palette::kGold, 0.9);
                cairo_set_line_width(cr, 2.5);
                cairo_stroke(cr);
            }
        });
    }
}

void DrawButtons(PictureOutput& out) {
    DrawLevelTiles(out);
    DrawArrow(out, "LArrow", -1);
    DrawArrow(out, "RArrow", 1);
    DrawGreetingButton(out);
    DrawProfileItem(out);
    DrawCheckBox(out);
    DrawSlider(out);
}

// ----- Dialogs -----

TextStyle LabelStyle(double size = 17) {
    TextStyle s;
    s.size = size;
    s.colour = palette::kText;
    s.shadow = 1.5;
    return s;
}

// Local coordinates of a screen point inside a centred dialog.
double LocalX(Size s, double x) {
    return x - DialogLeft(s);
}
double LocalY(Size s, double y) {
    return y - DialogTop(s);
}

void DrawQuestionDialog(PictureOutput& out) {
    const Size s = kSmallDialog;
    Canvas c(s.w, s.h);
    DrawPanelBody(c, kPanelMargin, 20);
    cairo_t* cr = c.Cr();
    // A badge with a question mark above the question the game prints in the middle.
    Circle(cr, s.w / 2.0, 36, 17);
    cairo_pattern_t* p = cairo_pattern_create_radial(s.w / 2.0 - 5, 30, 2, s.w / 2.0, 36, 17);
    AddStop(p, 0, Lighter(palette::kGold, 0.5));
    AddStop(p, 1, Darker(palette::kGold, 0.35));
    cairo_set_source(cr, p);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
    TextStyle q = LabelStyle(22);
    q.colour = Hex(0x3A2A08);
    q.shadow = 0;
    DrawText(c, "?", s.w / 2.0, 36, Align::Centre, q);
    DrawDivider(cr, 60, s.w - 60, 176);
    out.Save("Interface/vSmlDialog", c);
}

void DrawOptionsDialog(PictureOutput& out) {
    const Size s = kOptionsDialog;
    Canvas c(s.w, s.h);
    DrawPanelBody(c, kPanelMargin, 22);
    cairo_t* cr = c.Cr();
    // Title and divider where they sit in the other dialogs of the menu (screen y 120 and
    // 152); the dialog reaches lower to hold the language choice.
    DrawTitle(c, words::Get("OptionsTitle"), s.w / 2.0, LocalY(s, 120), 28, s.w - 80);
    DrawDivider(cr, 40, s.w - 40, LocalY(s, 152));
    const TextStyle label = LabelStyle();
    const double trackLeft = LocalX(s, kScreenW / 2.0 - kSliderW / 2.0);
    const double labelRoom = trackLeft - 8 - kPanelMargin - 10;
    for (const auto& [key, y] :
         {std::pair{"Sound", kSoundSliderY}, std::pair{"Music", kMusicSliderY}}) {
        const std::string word = words::Get(key);
        DrawText(c, word, trackLeft - 8, LocalY(s, y), Align::Right,
                 FitWidth(word, label, labelRoom));
    }
    const double boxX = LocalX(s, kWindowedBoxX);
    const std::string fullScreen = words::Get("FullScreen");
    DrawText(c, fullScreen, boxX + 24, LocalY(s, kWindowedBoxY), Align::Left,
             FitWidth(fullScreen, label, s.w - kPanelMargin - 14 - (boxX + 24)));
    DrawDivider(cr, 40, s.w - 40, LocalY(s, 362));
    TextStyle head = LabelStyle(15);
    head.colour = palette::kGold;
    const std::string difficulty = words::Get("Difficulty");
    DrawText(c, difficulty, s.w / 2.0, LocalY(s, 380), Align::Centre,
             FitWidth(difficulty, head, s.w - 80));
    const char* levels[3] = {"Easy", "Normal", "Hard"};
    for (int i = 0; i < 3; ++i) {
        // Each level's word runs from its box to the next box (or the dialog's edge).
        const double left = LocalX(s, kDifficultyX[i]) + 22;
        const double right = i < 2 ? LocalX(s, kDifficultyX[i + 1]) - 22 : s.w - kPanelMargin - 14;
        const std::string word = words::Get(levels[i]);
        DrawText(c, word, left, LocalY(s, kDifficultyY), Align::Left,
                 FitWidth(word, label, right - left));
    }
    out.Save("Interface/OptionsDlg", c);
}

void DrawEditDialog(PictureOutput& out) {
    const Size s = kEditDialog;
    Canvas c(s.w, s.h);
    DrawPanelBody(c, kPanelMargin, 20);
    DrawTitle(c, words::Get("NewPlayerTitle"), s.w / 2.0, 36, 24, s.w - 80);
    TextStyle prompt = LabelStyle(15);
    prompt.bold = false;
    const std::string ask = words::Get("NamePrompt");
    DrawText(c, ask, s.w / 2.0, 68, Align::Centre, FitWidth(ask, prompt, s.w - 60));
    const double fy = LocalY(s, kNameFieldY);
    DrawInset(c.Cr(), s.w / 2.0 - 180, fy - 22, 360, 44, 12);
    RoundedRect(c.Cr(), s.w / 2.0 - 180, fy - 22, 360, 44, 12);
    SetColour(c.Cr(), palette::kRim, 0.55);
    cairo_set_line_width(c.Cr(), 1.2);
    cairo_stroke(c.Cr());
    out.Save("Interface/EditDialog", c);
}

void DrawProfileDialog(PictureOutput& out) {
    const Size s = kProfileDialog;
    Canvas c(s.w, s.h);
    DrawPanelBody(c, kPanelMargin, 22);
    DrawTitle(c, words::Get("Players"), s.w / 2.0, 40, 28, s.w - 80);
    const double first = s.h * kProfileListTop / 100.0;
    const double last = s.h * (kProfileListTop + kProfileListStep * (kMaxProfiles - 1)) / 100.0;
    DrawInset(c.Cr(), s.w / 2.0 - kProfileItemW / 2.0 - 12, first - kProfileItemH / 2.0 - 12,
              kProfileItemW + 24, last - first + kProfileItemH + 24, 14);
    out.Save("Interface/ProfileDlg", c);
}

void DrawScoreDialog(PictureOutput& out) {
    const Size s = kScoreDialog;
    Canvas c(s.w, s.h);
    DrawPanelBody(c, kPanelMargin, 22);
    cairo_t* cr = c.Cr();
    const double firstRow = LocalY(s, kScoreFirstRowY);
    // Alternate stripes behind the ten rows.
    DrawInset(cr, 32, firstRow - 26, s.w - 64, kScoreRowStep * 10 + 14, 12);
    for (int i = 0; i < 10; ++i) {
        if (i % 2 == 0) {
            RoundedRect(cr, 38, firstRow + i * kScoreRowStep - 14, s.w - 76, 28, 8);
            SetColour(cr, palette::kRim, 0.07);
            cairo_fill(cr);
        }
    }
    TextStyle head = LabelStyle(13);
    head.colour = palette::kGold;
    head.letterSpacing = 1.5;
    const double hy = firstRow - 34;
    // Rank over the numbers, player from the names to the middle, score up to its column.
    const std::string rank = words::Get("Rank"), player = words::Get("Player"),
                      score = words::Get("Score");
    const double rankRight = LocalX(s, kScoreRankRight) + 4;
    DrawText(c, rank, rankRight, hy, Align::Right, FitWidth(rank, head, rankRight - 40));
    DrawText(c, player, LocalX(s, kScoreNameLeft), hy, Align::Left,
             FitWidth(player, head, s.w / 2.0 - LocalX(s, kScoreNameLeft) + 40));
    DrawText(c, score, LocalX(s, kScoreValueRight), hy, Align::Right,
             FitWidth(score, head, LocalX(s, kScoreValueRight) - s.w / 2.0 - 60));
    out.Save("Interface/ScoreDlg", c);
}

void DrawCreditsDialog(PictureOutput& out) {
    const Size s = kCreditsDialog;
    Canvas c(s.w, s.h);
    // Shown over the help page, with the same bay for the menu's launcher.
    const Notch bay = {kMenuLauncherX - double(DialogLeft(s)),
                       kMenuLauncherY - double(DialogTop(s)), 56};
    DrawPanelBody(c, kPanelMargin, 22, &bay);
    cairo_t* cr = c.Cr();
    const double cx = s.w / 2.0;
    PaintLogo(c, cx, 46, 30);
    TextStyle line = LabelStyle(14);
    line.bold = false;
    const double room = s.w - 2 * kPanelMargin - 40;
    const auto centred = [&](const std::string& text, double y, const TextStyle& style) {
        DrawText(c, text, cx, y, Align::Centre, FitWidth(text, style, room));
    };
    centred(words::Get("MadeBy"), 88, line);
    DrawDivider(cr, 60, s.w - 60, 110);
    TextStyle head = LabelStyle(14);
    head.colour = palette::kGold;
    centred(words::Get("BuiltWith"), 130, head);
    const std::string andWord = " " + words::Get("And") + " ";
    const std::string libraries[] = {
        "SDL2" + andWord + "SDL2_mixer  -  " + words::Get("ZlibLicence"),
        "stb_image  -  " + words::Get("PublicDomain"),
        "Cairo  -  LGPL 2.1 / MPL 1.1",
        "FluidSynth  -  LGPL 2.1",
        "libvorbis" + andWord + "libogg  -  " + words::Get("BsdLicence"),
    };
    double y = 154;
    for (const std::string& text : libraries) {
        centred(text, y, line);
        y += 21;
    }
    centred(words::Get("FontsAndInstruments"), y + 8, head);
    y += 32;
    const std::string assets[] = {
        words::Get("DejaVuFonts") + "  -  " + words::Get("FontLicence"),
        words::Get("SoundFont") + "  -  " + words::Get("MitLicence"),
    };
    for (const std::string& text : assets) {
        centred(text, y, line);
        y += 21;
    }
    TextStyle note = line;
    note.size = 12;
    note.colour = Mix(palette::kText, palette::kRim, 0.5);
    centred(words::Get("OwnGenerator"), y + 8, note);
    out.Save("Interface/CreditsDlg", c);
}

// The end-of-game panels: the game counts the score, bonus and total up beside the labels.
void DrawResultDialog(PictureOutput& out, const std::string& name, const std::string& title) {
    const Size s = kResultDialog;
    Canvas c(s.w, s.h);
    DrawPanelBody(c, kPanelMargin, 22);
    cairo_t* cr = c.Cr();
    DrawTitle(c, title, s.w / 2.0, 42, 30, s.w - 60);
    const double numberX = s.w * kResultNumberX / 100.0;
    const char* labels[3] = {"ResultScore", "Bonus", "Total"};
    for (int i = 0; i < 3; ++i) {
        const double y = s.h * kResultRowY[i] / 100.0;
        DrawInset(cr, numberX - 10, y - 19, s.w - numberX - 30, 38, 10);
        TextStyle label = LabelStyle(i == 2 ? 20 : 18);
        if (i == 2) {
            label.colour = palette::kGold;
        }
        const std::string word = words::Get(labels[i]);
        DrawText(c, word, numberX - 24, y, Align::Right, FitWidth(word, label, numberX - 60));
    }
    DrawDivider(cr, 50, s.w - 50, s.h * (kResultRowY[1] + kResultRowY[2]) / 200.0);
    out.Save("Interface/" + name, c);
}

// The level select: the mode's name over an inset holding the set's title between the two
// arrows and a grid of five by four level tiles.
void DrawLevelSelectDialog(PictureOutput& out) {
    const Size s = kLevelSelectDialog;
    Canvas c(s.w, s.h);
    DrawPanelBody(c, kPanelMargin, 22);
    DrawTitle(c, words::Get("Puzzle"), s.w / 2.0, 40, 28, s.w - 80);
    DrawInset(c.Cr(), 30, 72, s.w - 60, 50, 12);
    DrawInset(c.Cr(), 30, 132, s.w - 60, 4 * 72 + 16, 14);
    out.Save("Interface/LevelSelectDlg", c);
}

// The dialogs that carry words.
void DrawTextDialogs(PictureOutput& out) {
    DrawOptionsDialog(out);
    DrawEditDialog(out);
    DrawProfileDialog(out);
    DrawScoreDialog(out);
    DrawCreditsDialog(out);
    DrawResultDialog(out, "GameOverDlg", words::Get("GameOver"));
    DrawResultDialog(out, "GameComplDlg", words::Get("LevelComplete"));
    DrawLevelSelectDialog(out);
}

} // namespace

void DrawLabelledButton(PictureOutput& out, const std::string& name, const std::string& label,
                        int w, int h, double textSize) {
    SaveStrip(out, "Interface/" + name, w, h, 3, true, [&](Canvas& c, int f) {
        const State state = static_cast<State>(f);
        PaintButtonBody(c, state, (h - 6) / 2.0);
        TextStyle style;
        style.size = textSize;
        style.colour = LookOf(state).label;
        style.shadow = state == State::Disabled ? 0 : 1.5;
        style = FitWidth(label, style, w - 28);
        DrawText(c, label, w / 2.0, h / 2.0, Align::Centre, style);
    });
}

void DrawInterfacePictures(PictureOutput& out) {
    DrawButtons(out);
    DrawSmallPieces(out);
    DrawQuestionDialog(out);
}

void DrawInterfaceTextPictures(PictureOutput& out) {
    DrawLabelledButtons(out);
    DrawTableTitles(out);
    DrawTextDialogs(out);
    DrawControlsPictures(out);
}
