#pragma once
#include <cairo.h>

#include <cstdint>
#include <functional>
#include <string>

#include "Canvas.h"

// Shared drawing vocabulary of every picture: the palette, shapes, gradients, soft shadows
// and text, so that menus, dialogs and the playing field share one look.

struct Rgb {
    double r, g, b;
};

Rgb Hex(std::uint32_t rgb);
Rgb Mix(Rgb a, Rgb b, double t);
Rgb Lighter(Rgb c, double t); // towards white
Rgb Darker(Rgb c, double t);  // towards black

void SetColour(cairo_t* cr, Rgb c, double alpha = 1.0);
void AddStop(cairo_pattern_t* p, double offset, Rgb c, double alpha = 1.0);

namespace palette {
inline const Rgb kNight = {0.035, 0.055, 0.150};    // deepest sky
inline const Rgb kDusk = {0.110, 0.130, 0.330};     // sky near the horizon
inline const Rgb kPanelTop = {0.145, 0.200, 0.420}; // dialog body, top
inline const Rgb kPanelBottom = {0.070, 0.100, 0.250};
inline const Rgb kRim = {0.520, 0.720, 1.000};  // light edge of panels and buttons
inline const Rgb kGold = {1.000, 0.820, 0.380}; // titles
inline const Rgb kText = {0.890, 0.925, 1.000}; // labels
inline const Rgb kShadow = {0.010, 0.015, 0.050};
inline const Rgb kSteel = {0.380, 0.450, 0.620}; // walls and the launcher
inline const Rgb kGlow = {0.450, 0.900, 1.000};  // cyan glow accents
} // namespace palette

// Deterministic pseudo-random numbers for scattering stars and blades of grass.
class Scatter {
public:
    explicit Scatter(std::uint32_t seed) : state_(seed) {}
    double Next(); // [0, 1)
    double Range(double lo, double hi) { return lo + (hi - lo) * Next(); }

private:
    std::uint32_t state_;
};

void RoundedRect(cairo_t* cr, double x, double y, double w, double h, double radius);
void Circle(cairo_t* cr, double cx, double cy, double radius);
void Star(cairo_t* cr, double cx, double cy, int points, double outer, double inner, double turn);

// Fills whatever `shape` traces in black onto a scratch layer, blurs it and paints it under
// the current content of `canvas` at the offset and strength given.
void SoftShadow(Canvas& canvas, const std::function<void(cairo_t*)>& shape, double dx, double dy,
                int blur, double alpha, Rgb colour = palette::kShadow);
// The same, painted over the current content (a glow, when the colour is light).
void SoftGlow(Canvas& canvas, const std::function<void(cairo_t*)>& shape, int blur, double alpha,
              Rgb colour);

struct TextStyle {
    double size = 18;
    bool bold = true;
    Rgb colour = palette::kText;
    double outline = 0;       // width of a dark outline, 0 for none
    double shadow = 1.5;      // offset of a soft drop shadow, 0 for none
    bool gradient = false;    // vertical light-to-colour gradient on the letters
    double letterSpacing = 0; // extra pixels between letters
};

enum class Align { Left, Centre, Right };

// Width of a text in the given style.
double TextWidth(cairo_t* cr, const std::string& text, const TextStyle& style);
// Draws one line of text with its vertical centre (cap height) on y.
void DrawText(Canvas& canvas, const std::string& text, double x, double y, Align align,
              const TextStyle& style);

// The look shared by every dialog: a rounded, glassy body with a light rim and a soft shadow,
// inset by `margin` pixels from the canvas edges.
// `notch`, when given, is a round bite out of the body (room for something drawn over it).
struct Notch {
    double cx, cy, r;
};
void DrawPanelBody(Canvas& canvas, double margin, double radius, const Notch* notch = nullptr);
// A title in the dialogs' style, centred on (x, y); smaller when wider than maxWidth (> 0).
void DrawTitle(Canvas& canvas, const std::string& text, double x, double y, double size = 28,
               double maxWidth = 0);
// The style made smaller (half a point at a time) until the text is at most maxWidth wide,
// down to 60 % of its size; a text that does not fit even then is reported, and
// EveryWordFit() turns false. ZV_ASSETGEN_FIT set in the environment lists every text
// drawn smaller.
TextStyle FitWidth(const std::string& text, TextStyle style, double maxWidth);
bool EveryWordFit();
// A thin glowing divider line.
void DrawDivider(cairo_t* cr, double x0, double x1, double y);
// A recessed area (text field, list, trough) with rounded corners.
void DrawInset(cairo_t* cr, double x, double y, double w, double h, double radius);
// A starry night sky over the whole canvas; `tint` colours its nebulae.
void DrawSpace(Canvas& canvas, std::uint32_t seed, Rgb nebulaA, Rgb nebulaB, double starDensity);
