#pragma once
#include <string>
#include <vector>

// The words drawn into the pictures, in the language being generated: the "Picture" block of
// that language in the language tables (Lang.Txt and its translations), with the English
// block behind it for any word a translation lacks.
namespace words {

// Reads the tables (UTF-8 text files) and picks the language block. False, after printing
// why, when a file cannot be read.
bool Load(const std::vector<std::string>& files, const std::string& language);
// The word under `key` ("Classic", "OptionsTitle", ...). A key no table holds is printed as
// an error and comes back as the key itself, so a missing word shows in the picture.
std::string Get(const std::string& key);
// A text outside the Picture block ("Welcome"), "" when no table holds it.
std::string Text(const std::string& key);
// True when every word asked for so far was found.
bool AllFound();

} // namespace words
