#pragma once
// Shared between the platform files that deal with the game window; never included above
// the platform layer.
#include <SDL.h>

namespace TwVideo {

// The game window, or nullptr (also for a headless renderer on a memory surface).
SDL_Window* SdlWindow();
// The size of the game picture; mouse positions are clamped into it.
void PictureSize(int& width, int& height);

} // namespace TwVideo
