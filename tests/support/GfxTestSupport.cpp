#include "GfxTestSupport.h"

#include <cstring>
#include <memory>

#include "data/TwPackWriter.h"
#include "data/TwResourceManager.h"
#include "gfx/TwMissingResources.h"
#include "gfx/TwRenderDevice.h"
#include "platform/window/TwMessageBox.h"

#include <webp/encode.h>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#define STBI_WRITE_NO_STDIO
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wsign-compare"
#include <stb/stb_image_write.h>
#pragma GCC diagnostic pop

namespace zvtest {

namespace {

void PutU16(std::string& s, unsigned v) {
    s += char(v & 0xFF);
    s += char((v >> 8) & 0xFF);
}

void PutU32(std::string& s, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        s += char((v >> (8 * i)) & 0xFF);
    }
}

std::uint8_t Channel(std::uint32_t rgbaValue, int index) {
    return std::uint8_t(rgbaValue >> (24 - 8 * index));
}

// The bytes of one stored TGA pixel (blue, green, red[, alpha]; grey is one byte).
std::string TgaPixel(const Pixels& p, int x, int y, int bits) {
    const std::uint32_t v = p.Get(x, y);
    std::string px;
    if (bits == 8) {
        px += char(Channel(v, 0));
        return px;
    }
    px += char(Channel(v, 2));
    px += char(Channel(v, 1));
    px += char(Channel(v, 0));
    if (bits == 32) {
        px += char(Channel(v, 3));
    }
    return px;
}

std::string DdsHeader(int width, int height, std::uint32_t formatFlags, std::uint32_t fourCC,
                      int bits, const std::uint32_t masks[4]) {
    std::string s = "DDS ";
    PutU32(s, 124);
    PutU32(s, 0x1007); // caps, height, width, pixel format
    PutU32(s, std::uint32_t(height));
    PutU32(s, std::uint32_t(width));
    PutU32(s, 0); // pitch
    PutU32(s, 0); // depth
    PutU32(s, 0); // mip levels
    for (int i = 0; i < 11; ++i) {
        PutU32(s, 0);
    }
    PutU32(s, 32);
    PutU32(s, formatFlags);
    PutU32(s, fourCC);
    PutU32(s, std::uint32_t(bits));
    for (int i = 0; i < 4; ++i) {
        PutU32(s, masks[i]);
    }
    PutU32(s, 0x1000); // texture
    for (int i = 0; i < 4; ++i) {
        PutU32(s, 0);
    }
    return s;
}

} // namespace

Pixels::Pixels(int w, int h, std::uint32_t fillRgba) : width(w), height(h) {
    rgba.resize(std::size_t(w) * h * 4);
    Fill(0, 0, w, h, fillRgba);
}

void Pixels::Set(int x, int y, std::uint32_t v) {
    std::uint8_t* px = &rgba[(std::size_t(y) * width + x) * 4];
    for (int i = 0; i < 4; ++i) {
        px[i] = Channel(v, i);
    }
}

std::uint32_t Pixels::Get(int x, int y) const {
    const std::uint8_t* px = &rgba[(std::size_t(y) * width + x) * 4];
    return std::uint32_t(px[0]) << 24 | std::uint32_t(px[1]) << 16 | std::uint32_t(px[2]) << 8 |
           px[3];
}

void Pixels::Fill(int x0, int y0, int x1, int y1, std::uint32_t v) {
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            Set(x, y, v);
        }
    }
}

std::string MakeTga(const Pixels& p, int type, int bits, bool topDown) {
    std::string s;
    s += char(0);
    s += char(0);
    s += char(type);
    s.append(9, '\0');
    PutU16(s, unsigned(p.width));
    PutU16(s, unsigned(p.height));
    s += char(bits);
    s += char((topDown ? 0x20 : 0) | (bits == 32 ? 8 : 0));
    for (int i = 0; i < p.height; ++i) {
        const int y = topDown ? i : p.height - 1 - i;
        if (type == 10) {
            // One run per row when the row is a single colour, raw packets otherwise.
            int x = 0;
            while (x < p.width) {
                int run = 1;
                while (x + run < p.width && run < 128 && p.Get(x + run, y) == p.Get(x, y)) {
                    ++run;
                }
                if (run > 1) {
                    s += char(0x80 | (run - 1));
                    s += TgaPixel(p, x, y, bits);
                } else {
                    s += char(0);
                    s += TgaPixel(p, x, y, bits);
                }
                x += run;
            }
        } else {
            for (int x = 0; x < p.width; ++x) {
                s += TgaPixel(p, x, y, bits);
            }
        }
    }
    return s;
}

std::string MakeDds(const Pixels& p, int bits, bool withAlpha) {
    const std::uint32_t masks[4] = {0xFF0000, 0xFF00, 0xFF, withAlpha ? 0xFF000000u : 0u};
    std::string s = DdsHeader(p.width, p.height, 0x40 | (withAlpha ? 1u : 0u), 0, bits, masks);
    for (int y = 0; y < p.height; ++y) {
        for (int x = 0; x < p.width; ++x) {
            const std::uint32_t v = p.Get(x, y);
            s += char(Channel(v, 2));
            s += char(Channel(v, 1));
            s += char(Channel(v, 0));
            if (bits == 32) {
                s += char(withAlpha ? Channel(v, 3) : 0x5A); // X8: the byte is ignored
            }
        }
    }
    return s;
}

std::string MakeDxtDds(const char* fourCC, int width, int height, const std::string& blocks) {
    const std::uint32_t masks[4] = {0, 0, 0, 0};
    std::uint32_t code = 0;
    std::memcpy(&code, fourCC, 4);
    return DdsHeader(width, height, 0x4, code, 0, masks) + blocks;
}

std::string MakeJpeg(const Pixels& p) {
    std::string out;
    auto sink = [](void* context, void* data, int size) {
        static_cast<std::string*>(context)->append(static_cast<const char*>(data),
                                                   std::size_t(size));
    };
    stbi_write_jpg_to_func(sink, &out, p.width, p.height, 4, p.rgba.data(), 100);
    return out;
}

std::string MakePng(const Pixels& p) {
    std::string out;
    auto sink = [](void* context, void* data, int size) {
        static_cast<std::string*>(context)->append(static_cast<const char*>(data),
                                                   std::size_t(size));
    };
    if (stbi_write_png_to_func(sink, &out, p.width, p.height, 4, p.rgba.data(), p.width * 4) == 0) {
        out.clear();
    }
    return out;
}

std::string MakeWebp(const Pixels& p) {
    WebPConfig config;
    WebPPicture picture;
    WebPConfigInit(&config);
    WebPConfigLosslessPreset(&config, 1);
    config.exact = 1; // keep the colour of clear pixels too
    WebPPictureInit(&picture);
    picture.use_argb = 1;
    picture.width = p.width;
    picture.height = p.height;
    WebPMemoryWriter writer;
    WebPMemoryWriterInit(&writer);
    picture.writer = WebPMemoryWrite;
    picture.custom_ptr = &writer;
    std::string out;
    if (WebPPictureImportRGBA(&picture, p.rgba.data(), p.width * 4) &&
        WebPEncode(&config, &picture)) {
        out.assign(reinterpret_cast<const char*>(writer.mem), writer.size);
    }
    WebPPictureFree(&picture);
    WebPMemoryWriterClear(&writer);
    return out;
}

ScopedPack::ScopedPack() {
    TwResourceManager::Instance().CloseAll();
}

ScopedPack::~ScopedPack() {
    TwResourceManager::Instance().CloseAll();
}

ScopedPack& ScopedPack::Add(const std::string& name, std::string bytes) {
    entries_.emplace_back(name, std::move(bytes));
    return *this;
}

bool ScopedPack::Open() {
    TwPackWriter writer;
    for (const auto& [name, bytes] : entries_) {
        if (!writer.AddEntry(name, bytes)) {
            return false;
        }
    }
    const std::string path = dir_.File("Test.Twr");
    TwResourceManager::Instance().CloseAll();
    return writer.Write(path) && TwResourceManager::Instance().OpenPack(path);
}

// Each capture starts a new run: the first missing picture is shown again.
CapturedMessages::CapturedMessages() : texts_(std::make_shared<std::vector<std::string>>()) {
    TwMissingResources::Reset();
    auto texts = texts_;
    TwSetMessageSink(
        [texts](const std::string&, const std::string& text) { texts->push_back(text); });
}

CapturedMessages::~CapturedMessages() {
    TwSetMessageSink({});
}

bool EnsureHeadlessScreen() {
    return TwRenderDevice::Instance().CreateHeadless();
}

std::vector<std::uint32_t> ReadScreen() {
    std::vector<std::uint32_t> screen;
    if (!TwRenderDevice::Instance().ReadPixels(screen)) {
        screen.clear();
    }
    return screen;
}

} // namespace zvtest
