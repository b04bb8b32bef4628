#pragma once
#include <cairo.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Drawing surface for one picture: a Cairo ARGB32 image surface with its context, plus the
// few operations Cairo lacks (blur, TGA output). Colours are straight (not premultiplied)
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
    // Multiplies every pixel's alpha (and premultiplied colour) by `factor`.
    void ScaleAlpha(double factor);
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

// Writes straight RGBA pixels as an uncompressed 32-bit TGA (bottom row first, BGRA),
// creating the parent directories. False on any write failure.
bool WriteTga(const std::string& path, int width, int height,
              const std::vector<std::uint8_t>& rgba);
bool WriteTga(const std::string& path, const Canvas& canvas);

// Reads a TGA written by WriteTga (type 2, 32 bits) back into straight RGBA, top row first.
bool ReadTga(const std::string& path, int& width, int& height, std::vector<std::uint8_t>& rgba);

// Creates `dir` and every missing parent. False when that fails.
bool MakeDirectories(const std::string& dir);
