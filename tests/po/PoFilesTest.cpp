// The translations' PO files: zvpo's reader and writer, the tables it makes of them, and the
// committed PO files against the English table they translate.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "Catalog.h"
#include "LangTable.h"
#include "PoFile.h"
#include "TestSupport.h"
#include "data/TwDefFile.h"

namespace {

std::string ReadSource(const std::string& relative) {
    std::ifstream in(std::string(ZV_SOURCE_DIR) + "/" + relative, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

lang_table::Table EnglishTable() {
    lang_table::Table table;
    std::string error;
    EXPECT_TRUE(lang_table::Read(ReadSource("assets/Data/Lang.Txt"), table, error)) << error;
    return table;
}

std::vector<std::string> Linguas() {
    std::istringstream in(ReadSource("po/LINGUAS"));
    std::vector<std::string> codes;
    for (std::string line; std::getline(in, line);) {
        line = line.substr(0, line.find('#'));
        std::istringstream words(line);
        for (std::string code; words >> code;) {
            codes.push_back(code);
        }
    }
    return codes;
}

const po::Entry* Find(const po::File& file, const std::string& context) {
    for (const po::Entry& entry : file.entries) {
        if (entry.context == context) {
            return &entry;
        }
    }
    return nullptr;
}

} // namespace

TEST(PoFile, ReadsWhatTranslatorsToolsWrite) {
    const std::string text = "# translator's note\n"
                             "msgid \"\"\n"
                             "msgstr \"\"\n"
                             "\"Language: de\\n\"\n"
                             "\"X-Language-Block: German\\n\"\n"
                             "\n"
                             "#. where it appears\n"
                             "#: some/file.cpp:12\n"
                             "#, fuzzy, c-format\n"
                             "#| msgid \"older\"\n"
                             "msgctxt \"Picture.Ok\"\n"
                             "msgid \"\"\n"
                             "\"two#\"\n"
                             "\"lines with \\\"quotes\\\" and \\\\\"\n"
                             "msgstr \"zwei#Zeilen\"\n"
                             "\n"
                             "#~ msgctxt \"Gone\"\n"
                             "#~ msgid \"Gone\"\n"
                             "#~ msgstr \"Weg\"\n";
    po::File file;
    std::string error;
    ASSERT_TRUE(po::Read(text, file, error)) << error;
    EXPECT_EQ(po::HeaderField(file.header, "Language"), "de");
    EXPECT_EQ(po::HeaderField(file.header, "X-Language-Block"), "German");
    EXPECT_EQ(po::HeaderField(file.header, "Lang"), "");
    ASSERT_EQ(file.entries.size(), 1u);
    const po::Entry& entry = file.entries[0];
    EXPECT_EQ(entry.context, "Picture.Ok");
    EXPECT_EQ(entry.id, "two#lines with \"quotes\" and \\");
    EXPECT_EQ(entry.str, "zwei#Zeilen");
    EXPECT_TRUE(entry.Fuzzy());
    EXPECT_EQ(entry.extractedComments, std::vector<std::string>{"where it appears"});

    // A byte-order mark and Windows line ends, as some editors write, read the same.
    std::string windows = "\xEF\xBB\xBF";
    for (char c : text) {
        windows += c == '\n' ? std::string("\r\n") : std::string(1, c);
    }
    po::File fromWindows;
    ASSERT_TRUE(po::Read(windows, fromWindows, error)) << error;
    ASSERT_EQ(fromWindows.entries.size(), 1u);
    EXPECT_EQ(fromWindows.entries[0].id, entry.id);
    EXPECT_EQ(fromWindows.header, file.header);

    // What it writes reads back the same.
    po::File again;
    ASSERT_TRUE(po::Read(po::Write(file), again, error)) << error;
    ASSERT_EQ(again.entries.size(), 1u);
    EXPECT_EQ(again.header, file.header);
    EXPECT_EQ(again.entries[0].id, entry.id);
    EXPECT_EQ(again.entries[0].str, entry.str);
    EXPECT_EQ(again.entries[0].flags, entry.flags);
}

TEST(PoFile, RefusesBrokenFilesWithTheLine) {
    const std::pair<const char*, const char*> broken[] = {
        {"msgid \"a\"\n", "without msgstr"},
        {"msgstr \"a\"\n", "without its msgid"},
        {"msgid \"a\nmsgstr \"b\"\n", "keyword without a string"},
        {"msgid \"a\"\nmsgstr \"b\\q\"\n", "keyword without a string"},
        {"msgid \"a\"\nmsgid_plural \"as\"\nmsgstr[0] \"b\"\n", "not used"},
        {"\"stray\"\n", "outside an entry"},
        {"msgid \"\"\nmsgstr \"\"\nmsgid \"\"\nmsgstr \"\"\n", "second header"},
        {"msgctxt \"k\"\n", "not complete"},
    };
    for (const auto& [text, why] : broken) {
        po::File file;
        std::string error;
        EXPECT_FALSE(po::Read(text, file, error)) << text;
        EXPECT_NE(error.find(why), std::string::npos) << text << " gave: " << error;
        EXPECT_EQ(error.rfind("line ", 0), 0u) << error;
    }
}

TEST(LangTable, ReadsTheEnglishTableWithItsCommentsAndWritesItBack) {
    const lang_table::Table english = EnglishTable();
    EXPECT_EQ(english.block, "English");
    ASSERT_GT(english.entries.size(), 100u);
    std::set<std::string> keys;
    for (const lang_table::Entry& entry : english.entries) {
        EXPECT_TRUE(keys.insert(entry.key).second) << "twice: " << entry.key;
        EXPECT_FALSE(entry.text.empty()) << entry.key;
    }
    EXPECT_EQ(keys.count("LanguageName"), 1u);
    EXPECT_EQ(keys.count("Picture.Ok"), 1u);
    const auto rules = std::find_if(english.entries.begin(), english.entries.end(),
                                    [](const auto& entry) { return entry.key == "HelpRules"; });
    ASSERT_NE(rules, english.entries.end());
    EXPECT_EQ(rules->comment, "The help page's three text areas.");

    lang_table::Table withEscapes = english;
    withEscapes.entries[0].text = "a \"quoted\" back\\slash";
    withEscapes.entries[1].text = std::string("tab\tnul\0line\nend", 16);
    lang_table::Table again;
    std::string error;
    ASSERT_TRUE(lang_table::Read(lang_table::Write(withEscapes, "intro"), again, error)) << error;
    ASSERT_EQ(again.entries.size(), withEscapes.entries.size());
    for (std::size_t i = 0; i < again.entries.size(); ++i) {
        EXPECT_EQ(again.entries[i].key, withEscapes.entries[i].key);
        EXPECT_EQ(again.entries[i].text, withEscapes.entries[i].text);
    }
    // The game reads the written table alike, the texts after a NUL included.
    const std::string written = lang_table::Write(withEscapes, "intro");
    TwDefFile game;
    ASSERT_EQ(game.LoadFromMemory(written.data(), written.size()), 0);
    for (const lang_table::Entry& entry : withEscapes.entries) {
        EXPECT_EQ(game.GetString("English." + entry.key), entry.text) << entry.key;
    }
}

// A text is the translation only when the PO file has it for the current English text and
// not fuzzy; otherwise the English one, and the build says why.
TEST(PoCatalog, UntranslatedFuzzyOrStaleTextsReadTheEnglishOne) {
    lang_table::Table english;
    english.block = "English";
    for (const char* key : {"Done", "Fuzzy", "Empty", "Stale", "Missing"}) {
        english.entries.push_back({key, std::string("English ") + key, ""});
    }
    po::File file;
    file.header = "Language: xx\nX-Language-Block: Test\n";
    file.entries = {{{}, {}, {}, "Done", "English Done", "Fertig"},
                    {{}, {}, {"fuzzy"}, "Fuzzy", "English Fuzzy", "Unscharf"},
                    {{}, {}, {}, "Empty", "English Empty", ""},
                    {{}, {}, {}, "Stale", "English text of old", "Alt"},
                    {{}, {}, {}, "Unknown", "Nothing", "Nichts"}};
    lang_table::Table table;
    std::vector<std::string> notes;
    std::string error;
    ASSERT_TRUE(catalog::MakeTable(english, file, table, notes, error)) << error;
    EXPECT_EQ(table.block, "Test");
    ASSERT_EQ(table.entries.size(), 5u);
    EXPECT_EQ(table.entries[0].text, "Fertig");
    for (std::size_t i = 1; i < 5; ++i) {
        EXPECT_EQ(table.entries[i].text, english.entries[i].text);
    }
    EXPECT_EQ(notes.size(), 5u) << "four English fallbacks and one unknown key";

    file.header = "Language: xx\nX-Language-Block: Two words\n";
    EXPECT_FALSE(catalog::MakeTable(english, file, table, notes, error));
    file.header = "Language: xx\n";
    EXPECT_FALSE(catalog::MakeTable(english, file, table, notes, error));
}

// The committed translations: po/LINGUAS lists every PO file, and each one translates every
// current English text (a text added to or changed in the English table must be translated
// in every language), names its own block and its language by its own name.
TEST(PoFiles, EveryListedLanguageTranslatesEveryCurrentEnglishText) {
    namespace fs = std::filesystem;
    const lang_table::Table english = EnglishTable();
    std::vector<std::string> codes = Linguas(), files;
    for (const auto& entry : fs::directory_iterator(std::string(ZV_SOURCE_DIR) + "/po")) {
        if (entry.path().extension() == ".po") {
            files.push_back(entry.path().stem().string());
        }
    }
    std::sort(codes.begin(), codes.end());
    std::sort(files.begin(), files.end());
    EXPECT_EQ(codes, files) << "po/LINGUAS and the PO files of po/ differ";
    ASSERT_GE(codes.size(), 7u);
    std::set<std::string> blocks, names;
    for (const std::string& code : codes) {
        SCOPED_TRACE(code);
        po::File file;
        std::string error;
        ASSERT_TRUE(po::Read(ReadSource("po/" + code + ".po"), file, error)) << error;
        EXPECT_EQ(po::HeaderField(file.header, "Language"), code);
        lang_table::Table table;
        std::vector<std::string> notes;
        ASSERT_TRUE(catalog::MakeTable(english, file, table, notes, error)) << error;
        for (const std::string& note : notes) {
            ADD_FAILURE() << note;
        }
        EXPECT_NE(table.block, "English");
        EXPECT_TRUE(blocks.insert(table.block).second) << "block named twice: " << table.block;
        const po::Entry* name = Find(file, "LanguageName");
        ASSERT_NE(name, nullptr);
        EXPECT_TRUE(names.insert(name->str).second) << "language named twice: " << name->str;
    }
}

