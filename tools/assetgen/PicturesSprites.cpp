// The launcher (in the game and on the menu), the pointer, the window icon and the logo.
#include <cmath>

#include "Layout.h"
#include "Pictures.h"

namespace {

// The launcher in its own frame: centre at the origin, pointing along +x. The loaded bubble
// sits in the claws at +31, the next bubble shows through the hub's window just behind the
// centre, so the hub is a ring around it.
constexpr double kHubX = -7;
constexpr double kWindowRadius = 16.5;
constexpr double kHubRadius = 27;

void ClawPath(cairo_t* cr, double side) {
    // One prong curving from the hub around the loaded bubble (side -1 upper, +1 lower).
    cairo_move_to(cr, 8, side * 17);
    cairo_curve_to(cr, 22, side * 30, 40, side * 30, 50, side * 16);
    cairo_line_to(cr, 46, side * 12);
    cairo_curve_to(cr, 38, side * 21, 24, side * 21, 12, side * 9);
    cairo_close_path(cr);
}

void FinPath(cairo_t* cr, double side) {
    cairo_move_to(cr, kHubX - 18, side * 14);
    cairo_line_to(cr, kHubX - 38, side * 30);
    cairo_line_to(cr, kHubX - 30, side * 12);
    cairo_close_path(cr);
}

void HubPath(cairo_t* cr) {
    Circle(cr, kHubX, 0, kHubRadius);
    cairo_new_sub_path(cr);
    cairo_arc_negative(cr, kHubX, 0, kWindowRadius, 2 * M_PI, 0);
    cairo_close_path(cr);
}

void Silhouette(cairo_t* cr) {
    HubPath(cr);
    ClawPath(cr, -1);
    ClawPath(cr, 1);
    FinPath(cr, -1);
    FinPath(cr, 1);
}

void Metal(cairo_t* cr, double y0, double y1, Rgb base) {
    cairo_pattern_t* p = cairo_pattern_create_linear(0, y0, 0, y1);
    AddStop(p, 0, Lighter(base, 0.55));
    AddStop(p, 0.45, base);
    AddStop(p, 0.55, Darker(base, 0.25));
    AddStop(p, 1, Darker(base, 0.55));
    cairo_set_source(cr, p);
    cairo_pattern_destroy(p);
}

} // namespace

void PaintLauncher(Canvas& canvas, double cx, double cy, double angle) {
    cairo_t* cr = canvas.Cr();
    auto place = [&](cairo_t* c) {
        cairo_translate(c, cx, cy);
        cairo_rotate(c, angle);
    };
    cairo_save(cr);
    place(cr);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
    // Fins and claws: brushed steel with a violet tint.
    const Rgb steel = Mix(palette::kSteel, Hex(0x7A64C8), 0.3);
    for (double side : {-1.0, 1.0}) {
        FinPath(cr, side);
        Metal(cr, side < 0 ? -30 : 12, side < 0 ? -12 : 30, steel);
        cairo_fill_preserve(cr);
        SetColour(cr, palette::kShadow, 0.7);
        cairo_set_line_width(cr, 1);
        cairo_stroke(cr);
        ClawPath(cr, side);
        Metal(cr, side < 0 ? -30 : 9, side < 0 ? -9 : 30, steel);
        cairo_fill_preserve(cr);
        SetColour(cr, palette::kShadow, 0.8);
        cairo_stroke(cr);
        // A glowing tip on each claw.
        Circle(cr, 48, side * 14, 3.2);
        SetColour(cr, palette::kGlow, 0.95);
        cairo_fill(cr);
    }
    // Hub ring.
    HubPath(cr);
    cairo_pattern_t* ring = cairo_pattern_create_radial(kHubX - 8, -10, 2, kHubX, 0, kHubRadius);
    AddStop(ring, 0, Lighter(palette::kSteel, 0.7));
    AddStop(ring, 0.6, palette::kSteel);
    AddStop(ring, 1, Darker(palette::kSteel, 0.55));
    cairo_set_source(cr, ring);
    cairo_fill(cr);
    cairo_pattern_destroy(ring);
    Circle(cr, kHubX, 0, kHubRadius - 0.5);
    SetColour(cr, palette::kShadow, 0.85);
    cairo_set_line_width(cr, 1.2);
    cairo_stroke(cr);
    // Energy rim around the window and small rivets on the ring.
    Circle(cr, kHubX, 0, kWindowRadius + 1.2);
    SetColour(cr, palette::kGlow, 0.9);
    cairo_set_line_width(cr, 2.2);
    cairo_stroke(cr);
    for (int i = 0; i < 8; ++i) {
        const double a = i * M_PI / 4 + M_PI / 8;
        Circle(cr, kHubX + 22 * std::cos(a), 22 * std::sin(a), 1.6);
        SetColour(cr, Lighter(palette::kSteel, 0.6), 0.9);
        cairo_fill(cr);
    }
    cairo_restore(cr);
    SoftShadow(
        canvas,
        [&](cairo_t* c) {
            place(c);
            cairo_set_fill_rule(c, CAIRO_FILL_RULE_EVEN_ODD);
            Silhouette(c);
        },
        0, 2, 3, 0.7);
    SoftGlow(
        canvas,
        [&](cairo_t* c) {
            place(c);
            cairo_set_fill_rule(c, CAIRO_FILL_RULE_EVEN_ODD);
            Circle(c, kHubX, 0, kWindowRadius + 3);
            cairo_new_sub_path(c);
            cairo_arc_negative(c, kHubX, 0, kWindowRadius, 2 * M_PI, 0);
            cairo_close_path(c);
        },
        2, 0.6, palette::kGlow);
}

void PaintLogo(Canvas& canvas, double cx, double cy, double size) {
    cairo_t* cr = canvas.Cr();
    // An orbit swinging round the name, with a bubble riding on it.
    auto orbit = [&](cairo_t* c) {
        cairo_save(c);
        cairo_translate(c, cx, cy + size * 0.05);
        cairo_rotate(c, -0.12);
        cairo_scale(c, size * 5.0, size * 0.95);
        Circle(c, 0, 0, 1);
        cairo_restore(c);
    };
    cairo_save(cr);
    orbit(cr);
    SetColour(cr, palette::kGlow, 0.55);
    cairo_set_line_width(cr, 2.5);
    cairo_stroke(cr);
    cairo_restore(cr);
    SoftGlow(
        canvas,
        [&](cairo_t* c) {
            orbit(c);
            cairo_set_line_width(c, 6);
            cairo_stroke_preserve(c);
            cairo_new_path(c);
        },
        4, 0.5, palette::kGlow);
    TextStyle style;
    style.size = size;
    style.colour = palette::kGold;
    style.outline = size / 12;
    style.shadow = size / 12;
    style.gradient = true;
    style.letterSpacing = size * 0.04;
    SoftGlow(
        canvas,
        [&](cairo_t* c) {
            cairo_select_font_face(c, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL,
                                   CAIRO_FONT_WEIGHT_BOLD);
            cairo_set_font_size(c, size);
            cairo_text_extents_t e;
            cairo_text_extents(c, "Zorbit Volley", &e);
            cairo_move_to(c, cx - e.x_advance / 2, cy + size * 0.365);
            cairo_text_path(c, "Zorbit Volley");
        },
        static_cast<int>(size / 6), 0.45, Hex(0xFFB347));
    DrawText(canvas, "Zorbit Volley", cx, cy, Align::Centre, style);
    const double a = -0.3; // upper right, clear of the menu buttons
    const double bx = cx + size * 5.0 * std::cos(a) * std::cos(-0.12) -
                      size * 0.95 * std::sin(a) * std::sin(-0.12);
    const double by = cy + size * 0.05 + size * 5.0 * std::cos(a) * std::sin(-0.12) +
                      size * 0.95 * std::sin(a) * std::cos(-0.12);
    PaintBubble(cr, bx, by, size * 0.32, 1);
}

namespace {

void DrawLaunchers(PictureOutput& out) {
    Canvas game(128, 96);
    PaintLauncher(game, 64, 48, 0);
    out.Save("Zorbit", game);
    Canvas menu(96, 128);
    PaintLauncher(menu, 48, 64, -M_PI / 2);
    out.Save("ZorbitMenu", menu);
}

// The pointer: a light ring with four ticks around the pointing spot, which the game tints
// with the colour of the bubble about to be fired.
void DrawCursor(PictureOutput& out) {
    Canvas c(32, 32);
    cairo_t* cr = c.Cr();
    auto shape = [](cairo_t* p, double width) {
        Circle(p, 16, 16, 9);
        for (int i = 0; i < 4; ++i) {
            const double a = i * M_PI / 2;
            cairo_move_to(p, 16 + 5 * std::cos(a), 16 + 5 * std::sin(a));
            cairo_line_to(p, 16 + 2.5 * std::cos(a), 16 + 2.5 * std::sin(a));
            cairo_move_to(p, 16 + 12 * std::cos(a), 16 + 12 * std::sin(a));
            cairo_line_to(p, 16 + 14.5 * std::cos(a), 16 + 14.5 * std::sin(a));
        }
        cairo_set_line_width(p, width);
        cairo_set_line_cap(p, CAIRO_LINE_CAP_ROUND);
    };
    shape(cr, 4.2);
    SetColour(cr, palette::kShadow, 0.75);
    cairo_stroke(cr);
    shape(cr, 2.0);
    SetColour(cr, {1, 1, 1});
    cairo_stroke(cr);
    Circle(cr, 16, 16, 1.3);
    SetColour(cr, {1, 1, 1});
    cairo_fill(cr);
    out.Save("Cursor", c);
}

void DrawIcon(PictureOutput& out) {
    Canvas icon(64, 64);
    PaintIcon(icon.Cr(), 64);
    out.Save("Icon", icon);
}

} // namespace

// The design is drawn on a 64-unit square and scaled to the size asked for.
void PaintIcon(cairo_t* cr, double size) {
    cairo_save(cr);
    cairo_scale(cr, size / 64.0, size / 64.0);
    RoundedRect(cr, 1, 1, 62, 62, 14);
    cairo_pattern_t* bg = cairo_pattern_create_linear(0, 0, 0, 64);
    AddStop(bg, 0, palette::kPanelTop);
    AddStop(bg, 1, palette::kNight);
    cairo_set_source(cr, bg);
    cairo_fill(cr);
    cairo_pattern_destroy(bg);
    PaintBubble(cr, 21, 40, 14, 0);
    PaintBubble(cr, 43, 40, 14, 1);
    PaintBubble(cr, 32, 21, 14, 2);
    cairo_restore(cr);
}

// One row of the lowered ceiling of a Puzzle level: a riveted steel plate as wide as the
// field (450 pixels between the walls) and one bubble row high.
void DrawCeiling(PictureOutput& out) {
    constexpr int w = 450, h = 36;
    Canvas c(w, h);
    cairo_t* cr = c.Cr();
    cairo_rectangle(cr, 0, 0, w, h);
    Metal(cr, 0, h, Hex(0x59647E));
    cairo_fill(cr);
    // A dark seam along the foot and a light edge along the top of each plate.
    cairo_rectangle(cr, 0, h - 3, w, 3);
    SetColour(cr, Hex(0x1A1E2C), 0.9);
    cairo_fill(cr);
    cairo_rectangle(cr, 0, 0, w, 1.5);
    SetColour(cr, Hex(0xC8D2EA), 0.7);
    cairo_fill(cr);
    for (double x = 15; x < w; x += 42) {
        cairo_arc(cr, x, h / 2.0, 3.2, 0, 2 * M_PI);
        SetColour(cr, Hex(0x2A3044));
        cairo_fill(cr);
        cairo_arc(cr, x - 0.8, h / 2.0 - 0.8, 1.6, 0, 2 * M_PI);
        SetColour(cr, Hex(0xDDE4F4), 0.8);
        cairo_fill(cr);
    }
    out.Save("Ceiling", c);
}

void DrawSpritePictures(PictureOutput& out) {
    DrawLaunchers(out);
    DrawCeiling(out);
    DrawCursor(out);
    DrawIcon(out);
}
