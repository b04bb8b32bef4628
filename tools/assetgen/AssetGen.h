#pragma once
#include <string>
#include <vector>

// The asset generator's three stages. Each writes its files under `outDir` with the
// names the game asks for ("Data/Textures/...", "Data/Sounds/...", "Data/Music/...")
// and returns false, after printing why, when something could not be made.
// Every stage is deterministic: the same build gives the same bytes.
// The pictures without words (and the font strips).
bool GeneratePictures(const std::string& outDir);
// The pictures that carry words, in `language` (a block of the language tables, such as
// "English" or "German", read from `tables`: Lang.Txt and the translation's file).
bool GenerateTextPictures(const std::string& outDir, const std::vector<std::string>& tables,
                          const std::string& language);
bool GenerateSounds(const std::string& outDir);
bool GenerateMusic(const std::string& outDir);

// One labelled sheet of every picture under `outDir`, written as PNG, for review.
bool WriteContactSheet(const std::string& outDir, const std::string& pngPath);
