#pragma once

// The tint of a panel or element: red, green, blue and alpha, each 0 to 255. The alpha is
// the fade level; a panel hands its colour to every element it draws.
struct TwGuiColour {
    float red = 255.0f;
    float green = 255.0f;
    float blue = 255.0f;
    float alpha = 255.0f;

    constexpr bool operator==(const TwGuiColour&) const = default;
};
