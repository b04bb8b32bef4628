#pragma once
#include <memory>
#include <string>

class TwClip;
class TwImage;

// The loading screen's bar: a background picture and a fill line drawn over it, the line
// cut to the percentage so it grows from its left edge.
class TwProgressBar {
public:
    TwProgressBar();
    ~TwProgressBar();

    // Loads the background (one frame) and the line from the packs.
    void Load(const std::string& background, const std::string& line);
    void SetPosition(float px, float py, float pz = 0.0f);
    // Draws the background, then the line's left `percent` share (0 to 100).
    void Draw();
    // Width in pixels of the line's part shown at `percent` of a `lineWidth` line.
    static int FilledWidth(int percent, int lineWidth);

    float x = 0, y = 0, z = 0;
    int percent = 75;

private:
    std::unique_ptr<TwClip> background_;
    std::unique_ptr<TwImage> line_;
};
