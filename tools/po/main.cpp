// zvpo: the translations' PO files and the language tables the game reads.
//   zvpo template ENGLISH ROOMS OUT.pot     the template from the English table
//   zvpo table ENGLISH PO OUT.Txt           a language's table from its PO file
//   zvpo convert TEMPLATE.pot TABLE CODE OUT.po
//                                           a table written before the PO files, as one
// ENGLISH is assets/Data/Lang.Txt, ROOMS the room list of `assetgen --rooms`.
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "Catalog.h"
#include "ConvertTable.h"

namespace {

bool ReadFile(const std::string& path, std::string& bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "zvpo: cannot read %s\n", path.c_str());
        return false;
    }
    std::ostringstream text;
    text << in.rdbuf();
    bytes = text.str();
    return true;
}

// Writes only when the bytes change, so what depends on the file is not rebuilt for nothing.
bool WriteFile(const std::string& path, const std::string& bytes) {
    std::string old;
    std::ifstream existing(path, std::ios::binary);
    if (existing) {
        std::ostringstream text;
        text << existing.rdbuf();
        if (text.str() == bytes) {
            return true;
        }
    }
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    if (!out.flush()) {
        std::fprintf(stderr, "zvpo: cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}

bool ReadTable(const std::string& path, lang_table::Table& table) {
    std::string bytes, error;
    if (!ReadFile(path, bytes)) {
        return false;
    }
    if (!lang_table::Read(bytes, table, error)) {
        std::fprintf(stderr, "zvpo: %s: %s\n", path.c_str(), error.c_str());
        return false;
    }
    return true;
}

bool ReadRooms(const std::string& path, catalog::Rooms& rooms) {
    std::string bytes, error;
    if (!ReadFile(path, bytes)) {
        return false;
    }
    if (!catalog::ReadRooms(bytes, rooms, error)) {
        std::fprintf(stderr, "zvpo: %s: %s\n", path.c_str(), error.c_str());
        return false;
    }
    return true;
}

int Template(const std::string& englishPath, const std::string& roomsPath, const std::string& out) {
    lang_table::Table english;
    catalog::Rooms rooms;
    if (!ReadTable(englishPath, english) || !ReadRooms(roomsPath, rooms)) {
        return 1;
    }
    return WriteFile(out, po::Write(catalog::MakeTemplate(english, rooms))) ? 0 : 1;
}

int Table(const std::string& englishPath, const std::string& poPath, const std::string& out) {
    lang_table::Table english, table;
    std::string bytes, error;
    if (!ReadTable(englishPath, english) || !ReadFile(poPath, bytes)) {
        return 1;
    }
    po::File file;
    std::vector<std::string> notes;
    if (!po::Read(bytes, file, error) || !catalog::MakeTable(english, file, table, notes, error)) {
        std::fprintf(stderr, "zvpo: %s: %s\n", poPath.c_str(), error.c_str());
        return 1;
    }
    for (const std::string& note : notes) {
        std::fprintf(stderr, "zvpo: %s: %s (the English text is used)\n", poPath.c_str(),
                     note.c_str());
    }
    const std::string intro = "Made by the build from " + poPath +
                              "; edit that file, not this one.\nEvery text its PO file leaves "
                              "untranslated or fuzzy is the English one.";
    return WriteFile(out, lang_table::Write(table, intro)) ? 0 : 1;
}

int Convert(const std::string& templatePath, const std::string& tablePath, const std::string& code,
            const std::string& out) {
    lang_table::Table table;
    std::string bytes, error;
    po::File templateFile;
    if (!ReadTable(tablePath, table) || !ReadFile(templatePath, bytes)) {
        return 1;
    }
    if (!po::Read(bytes, templateFile, error)) {
        std::fprintf(stderr, "zvpo: %s: %s\n", templatePath.c_str(), error.c_str());
        return 1;
    }
    return WriteFile(out, po::Write(catalog::ConvertTable(templateFile, table, code))) ? 0 : 1;
}

int Usage() {
    std::fprintf(stderr, "usage: zvpo template ENGLISH ROOMS OUT.pot\n"
                         "       zvpo table ENGLISH PO OUT.Txt\n"
                         "       zvpo convert TEMPLATE.pot TABLE CODE OUT.po\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "template" && argc == 5) {
        return Template(argv[2], argv[3], argv[4]);
    }
    if (mode == "table" && argc == 5) {
        return Table(argv[2], argv[3], argv[4]);
    }
    if (mode == "convert" && argc == 6) {
        return Convert(argv[2], argv[3], argv[4], argv[5]);
    }
    return Usage();
}
