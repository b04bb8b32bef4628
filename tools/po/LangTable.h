#pragma once
#include <string>
#include <vector>

// A language table (assets/Data/Lang.Txt and the tables the build makes from the PO files):
// one block named after the language, its texts as `Key = "text"`, the words of the pictures
// in a nested block. This reader keeps what the translators need and the game's reader drops:
// the order of the texts and the comment that says where each one appears.
namespace lang_table {

struct Entry {
    std::string key;     // dotted below the language block: "Welcome", "Picture.Classic"
    std::string text;    // the text with the table's escapes decoded
    std::string comment; // the comment lines above the entry's group, joined by '\n'
};

struct Table {
    std::string block; // "English", "German", ...
    std::vector<Entry> entries;
};

// Reads a table; false with a line number and the reason in `error` when it does not parse.
bool Read(const std::string& bytes, Table& table, std::string& error);

// Writes a table the game reads: `intro` as comment lines, then the block.
std::string Write(const Table& table, const std::string& intro);

} // namespace lang_table
