#include "Draw.h"

#include "Rooms.h"

#include "data/TwUtf8.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

Rgb Hex(std::uint32_t rgb) {
    return {((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0, (rgb & 0xFF) / 255.0};
}

Rgb Mix(Rgb a, Rgb b, double t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Rgb Lighter(Rgb c, double t) {
    return Mix(c, {1, 1, 1}, t);
}
Rgb Darker(Rgb c, double t) {
    return Mix(c, {0, 0, 0}, t);
}

void SetColour(cairo_t* cr, Rgb c, double alpha) {
    cairo_set_source_rgba(cr, c.r, c.g, c.b, alpha);
}

void AddStop(cairo_pattern_t* p, double offset, Rgb c, double alpha) {
    cairo_pattern_add_color_stop_rgba(p, offset, c.r, c.g, c.b, alpha);
}

double Scatter::Next() {
    // The classic 32-bit linear congruential step; only the high bits are used.
    state_ = state_ * 1664525u + 1013904223u;
    return (state_ >> 8) / 16777216.0;
}

void RoundedRect(cairo_t* cr, double x, double y, double w, double h, double radius) {
    radius = std::min({radius, w / 2, h / 2});
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - radius, y + radius, radius, -M_PI / 2, 0);
    cairo_arc(cr, x + w - radius, y + h - radius, radius, 0, M_PI / 2);
    cairo_arc(cr, x + radius, y + h - radius, radius, M_PI / 2, M_PI);
    cairo_arc(cr, x + radius, y + radius, radius, M_PI, 3 * M_PI / 2);
    cairo_close_path(cr);
}

void Circle(cairo_t* cr, double cx, double cy, double radius) {
    cairo_new_sub_path(cr);
    cairo_arc(cr, cx, cy, radius, 0, 2 * M_PI);
    cairo_close_path(cr);
}

void Star(cairo_t* cr, double cx, double cy, int points, double outer, double inner, double turn) {
    cairo_new_sub_path(cr);
    for (int i = 0; i < points * 2; ++i) {
        const double a = turn - M_PI / 2 + i * M_PI / points;
        const double r = (i % 2 == 0) ? outer : inner;
        cairo_line_to(cr, cx + r * std::cos(a), cy + r * std::sin(a));
    }
    cairo_close_path(cr);
}

namespace {

void ShapeLayer(Canvas& layer, const std::function<void(cairo_t*)>& shape, double dx, double dy,
                Rgb colour) {
    cairo_t* cr = layer.Cr();
    cairo_save(cr);
    cairo_translate(cr, dx, dy);
    cairo_new_path(cr);
    shape(cr);
    SetColour(cr, colour);
    cairo_fill(cr);
    cairo_restore(cr);
}

} // namespace

void SoftShadow(Canvas& canvas, const std::function<void(cairo_t*)>& shape, double dx, double dy,
                int blur, double alpha, Rgb colour) {
    Canvas layer(canvas.Width(), canvas.Height());
    ShapeLayer(layer, shape, dx, dy, colour);
    layer.Blur(blur);
    cairo_t* cr = canvas.Cr();
    cairo_save(cr);
    // Under what is already drawn: DEST_OVER keeps existing pixels on top.
    cairo_set_operator(cr, CAIRO_OPERATOR_DEST_OVER);
    cairo_set_source_surface(cr, layer.Surface(), 0, 0);
    cairo_paint_with_alpha(cr, alpha);
    cairo_restore(cr);
}

void SoftGlow(Canvas& canvas, const std::function<void(cairo_t*)>& shape, int blur, double alpha,
              Rgb colour) {
    Canvas layer(canvas.Width(), canvas.Height());
    ShapeLayer(layer, shape, 0, 0, colour);
    layer.Blur(blur);
    canvas.Paint(layer, 0, 0, alpha);
}

namespace {

void SelectFont(cairo_t* cr, const TextStyle& style) {
    cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL,
                           style.bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, style.size);
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
    cairo_set_font_options(cr, options);
    cairo_font_options_destroy(options);
}

// Traces the text's outline as a path starting at the pen position (x, baseline).
void TextPath(cairo_t* cr, const std::string& text, double x, double baseline,
              const TextStyle& style) {
    if (style.letterSpacing == 0) {
        cairo_move_to(cr, x, baseline);
        cairo_text_path(cr, text.c_str());
        return;
    }
    double pen = x;
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t start = pos;
        TwUtf8::Next(text, pos);
        const std::string one = text.substr(start, pos - start);
        cairo_move_to(cr, pen, baseline);
        cairo_text_path(cr, one.c_str());
        cairo_text_extents_t e;
        cairo_text_extents(cr, one.c_str(), &e);
        pen += e.x_advance + style.letterSpacing;
    }
}

} // namespace

double TextWidth(cairo_t* cr, const std::string& text, const TextStyle& style) {
    cairo_save(cr);
    SelectFont(cr, style);
    cairo_text_extents_t e;
    cairo_text_extents(cr, text.c_str(), &e);
    cairo_restore(cr);
    double width = e.x_advance;
    if (style.letterSpacing != 0 && !text.empty()) {
        width += style.letterSpacing * static_cast<double>(TwUtf8::Length(text) - 1);
    }
    return width;
}

void DrawText(Canvas& canvas, const std::string& text, double x, double y, Align align,
              const TextStyle& style) {
    cairo_t* cr = canvas.Cr();
    const double width = TextWidth(cr, text, style);
    double left = x;
    if (align == Align::Centre) {
        left = x - width / 2;
    } else if (align == Align::Right) {
        left = x - width;
    }
    // DejaVu's capitals are 0.73 em tall: centring them puts the baseline here.
    const double baseline = y + style.size * 0.365;
    auto path = [&](cairo_t* c) {
        SelectFont(c, style);
        TextPath(c, text, left, baseline, style);
    };
    if (style.shadow > 0) {
        Canvas layer(canvas.Width(), canvas.Height());
        cairo_t* lc = layer.Cr();
        cairo_translate(lc, style.shadow * 0.6, style.shadow);
        path(lc);
        if (style.outline > 0) {
            cairo_set_line_width(lc, style.outline * 2);
            cairo_set_line_join(lc, CAIRO_LINE_JOIN_ROUND);
            SetColour(lc, palette::kShadow);
            cairo_stroke_preserve(lc);
        }
        SetColour(lc, palette::kShadow);
        cairo_fill(lc);
        layer.Blur(static_cast<int>(std::ceil(style.shadow * 0.7)));
        canvas.Paint(layer, 0, 0, 0.75);
    }
    cairo_save(cr);
    path(cr);
    if (style.outline > 0) {
        cairo_set_line_width(cr, style.outline * 2);
        cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
        SetColour(cr, Darker(style.colour, 0.82), 0.95);
        cairo_stroke_preserve(cr);
    }
    if (style.gradient) {
        cairo_pattern_t* p =
            cairo_pattern_create_linear(0, baseline - style.size * 0.8, 0, baseline + 1);
        AddStop(p, 0, Lighter(style.colour, 0.75));
        AddStop(p, 0.45, Lighter(style.colour, 0.15));
        AddStop(p, 1, Darker(style.colour, 0.12));
        cairo_set_source(cr, p);
        cairo_fill(cr);
        cairo_pattern_destroy(p);
    } else {
        SetColour(cr, style.colour);
        cairo_fill(cr);
    }
    cairo_restore(cr);
}

void DrawPanelBody(Canvas& canvas, double margin, double radius, const Notch* notch) {
    cairo_t* cr = canvas.Cr();
    const double x = margin, y = margin;
    const double w = canvas.Width() - 2 * margin, h = canvas.Height() - 2 * margin;
    // The notch, if any, is cut out of everything the body draws.
    auto cutNotch = [&](cairo_t* c) {
        if (notch != nullptr) {
            cairo_rectangle(c, 0, 0, canvas.Width(), canvas.Height());
            Circle(c, notch->cx, notch->cy, notch->r);
            cairo_set_fill_rule(c, CAIRO_FILL_RULE_EVEN_ODD);
            cairo_clip(c);
            cairo_set_fill_rule(c, CAIRO_FILL_RULE_WINDING);
        }
    };
    cairo_save(cr);
    cutNotch(cr);
    // Body: a deep blue glass, lighter at the top.
    RoundedRect(cr, x, y, w, h, radius);
    cairo_pattern_t* body = cairo_pattern_create_linear(0, y, 0, y + h);
    AddStop(body, 0, palette::kPanelTop, 0.97);
    AddStop(body, 0.35, Mix(palette::kPanelTop, palette::kPanelBottom, 0.55), 0.97);
    AddStop(body, 1, palette::kPanelBottom, 0.97);
    cairo_set_source(cr, body);
    cairo_fill(cr);
    cairo_pattern_destroy(body);
    // A faint sheen across the upper part.
    RoundedRect(cr, x + 3, y + 3, w - 6, std::min(70.0, h * 0.3), radius - 3);
    cairo_pattern_t* sheen = cairo_pattern_create_linear(0, y, 0, y + std::min(70.0, h * 0.3));
    AddStop(sheen, 0, {1, 1, 1}, 0.10);
    AddStop(sheen, 1, {1, 1, 1}, 0.0);
    cairo_set_source(cr, sheen);
    cairo_fill(cr);
    cairo_pattern_destroy(sheen);
    // Rims: a dark outer line and a light inner one.
    RoundedRect(cr, x + 0.5, y + 0.5, w - 1, h - 1, radius);
    SetColour(cr, palette::kShadow, 0.9);
    cairo_set_line_width(cr, 1.5);
    cairo_stroke(cr);
    RoundedRect(cr, x + 2, y + 2, w - 4, h - 4, radius - 1.5);
    cairo_pattern_t* rim = cairo_pattern_create_linear(0, y, 0, y + h);
    AddStop(rim, 0, palette::kRim, 0.95);
    AddStop(rim, 1, Darker(palette::kRim, 0.35), 0.7);
    cairo_set_source(cr, rim);
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
    cairo_pattern_destroy(rim);
    if (notch != nullptr) {
        // The notch's own rim, inside the body only.
        RoundedRect(cr, x, y, w, h, radius);
        cairo_clip(cr);
        Circle(cr, notch->cx, notch->cy, notch->r + 0.5);
        SetColour(cr, palette::kShadow, 0.9);
        cairo_set_line_width(cr, 1.5);
        cairo_stroke(cr);
        Circle(cr, notch->cx, notch->cy, notch->r + 2);
        SetColour(cr, palette::kRim, 0.8);
        cairo_set_line_width(cr, 2);
        cairo_stroke(cr);
    }
    cairo_restore(cr);
    SoftShadow(
        canvas,
        [&](cairo_t* c) {
            cutNotch(c);
            RoundedRect(c, x, y, w, h, radius);
        },
        0.0, 3.0, static_cast<int>(margin * 0.6), 0.8);
}

namespace {

bool& WordsFit() {
    static bool fit = true;
    return fit;
}

} // namespace

// A word may shrink to this share of its size; smaller would be hard to read, so it counts
// as not fitting, and the translation must find a shorter word.
constexpr double kSmallestShare = 0.6;

TextStyle FitWidth(const std::string& text, TextStyle style, double maxWidth) {
    Canvas scratch(4, 4);
    // Letter spacing shrinks with the letters, so a word keeps its look, only smaller.
    const double spacingPerSize = style.letterSpacing / style.size;
    const double original = style.size, smallest = original * kSmallestShare;
    rooms::NotePlace(text, style, maxWidth);
    while (TextWidth(scratch.Cr(), text, style) > maxWidth) {
        if (style.size - 0.5 < smallest) {
            std::fprintf(stderr, "assetgen: \"%s\" does not fit in %.0f pixels\n", text.c_str(),
                         maxWidth);
            WordsFit() = false;
            break;
        }
        style.size -= 0.5;
        style.letterSpacing = spacingPerSize * style.size;
    }
    if (std::getenv("ZV_ASSETGEN_FIT") != nullptr && style.size < original) {
        std::fprintf(stderr, "assetgen: \"%s\" drawn at %.0f %%\n", text.c_str(),
                     100 * style.size / original);
    }
    return style;
}

bool EveryWordFit() {
    return WordsFit();
}

void DrawTitle(Canvas& canvas, const std::string& text, double x, double y, double size,
               double maxWidth) {
    TextStyle style;
    style.size = size;
    style.colour = palette::kGold;
    style.outline = size / 14;
    style.shadow = 2.5;
    style.gradient = true;
    if (maxWidth > 0) {
        style = FitWidth(text, style, maxWidth);
    }
    DrawText(canvas, text, x, y, Align::Centre, style);
}

void DrawDivider(cairo_t* cr, double x0, double x1, double y) {
    cairo_save(cr);
    cairo_pattern_t* p = cairo_pattern_create_linear(x0, 0, x1, 0);
    AddStop(p, 0, palette::kRim, 0);
    AddStop(p, 0.5, palette::kRim, 0.7);
    AddStop(p, 1, palette::kRim, 0);
    cairo_set_source(cr, p);
    cairo_rectangle(cr, x0, y - 1, x1 - x0, 2);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
    cairo_restore(cr);
}

void DrawInset(cairo_t* cr, double x, double y, double w, double h, double radius) {
    cairo_save(cr);
    RoundedRect(cr, x, y, w, h, radius);
    cairo_pattern_t* p = cairo_pattern_create_linear(0, y, 0, y + h);
    AddStop(p, 0, palette::kShadow, 0.75);
    AddStop(p, 1, Darker(palette::kPanelBottom, 0.3), 0.55);
    cairo_set_source(cr, p);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
    RoundedRect(cr, x + 0.5, y + 0.5, w - 1, h - 1, radius);
    cairo_pattern_t* edge = cairo_pattern_create_linear(0, y, 0, y + h);
    AddStop(edge, 0, palette::kShadow, 0.9);
    AddStop(edge, 1, palette::kRim, 0.45);
    cairo_set_source(cr, edge);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    cairo_pattern_destroy(edge);
    cairo_restore(cr);
}

void DrawSpace(Canvas& canvas, std::uint32_t seed, Rgb nebulaA, Rgb nebulaB, double starDensity) {
    cairo_t* cr = canvas.Cr();
    const double w = canvas.Width(), h = canvas.Height();
    cairo_save(cr);
    cairo_pattern_t* sky = cairo_pattern_create_linear(0, 0, 0, h);
    AddStop(sky, 0, palette::kNight);
    AddStop(sky, 1, palette::kDusk);
    cairo_set_source(cr, sky);
    cairo_paint(cr);
    cairo_pattern_destroy(sky);
    Scatter rnd(seed);
    // Nebulae: large, very soft clouds of two colours.
    Canvas clouds(canvas.Width(), canvas.Height());
    for (int i = 0; i < 9; ++i) {
        const double cx = rnd.Range(0, w), cy = rnd.Range(0, h);
        const double r = rnd.Range(0.15, 0.35) * w;
        const Rgb c = (i % 2 == 0) ? nebulaA : nebulaB;
        cairo_pattern_t* p = cairo_pattern_create_radial(cx, cy, 0, cx, cy, r);
        AddStop(p, 0, c, 0.22);
        AddStop(p, 0.5, c, 0.08);
        AddStop(p, 1, c, 0);
        cairo_set_source(clouds.Cr(), p);
        cairo_paint(clouds.Cr());
        cairo_pattern_destroy(p);
    }
    canvas.Paint(clouds, 0, 0);
    // Stars: most are faint dots, a few are brighter with a soft halo.
    const int count = static_cast<int>(w * h / 2400.0 * starDensity);
    for (int i = 0; i < count; ++i) {
        const double x = rnd.Range(0, w), y = rnd.Range(0, h);
        const double b = rnd.Next();
        const double r = 0.4 + b * b * 1.1;
        const Rgb c = Mix({1, 1, 1}, (i % 3 == 0) ? Hex(0xFFE2B0) : Hex(0xB8D4FF), 0.5);
        if (b > 0.93) {
            cairo_pattern_t* halo = cairo_pattern_create_radial(x, y, 0, x, y, r * 5);
            AddStop(halo, 0, c, 0.35);
            AddStop(halo, 1, c, 0);
            cairo_set_source(cr, halo);
            Circle(cr, x, y, r * 5);
            cairo_fill(cr);
            cairo_pattern_destroy(halo);
        }
        SetColour(cr, c, 0.35 + 0.6 * b);
        Circle(cr, x, y, r);
        cairo_fill(cr);
    }
    cairo_restore(cr);
}
