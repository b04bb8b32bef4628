#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "Canvas.h"
#include "Draw.h"

// Collects the pictures of one generator run under <out>/Data/Textures/, each in the form
// PictureFile.h chooses for it (.Jpg or .Webp).
class PictureOutput {
public:
    // Pixels of pictures by name (straight RGBA, top row first, with their size).
    struct Pixels {
        int width = 0, height = 0;
        std::vector<std::uint8_t> rgba;
    };
    using PixelMap = std::map<std::string, Pixels>;

    explicit PictureOutput(std::string outDir) : outDir_(std::move(outDir)) {}
    // Keeps the pictures in `kept` instead of writing them (an empty outDir).
    explicit PictureOutput(PixelMap* kept) : kept_(kept) {}
    // A translation's run: a picture that also exists in `english` (drawn from the English
    // words) is left out when it is the same, and written as its words alone,
    // "<name>.Words.Webp" (see WordsPatch), when that rebuilds it and is smaller.
    void SetEnglish(const PixelMap* english) { english_ = english; }
    // Writes "Data/Textures/<name>.Jpg" or ".Webp"; a failure is remembered and printed.
    void Save(const std::string& name, const Canvas& canvas);
    // The same for pixels already in straight RGBA form (top row first).
    void Save(const std::string& name, int width, int height,
              const std::vector<std::uint8_t>& rgba);
    bool Ok() const { return ok_; }

private:
    std::string outDir_;
    PixelMap* kept_ = nullptr;
    const PixelMap* english_ = nullptr;
    bool ok_ = true;
};

// The words of a translated picture over its English one: the translation's pixels in every
// 8 x 8 block (a JPEG block) in which the two differ, and everything else clear, so the game
// can lay them over the English picture it decodes (TwOverlayPicture). JPEG codes each block
// on its own, so an opaque English picture's blocks outside these are exactly what the
// translation's own JPEG would have shown. Empty when nothing differs.
std::vector<std::uint8_t> WordsPatch(int width, int height,
                                     const std::vector<std::uint8_t>& english,
                                     const std::vector<std::uint8_t>& translated);

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
// The style the main font strip is drawn in: the texts the game prints.
TextStyle MainStyle();
