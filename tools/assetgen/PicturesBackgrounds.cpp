// Full-screen pictures: the two playing-field backgrounds, the main menu, the loading screen
// with its progress bar, the help page and the menu's grass.
#include <cmath>
#include <string>

#include "Layout.h"
#include "Pictures.h"
#include "Words.h"

using namespace layout;

namespace {

void Planet(Canvas& canvas, double cx, double cy, double r, Rgb colour, bool ring, double alpha) {
    Canvas layer(canvas.Width(), canvas.Height());
    cairo_t* cr = layer.Cr();
    auto ringPath = [&](cairo_t* c, double scale) {
        cairo_save(c);
        cairo_translate(c, cx, cy);
        cairo_rotate(c, -0.35);
        cairo_scale(c, r * 1.9 * scale, r * 0.45 * scale);
        Circle(c, 0, 0, 1);
        cairo_restore(c);
    };
    if (ring) {
        // The far half of the ring, behind the planet.
        ringPath(cr, 1.0);
        SetColour(cr, Lighter(colour, 0.4), 0.55);
        cairo_set_line_width(cr, r * 0.12);
        cairo_stroke(cr);
    }
    cairo_pattern_t* body =
        cairo_pattern_create_radial(cx - r * 0.4, cy - r * 0.45, r * 0.1, cx, cy, r);
    AddStop(body, 0, Lighter(colour, 0.45));
    AddStop(body, 0.55, colour);
    AddStop(body, 1, Darker(colour, 0.7));
    Circle(cr, cx, cy, r);
    cairo_set_source(cr, body);
    cairo_fill(cr);
    cairo_pattern_destroy(body);
    // Soft bands across the planet.
    cairo_save(cr);
    Circle(cr, cx, cy, r);
    cairo_clip(cr);
    for (int i = -3; i <= 3; ++i) {
        cairo_rectangle(cr, cx - r, cy + i * r * 0.27 - r * 0.05, 2 * r, r * 0.08);
        SetColour(cr, Darker(colour, 0.3), 0.25);
        cairo_fill(cr);
    }
    cairo_restore(cr);
    if (ring) {
        // The near half of the ring, in front of the planet.
        cairo_save(cr);
        cairo_translate(cr, cx, cy);
        cairo_rotate(cr, -0.35);
        cairo_rectangle(cr, -r * 2.5, 0, r * 5, r * 2.5);
        cairo_clip(cr);
        cairo_rotate(cr, 0.35);
        cairo_translate(cr, -cx, -cy);
        ringPath(cr, 1.0);
        SetColour(cr, Lighter(colour, 0.5), 0.8);
        cairo_set_line_width(cr, r * 0.12);
        cairo_stroke(cr);
        cairo_restore(cr);
    }
    canvas.Paint(layer, 0, 0, alpha);
}

void MetalBar(cairo_t* cr, double x, double y, double w, double h, bool vertical) {
    cairo_pattern_t* p = vertical ? cairo_pattern_create_linear(x, 0, x + w, 0)
                                  : cairo_pattern_create_linear(0, y, 0, y + h);
    AddStop(p, 0, Darker(palette::kSteel, 0.5));
    AddStop(p, 0.35, Lighter(palette::kSteel, 0.35));
    AddStop(p, 0.6, palette::kSteel);
    AddStop(p, 1, Darker(palette::kSteel, 0.6));
    cairo_set_source(cr, p);
    cairo_rectangle(cr, x, y, w, h);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
}

void GlowLine(Canvas& canvas, double x0, double y0, double x1, double y1, Rgb colour) {
    cairo_t* cr = canvas.Cr();
    SoftGlow(
        canvas,
        [&](cairo_t* c) {
            cairo_move_to(c, x0, y0);
            cairo_line_to(c, x1, y1);
            cairo_set_line_width(c, 4);
            cairo_stroke_preserve(c);
            cairo_new_path(c);
        },
        3, 0.7, colour);
    cairo_move_to(cr, x0, y0);
    cairo_line_to(cr, x1, y1);
    SetColour(cr, Lighter(colour, 0.4), 0.9);
    cairo_set_line_width(cr, 1.2);
    cairo_stroke(cr);
}

constexpr int kWall = 14;        // thickness of the side walls and the ceiling
constexpr int kConsoleTop = 506; // where the launcher console begins
constexpr int kConsoleWing = 50; // how far the console reaches past the walls

// The playing field: a calm, dark well between metal walls under a metal ceiling, and the
// launcher console across the bottom with the sockets of the row-countdown pips (misses left
// in Classic, five-second ticks left in Arcade).
void DrawField(PictureOutput& out, const std::string& name, Rgb nebulaA, Rgb nebulaB, Rgb planet,
               const std::string& mode, const std::string& pipsLabel, std::uint32_t seed) {
    Canvas c(kScreenW, kScreenH);
    cairo_t* cr = c.Cr();
    DrawSpace(c, seed, nebulaA, nebulaB, 1.0);
    Planet(c, 48, 420, 95, planet, false, 0.55);
    Planet(c, 735, 215, 34, Mix(planet, Hex(0xC8B8FF), 0.5), true, 0.6);
    // The well: darker glass, so the bubbles stand out.
    const double wl = kWellLeft, wr = kWellRight, wt = kWellTop;
    cairo_pattern_t* well = cairo_pattern_create_linear(0, wt, 0, kConsoleTop);
    AddStop(well, 0, Hex(0x050818), 0.86);
    AddStop(well, 1, Mix(Hex(0x050818), nebulaA, 0.18), 0.8);
    cairo_set_source(cr, well);
    cairo_rectangle(cr, wl, wt, wr - wl, kConsoleTop - wt);
    cairo_fill(cr);
    cairo_pattern_destroy(well);
    // A soft light from above and darker edges give the well some depth.
    cairo_save(cr);
    cairo_rectangle(cr, wl, wt, wr - wl, kConsoleTop - wt);
    cairo_clip(cr);
    const double mid = (wl + wr) / 2;
    cairo_pattern_t* light = cairo_pattern_create_radial(mid, wt - 40, 20, mid, wt - 40, 380);
    AddStop(light, 0, Lighter(nebulaA, 0.3), 0.16);
    AddStop(light, 1, nebulaA, 0);
    cairo_set_source(cr, light);
    cairo_paint(cr);
    cairo_pattern_destroy(light);
    cairo_pattern_t* edges = cairo_pattern_create_linear(wl, 0, wr, 0);
    AddStop(edges, 0, palette::kShadow, 0.45);
    AddStop(edges, 0.12, palette::kShadow, 0);
    AddStop(edges, 0.88, palette::kShadow, 0);
    AddStop(edges, 1, palette::kShadow, 0.45);
    cairo_set_source(cr, edges);
    cairo_paint(cr);
    cairo_pattern_destroy(edges);
    cairo_restore(cr);
    // Faint marks where the cells are.
    for (int k = 0; k < kRows; ++k) {
        for (int col = 0; col < kColumns; ++col) {
            const double x = kFirstCentreX + kBubbleSize * col + ((k % 2) ? kBubbleRadius : 0);
            const double y = kFirstCentreY + kBubbleSize * k;
            Circle(cr, x, y, 1.4);
            SetColour(cr, palette::kRim, 0.10);
            cairo_fill(cr);
        }
    }
    // The danger line: a bubble below it ends the game.
    cairo_pattern_t* warn = cairo_pattern_create_linear(0, kDangerY, 0, kDangerY + 36);
    AddStop(warn, 0, Hex(0xFF4A4A), 0.10);
    AddStop(warn, 1, Hex(0xFF4A4A), 0.0);
    cairo_set_source(cr, warn);
    cairo_rectangle(cr, wl, kDangerY, wr - wl, 36);
    cairo_fill(cr);
    cairo_pattern_destroy(warn);
    const double dashes[] = {10, 8};
    cairo_set_dash(cr, dashes, 2, 0);
    cairo_move_to(cr, wl + 4, kDangerY + 0.5);
    cairo_line_to(cr, wr - 4, kDangerY + 0.5);
    SetColour(cr, Hex(0xFF6A6A), 0.5);
    cairo_set_line_width(cr, 1.5);
    cairo_stroke(cr);
    cairo_set_dash(cr, nullptr, 0, 0);
    // Walls and ceiling, with a soft shadow falling into the well.
    Canvas frame(kScreenW, kScreenH);
    cairo_t* fc = frame.Cr();
    MetalBar(fc, wl - kWall, wt, kWall, kConsoleTop - wt, true);
    MetalBar(fc, wr, wt, kWall, kConsoleTop - wt, true);
    MetalBar(fc, wl - kWall, wt - kWall, wr - wl + 2 * kWall, kWall, false);
    for (double y = wt + 24; y < kConsoleTop - 10; y += 48) {
        for (double x : {wl - kWall / 2.0, wr + kWall / 2.0}) {
            Circle(fc, x, y, 2);
            SetColour(fc, Lighter(palette::kSteel, 0.6), 0.9);
            cairo_fill(fc);
        }
    }
    SoftShadow(
        frame,
        [&](cairo_t* s) {
            cairo_rectangle(s, wl - kWall, wt - kWall, wr - wl + 2 * kWall, kWall);
            cairo_rectangle(s, wl - kWall, wt, kWall, kConsoleTop - wt);
            cairo_rectangle(s, wr, wt, kWall, kConsoleTop - wt);
        },
        3, 4, 4, 0.9);
    c.Paint(frame, 0, 0);
    GlowLine(c, wl + 0.5, wt, wl + 0.5, kConsoleTop, palette::kGlow);
    GlowLine(c, wr - 0.5, wt, wr - 0.5, kConsoleTop, palette::kGlow);
    GlowLine(c, wl, wt + 0.5, wr, wt + 0.5, palette::kGlow);
    // The console under the launcher.
    Canvas console(kScreenW, kScreenH);
    cairo_t* k = console.Cr();
    RoundedRect(k, wl - kWall - kConsoleWing, kConsoleTop, wr - wl + 2 * (kWall + kConsoleWing),
                140, 26);
    cairo_pattern_t* body = cairo_pattern_create_linear(0, kConsoleTop, 0, kScreenH);
    AddStop(body, 0, Mix(palette::kSteel, palette::kNight, 0.45));
    AddStop(body, 0.25, Mix(palette::kSteel, palette::kNight, 0.7));
    AddStop(body, 1, Mix(palette::kSteel, palette::kNight, 0.88));
    cairo_set_source(k, body);
    cairo_fill(k);
    cairo_pattern_destroy(body);
    RoundedRect(k, wl - kWall - kConsoleWing + 1, kConsoleTop + 1,
                wr - wl + 2 * (kWall + kConsoleWing) - 2, 140, 25);
    SetColour(k, Lighter(palette::kSteel, 0.5), 0.8);
    cairo_set_line_width(k, 1.5);
    cairo_stroke(k);
    // Launcher pad.
    const double px = kLauncherX, py = kLauncherY + 2;
    cairo_pattern_t* pad = cairo_pattern_create_radial(px, py - 10, 4, px, py, 46);
    AddStop(pad, 0, Mix(palette::kSteel, palette::kNight, 0.35));
    AddStop(pad, 1, Mix(palette::kSteel, palette::kNight, 0.8));
    Circle(k, px, py, 46);
    cairo_set_source(k, pad);
    cairo_fill(k);
    cairo_pattern_destroy(pad);
    Circle(k, px, py, 46);
    SetColour(k, palette::kGlow, 0.55);
    cairo_set_line_width(k, 2);
    cairo_stroke(k);
    Circle(k, px, py, 38);
    SetColour(k, palette::kShadow, 0.5);
    cairo_set_line_width(k, 1);
    cairo_stroke(k);
    // Sockets for the moves-left symbols.
    for (int i = 0; i < 5; ++i) {
        DrawInset(k, kMovesX[i] - 11, kMovesY[i] - 11, 22, 22, 11);
    }
    SoftShadow(
        console,
        [&](cairo_t* s) {
            RoundedRect(s, wl - kWall - kConsoleWing, kConsoleTop,
                        wr - wl + 2 * (kWall + kConsoleWing), 140, 26);
        },
        0, -2, 6, 0.8);
    c.Paint(console, 0, 0);
    TextStyle small;
    small.size = 11;
    small.colour = palette::kGold;
    small.letterSpacing = 2.5;
    small.shadow = 1;
    DrawText(c, pipsLabel, 612, 584, Align::Centre, FitWidth(pipsLabel, small, 120));
    TextStyle modeStyle = small;
    modeStyle.size = 15;
    modeStyle.letterSpacing = 3.5;
    DrawText(c, mode, 250, 560, Align::Centre, FitWidth(mode, modeStyle, 200));
    // The score plate in the top-left corner; the score is printed centred on it.
    DrawInset(cr, kScoreX - 68, 2, 136, 29, 10);
    RoundedRect(cr, kScoreX - 68, 2, 136, 29, 10);
    SetColour(cr, palette::kRim, 0.5);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    const std::string score = words::Get("FieldScore");
    DrawText(c, score, kScoreX, kScoreY + 27, Align::Centre, FitWidth(score, small, 136));
    out.Save(name, c);
}

void DrawMainMenu(PictureOutput& out) {
    Canvas c(kScreenW, kScreenH);
    cairo_t* cr = c.Cr();
    DrawSpace(c, 71, Hex(0x2A9BB0), Hex(0x6A3CC0), 1.2);
    Planet(c, 655, 300, 78, Hex(0x8C6BE0), true, 0.9);
    Planet(c, 470, 215, 16, Hex(0x55C0B0), false, 0.8);
    // Rolling alien hills along the bottom, with a raised dock for the launcher.
    Canvas hills(kScreenW, kScreenH);
    cairo_t* h = hills.Cr();
    cairo_move_to(h, 0, 560);
    cairo_curve_to(h, 160, 520, 300, 590, 430, 560);
    cairo_curve_to(h, 560, 530, 620, 545, 680, 552);
    cairo_curve_to(h, 730, 545, 770, 540, 800, 548);
    cairo_line_to(h, 800, 600);
    cairo_line_to(h, 0, 600);
    cairo_close_path(h);
    cairo_pattern_t* ground = cairo_pattern_create_linear(0, 520, 0, 600);
    AddStop(ground, 0, Hex(0x1C5E6E));
    AddStop(ground, 1, Hex(0x082030));
    cairo_set_source(h, ground);
    cairo_fill(h);
    cairo_pattern_destroy(ground);
    cairo_move_to(h, 0, 560);
    cairo_curve_to(h, 160, 520, 300, 590, 430, 560);
    cairo_curve_to(h, 560, 530, 620, 545, 680, 552);
    cairo_curve_to(h, 730, 545, 770, 540, 800, 548);
    SetColour(h, palette::kGlow, 0.5);
    cairo_set_line_width(h, 1.5);
    cairo_stroke(h);
    c.Paint(hills, 0, 0);
    // Launcher dock.
    cairo_save(cr);
    cairo_translate(cr, kMenuLauncherX, kMenuLauncherY + 34);
    cairo_scale(cr, 1, 0.35);
    Circle(cr, 0, 0, 52);
    cairo_pattern_t* dock = cairo_pattern_create_radial(0, -20, 5, 0, 0, 52);
    AddStop(dock, 0, Mix(palette::kSteel, palette::kNight, 0.3));
    AddStop(dock, 1, Mix(palette::kSteel, palette::kNight, 0.85));
    cairo_set_source(cr, dock);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(dock);
    SetColour(cr, palette::kGlow, 0.7);
    cairo_set_line_width(cr, 3);
    cairo_stroke(cr);
    cairo_restore(cr);
    PaintLogo(c, 400, 58, 50);
    // A glass column behind the menu buttons and a banner behind the greeting.
    RoundedRect(cr, 28, 118, 284, 410, 22);
    SetColour(cr, palette::kNight, 0.45);
    cairo_fill_preserve(cr);
    SetColour(cr, palette::kRim, 0.35);
    cairo_set_line_width(cr, 1.5);
    cairo_stroke(cr);
    RoundedRect(cr, 438, 108, 300, 56, 16);
    SetColour(cr, palette::kNight, 0.45);
    cairo_fill_preserve(cr);
    SetColour(cr, palette::kRim, 0.35);
    cairo_stroke(cr);
    // Three bubbles floating in the sky.
    PaintBubble(cr, 430, 330, 18, 2);
    PaintBubble(cr, 520, 405, 14, 4);
    PaintBubble(cr, 372, 440, 11, 3);
    out.Save("MainMenu", c);
}

// Alien grass for the menu's bottom-left corner: tall only at the far left, low under the
// Exit button that stands just above it.
void DrawMenuGrass(PictureOutput& out) {
    const int w = 280, h = 110;
    Canvas c(w, h);
    cairo_t* cr = c.Cr();
    Scatter rnd(5);
    for (int layer = 0; layer < 2; ++layer) {
        for (int i = 0; i < 46; ++i) {
            const double x = rnd.Range(-5, w - 10);
            const double limit = x < 80 ? h - 4 : (x < 200 ? 78 : 62);
            const double height = rnd.Range(0.35, 1.0) * limit * (layer == 0 ? 0.8 : 1.0);
            const double lean = rnd.Range(-0.5, 0.5) * height * 0.5;
            const double width = rnd.Range(3, 7);
            cairo_move_to(cr, x - width, h);
            cairo_curve_to(cr, x - width * 0.5, h - height * 0.5, x + lean * 0.5, h - height * 0.8,
                           x + lean, h - height);
            cairo_curve_to(cr, x + lean * 0.5 + 1, h - height * 0.75, x + width * 0.5,
                           h - height * 0.4, x + width, h);
            cairo_close_path(cr);
            cairo_pattern_t* p = cairo_pattern_create_linear(0, h - height, 0, h);
            const Rgb tip = layer == 0 ? Hex(0x2E8C7A) : Hex(0x5ED6A8);
            AddStop(p, 0, tip);
            AddStop(p, 1, Hex(0x0A2A2A));
            cairo_set_source(cr, p);
            cairo_fill(cr);
            cairo_pattern_destroy(p);
            if (layer == 1 && i % 7 == 0) {
                // A glowing seed pod on the blade's tip.
                const Rgb pod = (i % 14 == 0) ? Hex(0xFF8AD8) : palette::kGlow;
                cairo_pattern_t* g =
                    cairo_pattern_create_radial(x + lean, h - height, 0, x + lean, h - height, 9);
                AddStop(g, 0, pod, 0.8);
                AddStop(g, 1, pod, 0);
                cairo_set_source(cr, g);
                Circle(cr, x + lean, h - height, 9);
                cairo_fill(cr);
                cairo_pattern_destroy(g);
                Circle(cr, x + lean, h - height, 2.6);
                SetColour(cr, Lighter(pod, 0.6));
                cairo_fill(cr);
            }
        }
    }
    out.Save("MenuGrass", c);
}

void DrawLoadScreen(PictureOutput& out) {
    Canvas c(kScreenW, kScreenH);
    DrawSpace(c, 33, Hex(0x2A9BB0), Hex(0x6A3CC0), 1.2);
    Planet(c, 120, 520, 70, Hex(0x3FA3B8), false, 0.7);
    Planet(c, 690, 505, 38, Hex(0x8C6BE0), true, 0.8);
    PaintLogo(c, 400, 200, 64);
    TextStyle style;
    style.size = 16;
    style.letterSpacing = 4;
    style.colour = palette::kText;
    const std::string loading = words::Get("Loading");
    DrawText(c, loading, 400, 346, Align::Centre, FitWidth(loading, style, 420));
    for (int i = 0; i < 6; ++i) {
        PaintBubble(c.Cr(), 400 + (i - 2.5) * 44, 470, 17, i);
    }
    out.Save("LoadScreen", c);
}

void DrawProgressBar(PictureOutput& out) {
    Canvas back(kProgressBackW, kProgressBackH);
    DrawInset(back.Cr(), 1, 1, kProgressBackW - 2, kProgressBackH - 2, kProgressBackH / 2.0 - 1);
    RoundedRect(back.Cr(), 1, 1, kProgressBackW - 2, kProgressBackH - 2, kProgressBackH / 2.0 - 1);
    SetColour(back.Cr(), palette::kRim, 0.6);
    cairo_set_line_width(back.Cr(), 1.5);
    cairo_stroke(back.Cr());
    out.Save("ProgressBarBgr", back);

    Canvas line(kProgressLineW, kProgressLineH);
    cairo_t* lc = line.Cr();
    RoundedRect(lc, 0, 0, kProgressLineW, kProgressLineH, kProgressLineH / 2.0);
    cairo_pattern_t* fill = cairo_pattern_create_linear(0, 0, kProgressLineW, 0);
    AddStop(fill, 0, Hex(0x3FD8FF));
    AddStop(fill, 1, Hex(0x9C7CFF));
    cairo_set_source(lc, fill);
    cairo_fill(lc);
    cairo_pattern_destroy(fill);
    RoundedRect(lc, 3, 2, kProgressLineW - 6, kProgressLineH / 2.0 - 1, kProgressLineH / 4.0);
    SetColour(lc, {1, 1, 1}, 0.35);
    cairo_fill(lc);
    out.Save("ProgressBarLine", line);
}

// The help page: a large dialog with four framed text areas (the rules, the two modes and the
// keys in force, printed by the game in 18-pixel lines of at most 8, 3, 2 and 4) and,
// below them, the key to the bubble symbols and to the moves-left pips. The menu's launcher
// stays on top of every dialog, so the page leaves a round bay for it.
void DrawHelp(PictureOutput& out) {
    const int w = kHelpDialog.w;
    Canvas c(w, kHelpDialog.h);
    cairo_t* cr = c.Cr();
    const Notch bay = {kMenuLauncherX - double(DialogLeft(kHelpDialog)),
                       kMenuLauncherY - double(DialogTop(kHelpDialog)), 56};
    DrawPanelBody(c, kPanelMargin, 22, &bay);
    DrawTitle(c, words::Get("HowToPlay"), w / 2.0, 30, 22, w - 200);
    const double left = 24, width = w - 48;
    DrawInset(cr, left, 44, width, 156, 12);
    DrawInset(cr, left, 204, width, 60, 12);
    DrawInset(cr, left, 268, width, 42, 12);
    DrawInset(cr, left, 314, width, 78, 12);
    TextStyle label;
    label.size = 13;
    label.colour = palette::kGold;
    label.shadow = 1;
    const double colours = 413;
    DrawInset(cr, left, 396, colours, 84, 12);
    const std::string signs = words::Get("ColourSigns");
    DrawText(c, signs, left + colours / 2, 412, Align::Centre,
             FitWidth(signs, label, colours - 24));
    for (int i = 0; i < 6; ++i) {
        PaintBubble(cr, left + 44 + i * 65, 448, 19, i);
    }
    // The moves key ends short of the launcher's bay.
    const double movesLeft = left + colours + 16;
    const double movesWidth = bay.cx - bay.r - 12 - movesLeft;
    DrawInset(cr, movesLeft, 396, movesWidth, 84, 12);
    const double mx = movesLeft + movesWidth / 2;
    const std::string misses = words::Get("MissesLeft");
    DrawText(c, misses, mx, 412, Align::Centre, FitWidth(misses, label, movesWidth - 16));
    for (int i = 0; i < 5; ++i) {
        PaintMovesPip(cr, mx - 60 + i * 30, 452 - (i % 2) * 6, i, 1.2);
    }
    out.Save("Help", c);
}

} // namespace

void DrawBackgroundPictures(PictureOutput& out) {
    DrawMainMenu(out);
    DrawMenuGrass(out);
    DrawProgressBar(out);
}

void DrawBackgroundTextPictures(PictureOutput& out) {
    DrawField(out, "GameBgr", Hex(0x1F8A9A), Hex(0x4A3AA0), Hex(0x2F7F95),
              words::Get("ClassicMode"), words::Get("Moves"), 11);
    DrawField(out, "GameBgr1", Hex(0xA03A8A), Hex(0xC0602A), Hex(0xA0508A),
              words::Get("ArcadeMode"), words::Get("Time"), 23);
    DrawField(out, "GameBgr2", Hex(0x2A9A5A), Hex(0x3A5AA0), Hex(0x3A8A6A),
              words::Get("PuzzleMode"), words::Get("Moves"), 37);
    DrawLoadScreen(out);
    DrawHelp(out);
}
