#pragma once
#include <string>
#include <vector>

// A gettext PO file as translators edit it (Poedit, web translation platforms): a header
// entry, then one entry per text. The game's PO files use msgctxt for the table key, msgid
// for the English text and msgstr for the translation; plural forms are not used.
namespace po {

struct Entry {
    std::vector<std::string> translatorComments; // "# ..."
    std::vector<std::string> extractedComments;  // "#. ..." where the text appears, its room
    std::vector<std::string> flags;              // "#, fuzzy", ...
    std::string context;                         // msgctxt
    std::string id;                              // msgid
    std::string str;                             // msgstr
    bool Fuzzy() const;
};

struct File {
    std::vector<std::string> headerComments; // "# ..." lines above the header
    std::vector<std::string> headerFlags;
    std::string header;         // the header entry's msgstr: "Name: value\n" lines
    std::vector<Entry> entries; // obsolete ("#~") entries are dropped
};

// Reads a PO file; false with a line number and the reason in `error` when it does not parse.
bool Read(const std::string& bytes, File& file, std::string& error);

// Writes the file in the layout msgfmt, msgmerge and Poedit read: texts with '#' line breaks
// are split after each '#', so a translator sees the lines as the game prints them.
std::string Write(const File& file);

// The value of a header field ("Language", "X-Language-Block"), "" when absent.
std::string HeaderField(const std::string& header, const std::string& name);

} // namespace po
