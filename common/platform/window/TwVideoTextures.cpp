// Texture handles: the backend makes and drops their pictures; the handles outlive it.
#include "platform/window/TwVideoInternal.h"

namespace TwVideo {

void DropAllTexturePictures() {
    VideoState& s = State();
    ForgetFrames();
    for (TwTexture* texture : s.textures) {
        if (s.backend) {
            s.backend->Drop(*texture);
        }
        texture->hasPicture = false;
    }
}

TwTexture* CreateTexture(int width, int height, const std::uint8_t* rgba) {
    VideoState& s = State();
    if (!s.backend || !rgba || width <= 0 || height <= 0) {
        return nullptr;
    }
    auto* texture = new TwTexture{};
    texture->width = width;
    texture->height = height;
    if (!s.backend->Upload(*texture, rgba)) {
        delete texture;
        return nullptr;
    }
    texture->hasPicture = true;
    texture->serial = ++s.lastSerial;
    s.textures.insert(texture);
    return texture;
}

void DestroyTexture(TwTexture* texture) {
    VideoState& s = State();
    if (!texture || s.textures.erase(texture) == 0) {
        return; // unknown handle: never free what we did not hand out
    }
    if (s.backend) {
        s.backend->Drop(*texture);
    }
    delete texture;
}

bool TextureSize(const TwTexture* texture, int& width, int& height) {
    if (!texture || State().textures.count(const_cast<TwTexture*>(texture)) == 0) {
        return false;
    }
    width = texture->width;
    height = texture->height;
    return true;
}

int LiveTextureCount() {
    return static_cast<int>(State().textures.size());
}

} // namespace TwVideo
