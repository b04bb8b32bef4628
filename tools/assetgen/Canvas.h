#pragma once
#include <cairo.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Drawing surface for one picture: a Cairo ARGB32 image surface with its context, plus the
// few operations Cairo lacks (blur). Colours are straight (not premultiplied)
// when they leave the canvas.
class Canvas {
public:
    Canvas(int width, int height);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    cairo_t* Cr() const { return cr_; }
    cairo_surface_t* Surface() const { return surface_; }
    int Width() const { return width_; }
    int Height() const { return height_; }

    // Three box-blur passes over every channel (close to a Gaussian of the given radius).
    void Blur(int radius);
    // Straight-alpha RGBA bytes, top row first.
    std::vector<std::uint8_t> Rgba() const;

    // Paints another canvas onto this one at (x, y) with an overall alpha.
    void Paint(const Canvas& other, double x, double y, double alpha = 1.0);

private:
    int width_;
    int height_;
    cairo_surface_t* surface_;
    cairo_t* cr_;
};

// Gives fully transparent pixels bordering visible ones the colour of those neighbours.
void BleedEdgeColours(int width, int height, std::vector<std::uint8_t>& rgba);

// Creates `dir` and every missing parent. False when that fails.
bool MakeDirectories(const std::string& dir);
