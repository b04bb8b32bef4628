#pragma once
// What the input part of the platform asks of the window: which window SDL's events belong
// to, and how a pointer or finger position maps onto the game picture. Never included above
// the platform layer.

struct SDL_Window;

namespace TwVideo {

// The game window, or nullptr (also for a headless renderer on a memory surface).
SDL_Window* SdlWindow();
// The size of the game picture; mouse positions are clamped into it.
void PictureSize(int& width, int& height);
// A finger's place as SDL reports it (0 to 1 across the window, or across the picture once
// SDL's renderer has mapped it through its letterbox) in game pixels.
void FingerToPicture(float fx, float fy, int& x, int& y);

} // namespace TwVideo
