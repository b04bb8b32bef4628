#include "Catalog.h"

#include <sstream>

namespace catalog {

namespace {

constexpr const char* kBlockField = "X-Language-Block";

std::vector<std::string> RoomComment(const Room& room) {
    std::ostringstream line;
    if (room.shrinks) {
        line << "Room: about " << room.characters << " characters (" << room.pixels
             << " pixels); a longer word is drawn smaller, down to 60 %, and one longer still "
                "stops the build.";
    } else if (room.lines > 1) {
        line << "Room: " << room.lines << " lines of about " << room.characters << " characters ("
             << room.pixels << " pixels each); '#' starts a new line.";
    } else {
        line << "Room: one line of about " << room.characters << " characters (" << room.pixels
             << " pixels).";
    }
    return {line.str()};
}

const char* const kTemplateHeader = "Project-Id-Version: Zorbit Volley\n"
                                    "Report-Msgid-Bugs-To: \n"
                                    "PO-Revision-Date: YEAR-MO-DA HO:MI+ZONE\n"
                                    "Last-Translator: FULL NAME <EMAIL@ADDRESS>\n"
                                    "Language-Team: LANGUAGE <LL@li.org>\n"
                                    "Language: \n"
                                    "MIME-Version: 1.0\n"
                                    "Content-Type: text/plain; charset=UTF-8\n"
                                    "Content-Transfer-Encoding: 8bit\n"
                                    "X-Language-Block: \n";

} // namespace

bool ReadRooms(const std::string& bytes, Rooms& rooms, std::string& error) {
    std::istringstream in(bytes);
    int number = 0;
    for (std::string line; std::getline(in, line);) {
        ++number;
        if (line.empty()) {
            continue;
        }
        std::istringstream fields(line);
        std::string key, kind;
        Room room;
        if (!std::getline(fields, key, '\t') ||
            !(fields >> room.characters >> room.lines >> room.pixels >> kind) ||
            (kind != "word" && kind != "printed") || room.characters <= 0 || room.lines <= 0) {
            error = "room list line " + std::to_string(number) + " is not a room";
            return false;
        }
        room.shrinks = kind == "word";
        rooms[key] = room;
    }
    return true;
}

po::File MakeTemplate(const lang_table::Table& english, const Rooms& rooms) {
    po::File file;
    file.headerComments = {
        "The texts of Zorbit Volley, made from assets/Data/Lang.Txt; do not edit this template.",
        "A new language: copy it to po/<code>.po (the code the locale gives: nl, or pt_BR for",
        "one region), fill in Language and X-Language-Block (the language's name in English,",
        "one word: Dutch), translate every msgstr and add the code to po/LINGUAS.",
        "'#' in a text starts a new line; {file} and {line} are filled in by the game.",
        "An empty or fuzzy translation shows the English text.",
        ""};
    file.headerFlags = {"fuzzy"};
    file.header = kTemplateHeader;
    for (const lang_table::Entry& text : english.entries) {
        po::Entry entry;
        std::istringstream comment(text.comment);
        for (std::string line; std::getline(comment, line);) {
            entry.extractedComments.push_back(line);
        }
        const auto room = rooms.find(text.key);
        if (room != rooms.end()) {
            for (const std::string& line : RoomComment(room->second)) {
                entry.extractedComments.push_back(line);
            }
        }
        entry.context = text.key;
        entry.id = text.text;
        file.entries.push_back(std::move(entry));
    }
    return file;
}

bool MakeTable(const lang_table::Table& english, const po::File& translation,
               lang_table::Table& table, std::vector<std::string>& notes, std::string& error) {
    table = lang_table::Table();
    table.block = po::HeaderField(translation.header, kBlockField);
    if (table.block.empty() ||
        table.block.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz_") !=
            std::string::npos) {
        error = std::string("the header's ") + kBlockField +
                " must name the language in English letters (\"Dutch\")";
        return false;
    }
    std::map<std::string, const po::Entry*> byKey;
    for (const po::Entry& entry : translation.entries) {
        byKey[entry.context] = &entry;
    }
    for (const lang_table::Entry& text : english.entries) {
        lang_table::Entry out{text.key, text.text, ""};
        const auto found = byKey.find(text.key);
        if (found == byKey.end()) {
            notes.push_back(text.key + ": not in the PO file");
        } else if (found->second->id != text.text) {
            notes.push_back(text.key + ": translates an older English text");
        } else if (found->second->Fuzzy()) {
            notes.push_back(text.key + ": fuzzy");
        } else if (found->second->str.empty()) {
            notes.push_back(text.key + ": not translated");
        } else {
            out.text = found->second->str;
        }
        if (found != byKey.end()) {
            byKey.erase(found);
        }
        table.entries.push_back(std::move(out));
    }
    for (const auto& [key, entry] : byKey) {
        notes.push_back(key + ": no English text has this key");
    }
    return true;
}

} // namespace catalog
