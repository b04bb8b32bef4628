#pragma once
#include <string>

#include "Draw.h"

// The room each text has where the game shows it, for the translators (assetgen --rooms):
// the words of the pictures as they are fitted into their places, and the texts the game
// prints in its main font. A room is told in characters of the English text's kind (its
// own average width in the font and size of the place), so "about 12 characters" means
// what a translator expects of a word like the English one.
namespace rooms {

// Starts recording (the generator records nothing otherwise).
void Enable();
// A word looked up for a picture; its place follows in NotePlace.
void NoteWord(const std::string& key, const std::string& word);
// `text`, drawn in `style`, fitted into `maxWidth` pixels: the room of every noted word in it
// is the width left to it.
void NotePlace(const std::string& text, const TextStyle& style, double maxWidth);
// Writes "key<TAB>characters<TAB>lines<TAB>pixels<TAB>word|printed" lines, the printed texts
// measured from `englishTables`' English block. False when a file cannot be read or written.
bool Write(const std::string& file);

} // namespace rooms
