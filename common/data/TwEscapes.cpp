#include "data/TwEscapes.h"

#include <span>

namespace {

struct Escape {
    char character; // as it stands in the text
    char letter;    // what follows the backslash
};

constexpr Escape kDefinitionEscapes[] = {
    {'"', '"'}, {'\\', '\\'}, {'\n', 'n'}, {'\t', 't'}, {'\0', '0'}};
constexpr Escape kCEscapes[] = {{'"', '"'}, {'\\', '\\'}, {'\n', 'n'}, {'\t', 't'}, {'\r', 'r'}};

std::span<const Escape> EscapesOf(TwEscapeStyle style) {
    if (style == TwEscapeStyle::kC) {
        return kCEscapes;
    }
    return kDefinitionEscapes;
}

} // namespace

std::string TwEscape(std::string_view text, TwEscapeStyle style) {
    const std::span<const Escape> escapes = EscapesOf(style);
    std::string out;
    out.reserve(text.size() + 2);
    for (const char c : text) {
        bool escaped = false;
        for (const Escape& escape : escapes) {
            if (escape.character == c) {
                out += '\\';
                out += escape.letter;
                escaped = true;
                break;
            }
        }
        if (!escaped) {
            out += c;
        }
    }
    return out;
}

std::optional<std::string> TwUnescape(std::string_view escaped, TwEscapeStyle style) {
    const std::span<const Escape> escapes = EscapesOf(style);
    const bool strict = style == TwEscapeStyle::kC;
    std::string out;
    out.reserve(escaped.size());
    for (std::size_t i = 0; i < escaped.size(); ++i) {
        const char c = escaped[i];
        if (c == '"' && strict) {
            return std::nullopt;
        }
        if (c != '\\') {
            out += c;
            continue;
        }
        const Escape* found = nullptr;
        if (i + 1 < escaped.size()) {
            for (const Escape& escape : escapes) {
                if (escape.letter == escaped[i + 1]) {
                    found = &escape;
                    break;
                }
            }
        }
        if (found != nullptr) {
            out += found->character;
            ++i;
        } else if (strict) {
            return std::nullopt;
        } else {
            // Not an escape: the backslash stays, and the next character is read normally.
            out += '\\';
        }
    }
    return out;
}

std::size_t TwClosingQuote(std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\') {
            ++i; // the escaped character, a quote or a second backslash included
        } else if (text[i] == '"') {
            return i;
        }
    }
    return std::string_view::npos;
}
