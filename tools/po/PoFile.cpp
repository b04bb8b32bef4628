#include "PoFile.h"

#include <algorithm>
#include <optional>
#include <sstream>

#include "Trim.h"
#include "data/TwEscapes.h"

namespace po {

namespace {

// Decodes one C-style quoted string forming the whole of `s`, appending it to `out`; false
// when it is not one.
bool Unquote(const std::string& s, std::string& out) {
    if (s.size() < 2 || s.front() != '"' || s.back() != '"') {
        return false;
    }
    const std::optional<std::string> text =
        TwUnescape(std::string_view(s).substr(1, s.size() - 2), TwEscapeStyle::kC);
    if (!text) {
        return false;
    }
    out += *text;
    return true;
}

std::string Quote(const std::string& text) {
    return '"' + TwEscape(text, TwEscapeStyle::kC) + '"';
}

void WriteString(std::ostringstream& out, const char* keyword, const std::string& text) {
    // Split after every line break of the game ('#') and of the header ('\n').
    std::vector<std::string> parts(1);
    for (std::size_t i = 0; i < text.size(); ++i) {
        parts.back() += text[i];
        if ((text[i] == '#' || text[i] == '\n') && i + 1 < text.size()) {
            parts.emplace_back();
        }
    }
    out << keyword << " ";
    if (parts.size() > 1) {
        out << "\"\"\n";
        for (const std::string& part : parts) {
            out << Quote(part) << "\n";
        }
    } else {
        out << Quote(parts.front()) << "\n";
    }
}

enum class Field { None, Context, Id, Str };

} // namespace

bool Entry::Fuzzy() const {
    return std::find(flags.begin(), flags.end(), "fuzzy") != flags.end();
}

bool Read(const std::string& bytes, File& file, std::string& error) {
    file = File();
    Entry entry;
    bool hasId = false, hasStr = false, sawHeader = false;
    Field field = Field::None;
    int lineNumber = 0;
    auto fail = [&](const std::string& why) {
        error = "line " + std::to_string(lineNumber) + ": " + why;
        return false;
    };
    auto finish = [&]() {
        if (!hasId) {
            return true;
        }
        if (!hasStr) {
            return fail("an entry without msgstr");
        }
        if (entry.id.empty() && entry.context.empty()) {
            if (sawHeader) {
                return fail("a second header");
            }
            sawHeader = true;
            file.headerComments = entry.translatorComments;
            file.headerFlags = entry.flags;
            file.header = entry.str;
        } else {
            file.entries.push_back(entry);
        }
        entry = Entry();
        hasId = hasStr = false;
        field = Field::None;
        return true;
    };
    // Some editors start a UTF-8 file with a byte-order mark; it is no part of the text.
    const std::string bom = "\xEF\xBB\xBF";
    std::istringstream in(bytes.compare(0, bom.size(), bom) == 0 ? bytes.substr(bom.size())
                                                                 : bytes);
    std::string raw;
    while (std::getline(in, raw)) {
        ++lineNumber;
        const std::string line = Trim(raw);
        if (line.empty()) {
            continue;
        }
        if (line[0] == '#') {
            if (hasStr && !finish()) {
                return false;
            }
            if (line.rfind("#~", 0) == 0 || line.rfind("#|", 0) == 0 || line.rfind("#:", 0) == 0) {
                continue; // obsolete entries, previous texts and references are not kept
            }
            if (line.rfind("#.", 0) == 0) {
                entry.extractedComments.push_back(Trim(line.substr(2)));
            } else if (line.rfind("#,", 0) == 0) {
                std::istringstream flags(line.substr(2));
                for (std::string flag; std::getline(flags, flag, ',');) {
                    if (!Trim(flag).empty()) {
                        entry.flags.push_back(Trim(flag));
                    }
                }
            } else {
                entry.translatorComments.push_back(
                    line.size() > 1 && line[1] == ' ' ? line.substr(2) : line.substr(1));
            }
            continue;
        }
        if (line[0] == '"') {
            std::string more;
            if (!Unquote(line, more)) {
                return fail("a broken string");
            }
            switch (field) {
            case Field::Context:
                entry.context += more;
                break;
            case Field::Id:
                entry.id += more;
                break;
            case Field::Str:
                entry.str += more;
                break;
            case Field::None:
                return fail("a string outside an entry");
            }
            continue;
        }
        const std::size_t space = line.find_first_of(" \t");
        const std::string keyword = line.substr(0, space);
        std::string value;
        if (space == std::string::npos || !Unquote(Trim(line.substr(space)), value)) {
            return fail("a keyword without a string: " + keyword);
        }
        if (keyword == "msgctxt") {
            if ((hasStr && !finish()) || hasId) {
                return hasId ? fail("msgctxt inside an entry") : false;
            }
            entry.context = value;
            field = Field::Context;
        } else if (keyword == "msgid") {
            if ((hasStr && !finish()) || hasId) {
                return hasId ? fail("a second msgid") : false;
            }
            entry.id = value;
            hasId = true;
            field = Field::Id;
        } else if (keyword == "msgstr") {
            if (!hasId || hasStr) {
                return fail("msgstr without its msgid");
            }
            entry.str = value;
            hasStr = true;
            field = Field::Str;
        } else {
            return fail("not used in this game's PO files: " + keyword);
        }
    }
    if (!finish()) {
        return false;
    }
    if (hasId || !entry.context.empty()) {
        return fail("the last entry is not complete");
    }
    return true;
}

std::string Write(const File& file) {
    std::ostringstream out;
    for (const std::string& comment : file.headerComments) {
        out << "#" << (comment.empty() ? "" : " ") << comment << "\n";
    }
    if (!file.headerFlags.empty()) {
        out << "#";
        for (const std::string& flag : file.headerFlags) {
            out << ", " << flag;
        }
        out << "\n";
    }
    out << "msgid \"\"\n";
    WriteString(out, "msgstr", file.header);
    for (const Entry& entry : file.entries) {
        out << "\n";
        for (const std::string& comment : entry.translatorComments) {
            out << "#" << (comment.empty() ? "" : " ") << comment << "\n";
        }
        for (const std::string& comment : entry.extractedComments) {
            out << "#." << (comment.empty() ? "" : " ") << comment << "\n";
        }
        if (!entry.flags.empty()) {
            out << "#";
            for (const std::string& flag : entry.flags) {
                out << ", " << flag;
            }
            out << "\n";
        }
        WriteString(out, "msgctxt", entry.context);
        WriteString(out, "msgid", entry.id);
        WriteString(out, "msgstr", entry.str);
    }
    return out.str();
}

std::string HeaderField(const std::string& header, const std::string& name) {
    std::istringstream lines(header);
    for (std::string line; std::getline(lines, line);) {
        if (line.size() > name.size() && line.compare(0, name.size(), name) == 0 &&
            line[name.size()] == ':') {
            return Trim(line.substr(name.size() + 1));
        }
    }
    return "";
}

} // namespace po
