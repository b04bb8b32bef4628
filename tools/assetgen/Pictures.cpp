#include "Pictures.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "AssetGen.h"
#include "PictureFile.h"
#include "Words.h"
#include "platform/picture/TwPicture.h"

void PictureOutput::Save(const std::string& name, const Canvas& canvas) {
    Save(name, canvas.Width(), canvas.Height(), canvas.Rgba());
}

std::vector<std::uint8_t> WordsPatch(int width, int height,
                                     const std::vector<std::uint8_t>& english,
                                     const std::vector<std::uint8_t>& translated) {
    constexpr int kBlock = 8;
    const std::size_t bytes = static_cast<std::size_t>(width) * height * 4;
    if (english.size() != bytes || translated.size() != bytes) {
        return {};
    }
    std::vector<std::uint8_t> patch(bytes, 0);
    bool any = false;
    for (int by = 0; by < height; by += kBlock) {
        for (int bx = 0; bx < width; bx += kBlock) {
            const int w = std::min(kBlock, width - bx), h = std::min(kBlock, height - by);
            bool differs = false;
            for (int y = by; y < by + h && !differs; ++y) {
                const std::size_t row = (static_cast<std::size_t>(y) * width + bx) * 4;
                differs = std::memcmp(&english[row], &translated[row], std::size_t(w) * 4) != 0;
            }
            if (!differs) {
                continue;
            }
            any = true;
            for (int y = by; y < by + h; ++y) {
                const std::size_t row = (static_cast<std::size_t>(y) * width + bx) * 4;
                std::memcpy(&patch[row], &translated[row], std::size_t(w) * 4);
            }
        }
    }
    return any ? patch : std::vector<std::uint8_t>();
}

namespace {

// Whether the words patch rebuilds the translated picture over the English one (a clear pixel
// of the translation inside a changed block cannot be laid over anything) and is smaller than
// the picture stored whole.
bool PatchIsWorthIt(const PictureOutput::Pixels& english,
                    const std::vector<std::uint8_t>& translated,
                    const std::vector<std::uint8_t>& patch) {
    TwPicture rebuilt, words;
    rebuilt.width = words.width = english.width;
    rebuilt.height = words.height = english.height;
    rebuilt.rgba = english.rgba;
    words.rgba = patch;
    if (!TwOverlayPicture(rebuilt, words) || rebuilt.rgba != translated) {
        return false;
    }
    return EncodePicture(english.width, english.height, patch).size() <
           EncodePicture(english.width, english.height, translated).size();
}

} // namespace

void PictureOutput::Save(const std::string& name, int width, int height,
                         const std::vector<std::uint8_t>& rgba) {
    if (kept_ != nullptr) {
        (*kept_)[name] = Pixels{width, height, rgba};
        return;
    }
    std::string path = outDir_ + "/Data/Textures/" + name;
    const auto english = english_ != nullptr ? english_->find(name) : PixelMap::const_iterator();
    if (english_ != nullptr && english != english_->end() && english->second.width == width &&
        english->second.height == height) {
        const std::vector<std::uint8_t> patch =
            WordsPatch(width, height, english->second.rgba, rgba);
        if (patch.empty()) {
            return; // the English picture serves as it is
        }
        if (PatchIsWorthIt(english->second, rgba, patch)) {
            path += ".Words";
            if (!WritePictureFile(path, width, height, patch, path)) {
                std::fprintf(stderr, "assetgen: cannot write %s\n", path.c_str());
                ok_ = false;
            }
            return;
        }
    }
    if (!WritePictureFile(path, width, height, rgba, path)) {
        std::fprintf(stderr, "assetgen: cannot write %s\n", path.c_str());
        ok_ = false;
    }
}

bool GeneratePictures(const std::string& outDir) {
    if (!MakeDirectories(outDir + "/Data/Textures")) {
        std::fprintf(stderr, "assetgen: cannot create %s/Data/Textures\n", outDir.c_str());
        return false;
    }
    PictureOutput out(outDir);
    DrawBubblePictures(out);
    DrawSpritePictures(out);
    DrawBackgroundPictures(out);
    DrawInterfacePictures(out);
    DrawFontPictures(out);
    return out.Ok();
}

bool GenerateTextPictures(const std::string& outDir, const std::vector<std::string>& tables,
                          const std::string& language) {
    if (!MakeDirectories(outDir + "/Data/Textures")) {
        std::fprintf(stderr, "assetgen: cannot create %s/Data/Textures\n", outDir.c_str());
        return false;
    }
    // A translation's opaque pictures are compared with the English ones, drawn first from
    // the English table (the first one given).
    PictureOutput::PixelMap english;
    if (language != "English") {
        if (!words::Load({tables.front()}, "English")) {
            return false;
        }
        PictureOutput kept(&english);
        DrawBackgroundTextPictures(kept);
        DrawInterfaceTextPictures(kept);
    }
    if (!words::Load(tables, language)) {
        return false;
    }
    PictureOutput out(outDir);
    out.SetEnglish(&english);
    DrawBackgroundTextPictures(out);
    DrawInterfaceTextPictures(out);
    return out.Ok() && words::AllFound() && EveryWordFit();
}
