// assetgen: makes every picture, sound effect and music track of the game.
//   assetgen --out DIR                       all three stages
//   assetgen --pictures-only --out DIR       one stage (also --sounds-only, --music-only)
//   assetgen --words TABLE [--words TABLE...] --language NAME --out DIR
//                                            the pictures with words, in one language
//   assetgen --words TABLE --language English --rooms FILE --out DIR
//                                            also lists each text's room (see Rooms.h)
//   assetgen --contact-sheet FILE.png --out DIR
//                                            pictures, then one sheet showing all of them
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "AssetGen.h"
#include "IconGen.h"
#include "Rooms.h"

namespace {

int Usage() {
    std::fprintf(stderr,
                 "usage: assetgen [--pictures-only | --sounds-only | --music-only]"
                 " [--contact-sheet FILE.png] --out DIR\n"
                 "       assetgen --words TABLE... --language NAME [--rooms FILE] --out DIR\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    std::string outDir, sheet, language, roomsFile;
    std::vector<std::string> tables;
    bool pictures = true, sounds = true, music = true;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--out" && i + 1 < argc) {
            outDir = argv[++i];
        } else if (arg == "--contact-sheet" && i + 1 < argc) {
            sheet = argv[++i];
            sounds = music = false;
        } else if (arg == "--words" && i + 1 < argc) {
            tables.push_back(argv[++i]);
        } else if (arg == "--language" && i + 1 < argc) {
            language = argv[++i];
        } else if (arg == "--rooms" && i + 1 < argc) {
            roomsFile = argv[++i];
            rooms::Enable();
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
    if (outDir.empty() || tables.empty() != language.empty()) {
        return Usage();
    }
    if (!tables.empty()) {
        const bool drawn = GenerateTextPictures(outDir, tables, language);
        return drawn && (roomsFile.empty() || rooms::Write(roomsFile)) ? 0 : 1;
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
