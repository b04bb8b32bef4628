// assetgen: makes every picture, sound effect and music track of the game.
//   assetgen --out DIR                       all three stages
//   assetgen --pictures-only --out DIR       one stage (also --sounds-only, --music-only)
//   assetgen --contact-sheet FILE.png --out DIR
//                                            pictures, then one sheet showing all of them
#include <cstdio>
#include <cstring>
#include <string>

#include "AssetGen.h"
#include "IconGen.h"

namespace {

int Usage() {
    std::fprintf(stderr, "usage: assetgen [--pictures-only | --sounds-only | --music-only]"
                         " [--contact-sheet FILE.png] --out DIR\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    std::string outDir, sheet;
    bool pictures = true, sounds = true, music = true;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--out" && i + 1 < argc) {
            outDir = argv[++i];
        } else if (arg == "--contact-sheet" && i + 1 < argc) {
            sheet = argv[++i];
            sounds = music = false;
        } else if (arg == "--pictures-only") {
            sounds = music = false;
        } else if (arg == "--sounds-only") {
            pictures = music = false;
        } else if (arg == "--music-only") {
            pictures = sounds = false;
        } else {
            return Usage();
        }
    }
    if (outDir.empty()) {
        return Usage();
    }
    if (pictures && (!GeneratePictures(outDir) || !GenerateDesktopIcons(outDir))) {
        return 1;
    }
    if (sounds && !GenerateSounds(outDir)) {
        return 1;
    }
    if (music && !GenerateMusic(outDir)) {
        return 1;
    }
    if (!sheet.empty() && !WriteContactSheet(outDir, sheet)) {
        return 1;
    }
    return 0;
}
