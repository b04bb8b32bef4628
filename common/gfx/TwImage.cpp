#include "gfx/TwImage.h"

#include <algorithm>

#include "gfx/TwImageData.h"
#include "gfx/TwRenderDevice.h"
#include "gfx/TwTextureCache.h"

TwImage::TwImage(const TwImage& other)
    : tag(other.tag), red(other.red), green(other.green), blue(other.blue), alpha(other.alpha),
      x(other.x), y(other.y), z(other.z), pivotX(other.pivotX), pivotY(other.pivotY),
      pivotZ(other.pivotZ), rotation(other.rotation), flip(other.flip), scale(1.0f),
      data_(other.data_) {}

TwImage& TwImage::operator=(const TwImage& other) {
    if (this != &other) {
        Hold(other.data_);
        tag = other.tag;
        SetTint(other.red, other.green, other.blue, other.alpha);
        SetPosition(other.x, other.y, other.z);
        pivotX = other.pivotX;
        pivotY = other.pivotY;
        pivotZ = other.pivotZ;
        rotation = other.rotation;
        flip = other.flip;
        scale = 1.0f;
    }
    return *this;
}

TwImage::~TwImage() = default;

void TwImage::Hold(std::shared_ptr<TwImageData> record) {
    data_ = std::move(record);
}

bool TwImage::SetImage(const std::string& name, bool buildMask) {
    return Bind(name, buildMask, false);
}

bool TwImage::SetImageOnDemand(const std::string& name) {
    return Bind(name, false, true);
}

bool TwImage::Bind(const std::string& name, bool buildMask, bool onDemand) {
    TwTextureCache& cache = TwTextureCache::Instance();
    if (TwImageData* found = cache.Find(name)) {
        if (found != data_.get()) {
            Hold(found->shared_from_this());
        }
        // A picture still waiting for its first draw that is now wanted with masks is loaded
        // whole, as it would have been had this request come first.
        if (buildMask && found->TexturePending()) {
            found->Load(name, true);
        }
        return true;
    }
    // A picture that fails to load stays with this image only, so the next request for the
    // name tries the packs again.
    auto record = std::make_shared<TwImageData>();
    Hold(record);
    if (onDemand ? record->LoadOnDemand(name) : record->Load(name, buildMask)) {
        cache.Insert(name, record.get());
    }
    return true;
}

void TwImage::Update(int) {}

bool TwImage::HasTexture() const {
    return data_ != nullptr && data_->texture != nullptr;
}

bool TwImage::EnsureTexture() {
    return data_ != nullptr && data_->EnsureTexture();
}

void TwImage::SetPosition(float px, float py, float pz) {
    x = px;
    y = py;
    z = pz;
}

void TwImage::SetTint(float r, float g, float b, float a) {
    red = r;
    green = g;
    blue = b;
    alpha = a;
}

void TwImage::Draw() {
    if (!EnsureTexture()) {
        return;
    }
    const int w = Width(), h = Height();
    const int halfW = w / 2, halfH = h / 2; // pictures sit on whole pixels
    const TwRect whole{0, 0, w, h};
    TwRenderDevice::Instance().DrawPicture(*data_, whole, whole, x - float(halfW),
                                           y - float(halfH));
}

void TwImage::DrawPart(const TwRect& part) {
    if (!EnsureTexture()) {
        return;
    }
    const TwRect dest{0, 0, part.Width(), part.Height()};
    const int halfW = Width() / 2, halfH = Height() / 2; // as Draw places the whole picture
    TwRenderDevice::Instance().DrawPicture(*data_, dest, part, x - float(halfW) + float(part.left),
                                           y - float(halfH) + float(part.top));
}

void TwImage::DrawFrame(int width, int height, int left, int top) {
    DrawTintedFrame(Argb(), width, height, left, top);
}

void TwImage::DrawTintedFrame(std::uint32_t argb, int width, int height, int left, int top) {
    if (!EnsureTexture() || width <= 0 || height <= 0) {
        return;
    }
    TwRenderDevice::Instance().DrawImageCell(*this, argb,
                                             TwRect{left, top, left + width, top + height});
}
