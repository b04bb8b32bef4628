#pragma once
#include <map>
#include <string>
#include <vector>

#include "LangTable.h"
#include "PoFile.h"

// The translations' catalogue: the template made from the English table, and each
// language's table made from its PO file.
namespace catalog {

// How much room a text has where the game shows it, measured by the asset generator in the
// font and size of its place (see assetgen --rooms).
struct Room {
    int characters = 0;   // characters of the English text's kind that fit one line
    int lines = 1;        // lines the place holds ('#' starts the next)
    int pixels = 0;       // the width of a line
    bool shrinks = false; // a word drawn into a picture, made smaller (not below 60 %) to fit
};
using Rooms = std::map<std::string, Room>;

// Reads the generator's room list: "key<TAB>characters<TAB>lines<TAB>pixels<TAB>word|printed".
bool ReadRooms(const std::string& bytes, Rooms& rooms, std::string& error);

// The template: one entry per English text, its key as msgctxt, with comments saying where it
// appears and how much room it has.
po::File MakeTemplate(const lang_table::Table& english, const Rooms& rooms);

// The table of the language `translation` holds. A text the PO file lacks, leaves empty,
// marks fuzzy or gives for another English text reads the English text; each such case and
// each entry no English text has is described in `notes`. False, with the reason in `error`,
// when the header does not name the table's block.
bool MakeTable(const lang_table::Table& english, const po::File& translation,
               lang_table::Table& table, std::vector<std::string>& notes, std::string& error);

} // namespace catalog
