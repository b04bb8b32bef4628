#pragma once
#include <string>
#include <vector>

#include "Canvas.h"
#include "Draw.h"

// Collects the pictures of one generator run under <out>/Data/Textures/, each in the form
// PictureFile.h chooses for it (.Jpg or .Webp).
class PictureOutput {
public:
    explicit PictureOutput(std::string outDir) : outDir_(std::move(outDir)) {}
    // Writes "Data/Textures/<name>.Jpg" or ".Webp"; a failure is remembered and printed.
    void Save(const std::string& name, const Canvas& canvas);
    // The same for pixels already in straight RGBA form (top row first).
    void Save(const std::string& name, int width, int height,
              const std::vector<std::uint8_t>& rgba);
    bool Ok() const { return ok_; }
    const std::vector<std::string>& Names() const { return names_; }

private:
    std::string outDir_;
    std::vector<std::string> names_;
    bool ok_ = true;
};

// The groups of pictures, one source file each.
void DrawBubblePictures(PictureOutput& out);
void DrawBackgroundPictures(PictureOutput& out);
void DrawInterfacePictures(PictureOutput& out);
void DrawSpritePictures(PictureOutput& out);
void DrawFontPictures(PictureOutput& out);
// The pictures that carry words, in the language words:: was loaded with.
void DrawBackgroundTextPictures(PictureOutput& out);
void DrawInterfaceTextPictures(PictureOutput& out);
// The pause panel, the controls and the statistics dialogs (PicturesControls.cpp).
void DrawControlsPictures(PictureOutput& out);
// A push button of three frames (normal, focused, disabled) with a word on it, saved as
// "Interface/<name>".
void DrawLabelledButton(PictureOutput& out, const std::string& name, const std::string& label,
                        int w, int h, double textSize);

// One full bubble of the given colour id (0 to 5), for the menus' and help's decorations.
void PaintBubble(cairo_t* cr, double cx, double cy, double radius, int colour);
// The launcher, centred on (cx, cy) and pointing along `angle` (radians, 0 = +x).
void PaintLauncher(Canvas& canvas, double cx, double cy, double angle);
// A moves-left symbol (0 to 4) centred on (cx, cy).
void PaintMovesPip(cairo_t* cr, double cx, double cy, int index, double scale);
// The game's icon on a square of `size` pixels: the window icon and the desktop's menu icons.
void PaintIcon(cairo_t* cr, double size);
// The game's name as a logo centred on (cx, cy).
void PaintLogo(Canvas& canvas, double cx, double cy, double size);

// Fonts: the character sets of the two strips, in strip order.
std::string MainFontCodes();
// A UTF-8 text cut into its characters, each as its own UTF-8 bytes.
std::vector<std::string> SplitCharacters(const std::string& utf8);
std::string DigitsCodes();
