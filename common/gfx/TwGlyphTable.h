#pragma once
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#include "TwRect.h"

// A font's glyphs by character: where each glyph lies in the font's strip. Texts look glyphs
// up every frame, so the characters of the game's languages (Latin with its accents, Greek,
// Cyrillic: everything below U+0800) are found by indexing a flat table; any other character
// (the replacement character U+FFFD, symbols, emoji) by a binary search among the few the
// font has beyond it.
class TwGlyphTable {
public:
    // Characters below this are looked up directly.
    static constexpr char32_t kDirectLimit = 0x800;

    void Clear();
    // Gives the character this glyph, replacing the one it had.
    void Set(char32_t ch, const TwRect& glyph);
    // The character's glyph, or null when the font lacks it.
    const TwRect* Find(char32_t ch) const {
        if (ch < direct_.size()) {
            const std::uint32_t slot = direct_[ch];
            return slot != 0 ? &glyphs_[slot - 1] : nullptr;
        }
        return FindBeyond(ch);
    }
    std::size_t Size() const { return glyphs_.size(); }

private:
    const TwRect* FindBeyond(char32_t ch) const;

    // For each character below kDirectLimit, up to the highest the font has: its glyph's
    // place in glyphs_ plus one, 0 for none.
    std::vector<std::uint32_t> direct_;
    // The characters from kDirectLimit on, ascending, with their glyph's place in glyphs_.
    std::vector<std::pair<char32_t, std::uint32_t>> beyond_;
    std::vector<TwRect> glyphs_;
};
