// Bubbles, their shadow, the burst fragments and the moves-left symbols.
#include <cmath>
#include <string>

#include "Layout.h"
#include "Pictures.h"

namespace {

struct BubbleColour {
    Rgb light, mid, dark;
    Rgb symbol; // the inner symbol's tone
};

// Close to the tints the game uses for the cursor, so the pointer matches the loaded bubble.
BubbleColour ColourOf(int id) {
    switch (id) {
    case 0: // blue-violet
        return {Hex(0xC6CDFF), Hex(0x7482EC), Hex(0x2E3196), Hex(0x1E2270)};
    case 1: // orange
        return {Hex(0xFFD2A8), Hex(0xFF8A4E), Hex(0xB23E12), Hex(0x7A2608)};
    case 2: // green
        return {Hex(0xC8F5B0), Hex(0x55C64C), Hex(0x1D6E1B), Hex(0x114A10)};
    case 3: // yellow
        return {Hex(0xFFFBC8), Hex(0xFFE625), Hex(0xB88A00), Hex(0x7A5A00)};
    case 4: // pink
        return {Hex(0xFFD8F4), Hex(0xE27ECF), Hex(0x8E2C7C), Hex(0x5E1552)};
    default: // white
        return {Hex(0xFFFFFF), Hex(0xEEF1F7), Hex(0xA4ADC2), Hex(0x4C5770)};
    }
}

// Each colour carries its own symbol so that players who cannot tell the colours apart can
// still match bubbles: star, triangle, ring, diamond, heart, cross.
void SymbolPath(cairo_t* cr, int id, double cx, double cy, double s) {
    switch (id) {
    case 0:
        Star(cr, cx, cy + s * 0.08, 5, s * 1.05, s * 0.45, 0);
        break;
    case 1:
        cairo_move_to(cr, cx, cy - s * 0.95);
        cairo_line_to(cr, cx + s * 0.98, cy + s * 0.72);
        cairo_line_to(cr, cx - s * 0.98, cy + s * 0.72);
        cairo_close_path(cr);
        break;
    case 2:
        Circle(cr, cx, cy, s * 0.88);
        cairo_new_sub_path(cr);
        cairo_arc_negative(cr, cx, cy, s * 0.45, 2 * M_PI, 0);
        cairo_close_path(cr);
        break;
    case 3:
        cairo_move_to(cr, cx, cy - s * 1.0);
        cairo_line_to(cr, cx + s * 0.75, cy);
        cairo_line_to(cr, cx, cy + s * 1.0);
        cairo_line_to(cr, cx - s * 0.75, cy);
        cairo_close_path(cr);
        break;
    case 4: {
        const double top = cy - s * 0.45;
        cairo_move_to(cr, cx, cy + s * 0.95);
        cairo_curve_to(cr, cx - s * 0.6, cy + s * 0.45, cx - s * 1.05, cy + s * 0.05, cx - s * 0.95,
                       top);
        cairo_arc(cr, cx - s * 0.48, top, s * 0.48, M_PI, 2 * M_PI);
        cairo_arc(cr, cx + s * 0.48, top, s * 0.48, M_PI, 2 * M_PI);
        cairo_curve_to(cr, cx + s * 1.05, cy + s * 0.05, cx + s * 0.6, cy + s * 0.45, cx,
                       cy + s * 0.95);
        cairo_close_path(cr);
        break;
    }
    default: {
        const double a = s * 0.95, b = s * 0.3;
        cairo_move_to(cr, cx - b, cy - a);
        cairo_line_to(cr, cx + b, cy - a);
        cairo_line_to(cr, cx + b, cy - b);
        cairo_line_to(cr, cx + a, cy - b);
        cairo_line_to(cr, cx + a, cy + b);
        cairo_line_to(cr, cx + b, cy + b);
        cairo_line_to(cr, cx + b, cy + a);
        cairo_line_to(cr, cx - b, cy + a);
        cairo_line_to(cr, cx - b, cy + b);
        cairo_line_to(cr, cx - a, cy + b);
        cairo_line_to(cr, cx - a, cy - b);
        cairo_line_to(cr, cx - b, cy - b);
        cairo_close_path(cr);
        break;
    }
    }
}

} // namespace

void PaintBubble(cairo_t* cr, double cx, double cy, double radius, int colour) {
    const BubbleColour c = ColourOf(colour);
    const double r = radius;
    cairo_save(cr);
    // Body: lit from the upper left.
    cairo_pattern_t* body =
        cairo_pattern_create_radial(cx - 0.35 * r, cy - 0.4 * r, 0, cx, cy, r * 1.02);
    AddStop(body, 0, c.light);
    AddStop(body, 0.42, c.mid);
    AddStop(body, 0.82, Mix(c.mid, c.dark, 0.55));
    AddStop(body, 1, c.dark);
    Circle(cr, cx, cy, r);
    cairo_set_source(cr, body);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(body);
    cairo_clip(cr);
    // Light bouncing back in from below.
    cairo_pattern_t* bounce = cairo_pattern_create_radial(cx + 0.1 * r, cy + 0.75 * r, 0,
                                                          cx + 0.1 * r, cy + 0.75 * r, r * 0.7);
    AddStop(bounce, 0, c.light, 0.45);
    AddStop(bounce, 1, c.light, 0);
    cairo_set_source(cr, bounce);
    cairo_paint(cr);
    cairo_pattern_destroy(bounce);
    // The symbol, pressed into the glass: a light lower edge, then the dark shape.
    const double s = r * 0.42;
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
    SymbolPath(cr, colour, cx, cy + r * 0.07 + 0.9, s);
    SetColour(cr, c.light, 0.55);
    cairo_fill(cr);
    SymbolPath(cr, colour, cx, cy + r * 0.07, s);
    SetColour(cr, c.symbol, colour == 5 ? 0.7 : 0.68);
    cairo_fill(cr);
    cairo_reset_clip(cr);
    // Rim, so that touching bubbles stay apart.
    Circle(cr, cx, cy, r - 0.5);
    SetColour(cr, Darker(c.dark, 0.35), 0.55);
    cairo_set_line_width(cr, 1.0);
    cairo_stroke(cr);
    // Gloss: a soft window reflection and a sharp spark.
    cairo_save(cr);
    cairo_translate(cr, cx - 0.3 * r, cy - 0.45 * r);
    cairo_rotate(cr, -0.5);
    cairo_scale(cr, 0.52 * r, 0.3 * r);
    cairo_pattern_t* gloss = cairo_pattern_create_linear(0, -1, 0, 1);
    AddStop(gloss, 0, {1, 1, 1}, 0.85);
    AddStop(gloss, 1, {1, 1, 1}, 0.05);
    Circle(cr, 0, 0, 1);
    cairo_set_source(cr, gloss);
    cairo_fill(cr);
    cairo_pattern_destroy(gloss);
    cairo_restore(cr);
    Circle(cr, cx - 0.5 * r, cy - 0.52 * r, r * 0.09);
    SetColour(cr, {1, 1, 1}, 0.95);
    cairo_fill(cr);
    cairo_restore(cr);
}

void PaintMovesPip(cairo_t* cr, double cx, double cy, int index, double scale) {
    static const std::uint32_t kColours[5] = {0xFF5B5B, 0xFF9E45, 0xFFE05A, 0xA8E85C, 0x5CE8A2};
    const Rgb c = Hex(kColours[index % 5]);
    const double r = 7.0 * scale;
    cairo_save(cr);
    cairo_pattern_t* halo = cairo_pattern_create_radial(cx, cy, r * 0.5, cx, cy, r * 1.65);
    AddStop(halo, 0, c, 0.55);
    AddStop(halo, 1, c, 0);
    cairo_set_source(cr, halo);
    Circle(cr, cx, cy, r * 1.65);
    cairo_fill(cr);
    cairo_pattern_destroy(halo);
    cairo_pattern_t* body = cairo_pattern_create_radial(cx - r * 0.35, cy - r * 0.4, 0, cx, cy, r);
    AddStop(body, 0, Lighter(c, 0.8));
    AddStop(body, 0.5, c);
    AddStop(body, 1, Darker(c, 0.45));
    cairo_set_source(cr, body);
    Circle(cr, cx, cy, r);
    cairo_fill(cr);
    cairo_pattern_destroy(body);
    Circle(cr, cx - r * 0.35, cy - r * 0.4, r * 0.22);
    SetColour(cr, {1, 1, 1}, 0.9);
    cairo_fill(cr);
    cairo_restore(cr);
}

namespace {

using layout::kBubbleFrames;
using layout::kBubbleSize;

double EaseOut(double t) {
    return 1 - (1 - t) * (1 - t);
}

// Appearing animation: frame 0 is a small faint seed, frame 8 the full bubble.
void DrawBubbleStrip(PictureOutput& out, int colour) {
    Canvas strip(kBubbleSize * kBubbleFrames, kBubbleSize);
    cairo_t* cr = strip.Cr();
    for (int f = 0; f < kBubbleFrames; ++f) {
        const double t = f / double(kBubbleFrames - 1);
        const double scale = 0.25 + 0.75 * EaseOut(t);
        const double cx = kBubbleSize * f + kBubbleSize / 2.0, cy = kBubbleSize / 2.0;
        const double r = (kBubbleSize / 2.0 - 0.4) * scale;
        Canvas frame(kBubbleSize, kBubbleSize);
        PaintBubble(frame.Cr(), kBubbleSize / 2.0, kBubbleSize / 2.0, r, colour);
        if (f < kBubbleFrames - 1) {
            // A pale flash that fades as the bubble fills out.
            cairo_t* fc = frame.Cr();
            cairo_set_operator(fc, CAIRO_OPERATOR_ATOP);
            SetColour(fc, {1, 1, 1}, 0.45 * (1 - t));
            cairo_paint(fc);
        }
        const double alpha = std::min(1.0, 0.4 + 1.2 * t);
        strip.Paint(frame, cx - kBubbleSize / 2.0, cy - kBubbleSize / 2.0, alpha);
    }
    (void)cr;
    out.Save("Bubbles/" + std::to_string(colour), strip);
}

void DrawShadowStrip(PictureOutput& out) {
    const int size = layout::kShadowSize;
    Canvas strip(size * kBubbleFrames, size);
    for (int f = 0; f < kBubbleFrames; ++f) {
        const double t = f / double(kBubbleFrames - 1);
        const double scale = 0.25 + 0.75 * EaseOut(t);
        Canvas frame(size, size);
        Circle(frame.Cr(), size / 2.0 + 1.5 * scale, size / 2.0 + 2.5 * scale, 15.5 * scale);
        SetColour(frame.Cr(), palette::kShadow, 0.95);
        cairo_fill(frame.Cr());
        frame.Blur(2);
        strip.Paint(frame, size * f, 0);
    }
    out.Save("Bubbles/Shadow", strip);
}

// Fragments of a burst bubble: a curved shard of glass that tumbles, shrinks and fades.
void DrawFragmentStrip(PictureOutput& out, int colour) {
    const int size = layout::kFragmentSize;
    const int frames = layout::kBurstFrames;
    const BubbleColour c = ColourOf(colour);
    Canvas strip(size * frames, size);
    cairo_t* cr = strip.Cr();
    for (int f = 0; f < frames; ++f) {
        const double t = f / double(frames - 1);
        const double scale = 1.0 - 0.55 * t;
        const double alpha = t < 0.5 ? 1.0 : 1.0 - (t - 0.5) * 2 * 0.95;
        cairo_save(cr);
        cairo_translate(cr, size * f + size / 2.0, size / 2.0);
        cairo_rotate(cr, f * 0.45);
        cairo_scale(cr, scale, scale);
        cairo_new_path(cr);
        cairo_arc(cr, 0, 4, 10, -M_PI * 0.85, -M_PI * 0.15);
        cairo_arc_negative(cr, 0, 4, 5, -M_PI * 0.2, -M_PI * 0.8);
        cairo_close_path(cr);
        cairo_pattern_t* p = cairo_pattern_create_linear(0, -7, 0, 2);
        AddStop(p, 0, c.light, alpha);
        AddStop(p, 0.5, c.mid, alpha);
        AddStop(p, 1, c.dark, alpha);
        cairo_set_source(cr, p);
        cairo_fill_preserve(cr);
        cairo_pattern_destroy(p);
        SetColour(cr, Darker(c.dark, 0.3), 0.5 * alpha);
        cairo_set_line_width(cr, 0.8);
        cairo_stroke(cr);
        Circle(cr, -3, -4, 1.3);
        SetColour(cr, {1, 1, 1}, 0.85 * alpha);
        cairo_fill(cr);
        cairo_restore(cr);
    }
    out.Save("ExpBubbles/" + std::to_string(colour), strip);
}

// The pop ring: a thin ring in the bubble's light tone that widens and fades.
void DrawRingStrip(PictureOutput& out, int colour) {
    const int size = layout::kRingSize;
    const int frames = layout::kBurstFrames;
    const BubbleColour c = ColourOf(colour);
    Canvas strip(size * frames, size);
    cairo_t* cr = strip.Cr();
    for (int f = 0; f < frames; ++f) {
        const double t = f / double(frames - 1);
        const double radius = 5 + 13 * EaseOut(t);
        const double alpha = 0.95 * (1 - t);
        const double cx = size * f + size / 2.0, cy = size / 2.0;
        Circle(cr, cx, cy, radius);
        SetColour(cr, Lighter(c.mid, 0.45), alpha);
        cairo_set_line_width(cr, 3.5 * (1 - t) + 0.8);
        cairo_stroke(cr);
        Circle(cr, cx, cy, radius);
        SetColour(cr, {1, 1, 1}, alpha * 0.6);
        cairo_set_line_width(cr, 1.0 * (1 - t) + 0.3);
        cairo_stroke(cr);
    }
    out.Save("ExpBubbles/" + std::to_string(colour) + "/0", strip);
}

// Sparkles: a four-pointed glint that flares and fades.
void DrawSparkStrip(PictureOutput& out, int colour) {
    const int size = layout::kSparkSize;
    const int frames = layout::kBurstFrames;
    const BubbleColour c = ColourOf(colour);
    Canvas strip(size * frames, size);
    cairo_t* cr = strip.Cr();
    for (int f = 0; f < frames; ++f) {
        const double t = f / double(frames - 1);
        const double flare = std::sin(M_PI * (0.15 + 0.85 * t));
        const double outer = 3 + 9 * flare;
        const double alpha = t < 0.6 ? 1.0 : 1.0 - (t - 0.6) / 0.4 * 0.95;
        const double cx = size * f + size / 2.0, cy = size / 2.0;
        cairo_pattern_t* halo = cairo_pattern_create_radial(cx, cy, 0, cx, cy, outer);
        AddStop(halo, 0, Lighter(c.mid, 0.5), 0.6 * alpha);
        AddStop(halo, 1, c.mid, 0);
        cairo_set_source(cr, halo);
        Circle(cr, cx, cy, outer);
        cairo_fill(cr);
        cairo_pattern_destroy(halo);
        Star(cr, cx, cy, 4, outer, outer * 0.22, f * 0.12);
        SetColour(cr, Lighter(c.mid, 0.7), alpha);
        cairo_fill(cr);
        Circle(cr, cx, cy, 1.2 + flare);
        SetColour(cr, {1, 1, 1}, alpha);
        cairo_fill(cr);
    }
    out.Save("ExpBubbles/" + std::to_string(colour) + "/1", strip);
}

void DrawMovesPictures(PictureOutput& out) {
    const int size = layout::kMovesSize;
    for (int i = 0; i < 5; ++i) {
        Canvas pip(size, size);
        PaintMovesPip(pip.Cr(), size / 2.0, size / 2.0, i, 1.0);
        out.Save("Moves/" + std::to_string(i), pip);
    }
}

} // namespace

void DrawBubblePictures(PictureOutput& out) {
    for (int colour = 0; colour < 6; ++colour) {
        DrawBubbleStrip(out, colour);
        DrawFragmentStrip(out, colour);
        DrawRingStrip(out, colour);
        DrawSparkStrip(out, colour);
    }
    DrawShadowStrip(out);
    DrawMovesPictures(out);
}
