#pragma once
#include <cstddef>
#include <string>
#include <string_view>

// Texts, names and font code lists are UTF-8. These helpers walk them one character (code
// point) at a time; a malformed sequence never stops the walk: each bad byte reads as one
// replacement character.
namespace TwUtf8 {

constexpr char32_t kReplacement = 0xFFFD;

// The character starting at `pos`; `pos` moves past it. A byte that does not start a valid
// sequence (a stray continuation byte, a truncated or overlong sequence, a surrogate, a value
// past U+10FFFF) gives kReplacement and `pos` moves by that one byte. `pos` must be inside
// `text`.
char32_t Next(std::string_view text, std::size_t& pos);

// The character's UTF-8 bytes; kReplacement's for a value that is no character.
std::string Encode(char32_t code);

// Where the last character of `text` starts (0 for an empty text), so removing from there
// removes a whole character, never half of one.
std::size_t LastCharStart(std::string_view text);

// The number of characters, counted as Next walks them.
std::size_t Length(std::string_view text);

} // namespace TwUtf8
