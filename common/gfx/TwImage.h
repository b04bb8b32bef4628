#pragma once
#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>

#include "TwRect.h"
#include "gfx/TwImageData.h"

// A sprite: one shared picture with a position (of its centre), a tint, a rotation, a scale
// and mirroring. Drawing goes through the render device's sprite drawer; an image without a
// texture draws nothing.
class TwImage {
public:
    enum Flip { FlipHorizontal = 2, FlipVertical = 4 };

    TwImage() = default;
    // Shares the picture and copies tag, tint, position, pivot, rotation and flip; the
    // copy's scale is 1.
    TwImage(const TwImage& other);
    TwImage& operator=(const TwImage& other);
    virtual ~TwImage();

    // Elapsed milliseconds; nothing for a still image.
    virtual void Update(int elapsedMs);
    // Draws the part `part` of the picture where it lies when the whole picture is centred
    // on the position; unscaled.
    virtual void DrawPart(const TwRect& part);
    // The whole picture centred on the position; unscaled, untinted, unrotated.
    virtual void Draw();
    // One cell of the picture (its size and top-left corner in the picture), centred on the
    // position, scaled, rotated about its centre plus the pivot, tinted and mirrored.
    virtual void DrawFrame(int width, int height, int left, int top);
    // Binds the image to the picture "Data/Textures/<name>.*" through the texture cache.
    // Always true; a missing picture leaves an image that draws nothing.
    virtual bool SetImage(const std::string& name, bool buildMask = false);
    // The same, but a picture not loaded yet gets its texture only when first drawn (for
    // dialogs, most of which are never opened in a session). Without hit masks.
    bool SetImageOnDemand(const std::string& name);

    TwImageData* Data() const { return data_.get(); }
    bool HasTexture() const;
    // HasTexture, after making the texture of a picture loaded on demand.
    bool EnsureTexture();
    // The picture's size in pixels (0 without a picture).
    int Width() const { return data_ ? data_->info.Width : 0; }
    int Height() const { return data_ ? data_->info.Height : 0; }

    void SetPosition(float px, float py, float pz = 0.0f);
    void SetTint(float r, float g, float b, float a);
    // The tint as one ARGB colour, each component truncated to a byte (clamped to 0-255).
    std::uint32_t Argb() const {
        auto byte = [](float v) { return std::uint32_t(std::clamp(v, 0.0f, 255.0f)); };
        return byte(alpha) << 24 | byte(red) << 16 | byte(green) << 8 | byte(blue);
    }

    int tag = 0; // carried for the owner
    float red = 255.0f, green = 255.0f, blue = 255.0f, alpha = 255.0f;
    float x = 0.0f, y = 0.0f, z = 0.0f; // centre in screen pixels; z only orders drawing
    float pivotX = 0.0f, pivotY = 0.0f, pivotZ = 0.0f; // rotation centre offset
    float rotation = 0.0f;                             // radians, counter-clockwise
    int flip = 0;                                      // Flip bits
    float scale = 1.0f;                                // used by DrawFrame

protected:
    // Shows `record` (may be null), letting go of the picture shown before.
    void Hold(std::shared_ptr<TwImageData> record);
    bool Bind(const std::string& name, bool buildMask, bool onDemand);
    // DrawFrame with the tint given as Argb() gives it (texts tint every glyph alike).
    void DrawTintedFrame(std::uint32_t argb, int width, int height, int left, int top);

private:
    std::shared_ptr<TwImageData> data_;
};
