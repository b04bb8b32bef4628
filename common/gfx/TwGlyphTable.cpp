#include "gfx/TwGlyphTable.h"

#include <algorithm>

namespace {

bool CodeBefore(const std::pair<char32_t, std::uint32_t>& entry, char32_t ch) {
    return entry.first < ch;
}

} // namespace

void TwGlyphTable::Clear() {
    direct_.clear();
    beyond_.clear();
    glyphs_.clear();
}

void TwGlyphTable::Set(char32_t ch, const TwRect& glyph) {
    if (ch < kDirectLimit) {
        if (ch >= direct_.size()) {
            direct_.resize(std::size_t(ch) + 1, 0);
        }
        std::uint32_t& slot = direct_[ch];
        if (slot == 0) {
            glyphs_.push_back(glyph);
            slot = std::uint32_t(glyphs_.size());
        } else {
            glyphs_[slot - 1] = glyph;
        }
        return;
    }
    const auto at = std::lower_bound(beyond_.begin(), beyond_.end(), ch, CodeBefore);
    if (at != beyond_.end() && at->first == ch) {
        glyphs_[at->second - 1] = glyph;
        return;
    }
    glyphs_.push_back(glyph);
    beyond_.insert(at, {ch, std::uint32_t(glyphs_.size())});
}

const TwRect* TwGlyphTable::FindBeyond(char32_t ch) const {
    const auto at = std::lower_bound(beyond_.begin(), beyond_.end(), ch, CodeBefore);
    return at != beyond_.end() && at->first == ch ? &glyphs_[at->second - 1] : nullptr;
}
