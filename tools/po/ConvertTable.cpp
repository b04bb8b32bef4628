#include "ConvertTable.h"

#include <map>

namespace catalog {

po::File ConvertTable(const po::File& templateFile, const lang_table::Table& table,
                      const std::string& code) {
    po::File file = templateFile;
    file.headerComments = {"The texts of Zorbit Volley in " + table.block +
                               ". Where each one appears and how much room it has is said "
                               "above it.",
                           "'#' in a text starts a new line; {file} and {line} are filled in by "
                           "the game.",
                           ""};
    file.headerFlags.clear();
    file.header = "Project-Id-Version: Zorbit Volley\n"
                  "Report-Msgid-Bugs-To: \n"
                  "PO-Revision-Date: 2026-12-08 00:00+0000\n"
                  "Last-Translator: Zorbit Volley team\n"
                  "Language-Team: " +
                  table.block +
                  "\n"
                  "Language: " +
                  code +
                  "\n"
                  "MIME-Version: 1.0\n"
                  "Content-Type: text/plain; charset=UTF-8\n"
                  "Content-Transfer-Encoding: 8bit\n"
                  "X-Language-Block: " +
                  table.block + "\n";
    std::map<std::string, std::string> texts;
    for (const lang_table::Entry& entry : table.entries) {
        texts[entry.key] = entry.text;
    }
    for (po::Entry& entry : file.entries) {
        const auto found = texts.find(entry.context);
        if (found != texts.end()) {
            entry.str = found->second;
        }
    }
    return file;
}

} // namespace catalog
