#include "LangTable.h"

#include <algorithm>
#include <sstream>

#include "Trim.h"
#include "data/TwEscapes.h"

namespace lang_table {

namespace {

// Decodes the quoted value starting at `text` (after the opening quote) with the game's own
// escapes; `end` gets the position after the closing quote, npos when the quote does not close.
std::string Unquote(const std::string& text, std::size_t& end) {
    const std::size_t close = TwClosingQuote(text);
    if (close == std::string::npos) {
        end = std::string::npos;
        return {};
    }
    end = close + 1;
    return TwUnescape(std::string_view(text).substr(0, close), TwEscapeStyle::kDefinition).value();
}

std::string Quote(const std::string& text) {
    return '"' + TwEscape(text, TwEscapeStyle::kDefinition) + '"';
}

} // namespace

bool Read(const std::string& bytes, Table& table, std::string& error) {
    table = Table();
    std::vector<std::string> blocks;
    std::string comment;
    bool commentOpen = false; // comment lines still being gathered (no entry since)
    std::istringstream in(bytes);
    std::string raw;
    int lineNumber = 0;
    auto fail = [&](const std::string& why) {
        error = "line " + std::to_string(lineNumber) + ": " + why;
        return false;
    };
    while (std::getline(in, raw)) {
        ++lineNumber;
        const std::string line = Trim(raw);
        if (line.empty()) {
            comment.clear(); // a blank line ends a group: its comment no longer applies
            commentOpen = false;
            continue;
        }
        if (line.rfind("//", 0) == 0) {
            if (blocks.empty()) {
                continue; // the file's own introduction
            }
            if (!commentOpen) {
                comment.clear();
                commentOpen = true;
            }
            comment += (comment.empty() ? "" : "\n") + Trim(line.substr(2));
            continue;
        }
        commentOpen = false;
        if (line == "}") {
            if (blocks.empty()) {
                return fail("a '}' closes no block");
            }
            blocks.pop_back();
            continue;
        }
        const std::size_t eq = line.find('=');
        if (eq == std::string::npos) {
            return fail("no '=' after a name");
        }
        const std::string name = Trim(line.substr(0, eq));
        const std::string value = Trim(line.substr(eq + 1));
        if (name.empty() || name.find_first_of(" \t.") != std::string::npos) {
            return fail("not a name: \"" + name + "\"");
        }
        if (value == "{") {
            if (blocks.empty()) {
                table.block = name;
            }
            blocks.push_back(name);
            comment.clear();
            continue;
        }
        if (blocks.empty()) {
            return fail("a text outside the language block");
        }
        if (value.empty() || value[0] != '"') {
            return fail("the text of " + name + " is not quoted");
        }
        std::string rest = value.substr(1);
        std::size_t end = std::string::npos;
        std::string text = Unquote(rest, end);
        // A quoted text may run over several lines.
        while (end == std::string::npos && std::getline(in, raw)) {
            ++lineNumber;
            rest += "\n" + raw;
            text = Unquote(rest, end);
        }
        if (end == std::string::npos) {
            return fail("the text of " + name + " never closes");
        }
        Entry entry;
        for (std::size_t i = 1; i < blocks.size(); ++i) {
            entry.key += blocks[i] + ".";
        }
        entry.key += name;
        entry.text = text;
        entry.comment = comment;
        table.entries.push_back(std::move(entry));
    }
    if (table.block.empty()) {
        return fail("no language block");
    }
    if (!blocks.empty()) {
        return fail("the block " + blocks.back() + " never closes");
    }
    return true;
}

std::string Write(const Table& table, const std::string& intro) {
    std::ostringstream out;
    std::istringstream lines(intro);
    for (std::string line; std::getline(lines, line);) {
        out << "// " << line << "\n";
    }
    out << table.block << " = {\n";
    // Texts without a dot first, then every inner block in the order it first appears.
    std::vector<std::string> inner;
    for (const Entry& entry : table.entries) {
        const std::size_t dot = entry.key.find('.');
        if (dot == std::string::npos) {
            out << "    " << entry.key << " = " << Quote(entry.text) << "\n";
        } else if (std::find(inner.begin(), inner.end(), entry.key.substr(0, dot)) == inner.end()) {
            inner.push_back(entry.key.substr(0, dot));
        }
    }
    for (const std::string& block : inner) {
        out << "\n    " << block << " = {\n";
        for (const Entry& entry : table.entries) {
            if (entry.key.rfind(block + ".", 0) == 0) {
                out << "        " << entry.key.substr(block.size() + 1) << " = "
                    << Quote(entry.text) << "\n";
            }
        }
        out << "    }\n";
    }
    out << "}\n";
    return out.str();
}

} // namespace lang_table
