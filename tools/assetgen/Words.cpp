#include "Words.h"

#include <cstdio>
#include <fstream>
#include <sstream>

#include "Rooms.h"
#include "data/TwDefFile.h"

namespace words {

namespace {

TwDefFile& Table() {
    static TwDefFile table;
    return table;
}
std::string& Language() {
    static std::string language = "English";
    return language;
}
bool& Found() {
    static bool found = true;
    return found;
}

} // namespace

bool Load(const std::vector<std::string>& files, const std::string& language) {
    std::string all;
    for (const std::string& file : files) {
        std::ifstream in(file, std::ios::binary);
        if (!in) {
            std::fprintf(stderr, "assetgen: cannot read %s\n", file.c_str());
            return false;
        }
        std::ostringstream text;
        text << in.rdbuf();
        all += text.str() + "\n";
    }
    Table() = TwDefFile();
    if (Table().LoadFromMemory(all.data(), all.size()) != 0) {
        std::fprintf(stderr, "assetgen: the language tables do not parse\n");
        return false;
    }
    Language() = language;
    Found() = true;
    return true;
}

std::string Get(const std::string& key) {
    const std::string inBlock = ".Picture." + key;
    for (const std::string& block : {Language(), std::string("English")}) {
        std::string word = Table().GetString(block + inBlock, "");
        if (!word.empty()) {
            rooms::NoteWord(key, word);
            return word;
        }
    }
    std::fprintf(stderr, "assetgen: no word for %s\n", key.c_str());
    Found() = false;
    return key;
}

std::string Text(const std::string& key) {
    const std::string text = Table().GetString(Language() + "." + key, "");
    return text.empty() ? Table().GetString("English." + key, "") : text;
}

bool AllFound() {
    return Found();
}

} // namespace words
