#include "Pictures.h"

#include <cstdio>

#include "AssetGen.h"
#include "PictureFile.h"
#include "Words.h"

void PictureOutput::Save(const std::string& name, const Canvas& canvas) {
    Save(name, canvas.Width(), canvas.Height(), canvas.Rgba());
}

void PictureOutput::Save(const std::string& name, int width, int height,
                         const std::vector<std::uint8_t>& rgba) {
    std::string path = outDir_ + "/Data/Textures/" + name;
    if (!WritePictureFile(path, width, height, rgba, path)) {
        std::fprintf(stderr, "assetgen: cannot write %s\n", path.c_str());
        ok_ = false;
        return;
    }
    names_.push_back(name);
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
    if (!words::Load(tables, language)) {
        return false;
    }
    PictureOutput out(outDir);
    DrawBackgroundTextPictures(out);
    DrawInterfaceTextPictures(out);
    return out.Ok() && words::AllFound() && EveryWordFit();
}
