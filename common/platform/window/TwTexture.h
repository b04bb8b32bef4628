#pragma once

// A picture uploaded to the video card. The platform layer owns what is inside; everything
// above it only passes the handle around (TwRenderDevice creates, draws and destroys it).
struct TwTexture;
