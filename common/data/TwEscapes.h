#pragma once
// The backslash escapes of quoted texts, in the two forms the game's files are written in.
#include <optional>
#include <string>
#include <string_view>

enum class TwEscapeStyle {
    // The text definition files (docs/formats/text-definitions.md), and so the language
    // tables: \" \\ \n \t, and \0 for a NUL byte. A backslash before any other character,
    // or at the very end, is an ordinary character.
    kDefinition,
    // C's escapes as gettext's PO files write them: \" \\ \n \t \r. Any other escape, a
    // backslash at the very end or a bare quote makes the text invalid.
    kC,
};

// `text` with each character the style has an escape for written as that escape; no
// quotes are added around it.
std::string TwEscape(std::string_view text, TwEscapeStyle style);

// The text `escaped` (the inside of a quoted text, without its quotes) stands for; nothing
// when the style refuses it, which kDefinition never does.
std::optional<std::string> TwUnescape(std::string_view escaped, TwEscapeStyle style);

// The position of the quote that closes a quoted text, `text` starting just after its opening
// quote: the first quote that no backslash escapes. npos when the text never closes.
std::size_t TwClosingQuote(std::string_view text);
