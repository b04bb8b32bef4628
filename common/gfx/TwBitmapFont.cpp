#include "gfx/TwBitmapFont.h"

#include <algorithm>
#include <cstring>

#include "data/TwDefFile.h"
#include "data/TwResourceManager.h"
#include "data/TwUtf8.h"
#include "gfx/TwMissingResources.h"
#include "platform/picture/TwPicture.h"

namespace {

// The strip copy starts at this byte of the .Tga file (inside its 18-byte header), so the
// ink test of column x reads the alpha of the stored pixel two columns to its left. Glyph
// edges found by the scan are therefore in those shifted "test columns"; the fonts are drawn
// for exactly this rule.
constexpr std::size_t kStripOffset = 12;
constexpr std::size_t kTgaHeader = 18;

bool IsStripHeader(std::string_view bytes) {
    if (bytes.size() < kStripOffset) {
        return false;
    }
    if (bytes[0] != 0 || bytes[1] != 0 || (bytes[2] != 2 && bytes[2] != 3)) {
        return false;
    }
    return std::all_of(bytes.begin() + 3, bytes.begin() + kStripOffset,
                       [](char c) { return c == 0; });
}

std::uint8_t ByteAt(std::string_view bytes, std::size_t index) {
    return index < bytes.size() ? std::uint8_t(bytes[index]) : 0;
}

// The uncompressed 32-bit TGA file a decoded strip stands for (rows bottom first, BGRA), so
// a strip stored in a compressed form is scanned exactly as the plain file would be.
std::string PlainStripFile(const TwPicture& picture) {
    std::string file(kTgaHeader, '\0');
    file[2] = 2;
    file[12] = char(picture.width & 0xFF);
    file[13] = char(picture.width >> 8);
    file[14] = char(picture.height & 0xFF);
    file[15] = char(picture.height >> 8);
    file[16] = 32;
    file[17] = 8;
    file.reserve(kTgaHeader + picture.rgba.size());
    for (int y = picture.height - 1; y >= 0; --y) {
        const std::uint8_t* row = &picture.rgba[std::size_t(y) * picture.width * 4];
        for (int x = 0; x < picture.width; ++x) {
            const std::uint8_t* p = row + std::size_t(x) * 4;
            file += {char(p[2]), char(p[1]), char(p[0]), char(p[3])};
        }
    }
    return file;
}

} // namespace

bool TwBitmapFont::Load(const std::string& fontName) {
    TwDefFile defs;
    std::string text;
    if (TwResourceManager::Instance().GetResource("Data/Fonts.Txt", text) > 0) {
        defs.LoadFromMemory(text.data(), text.size());
    }
    const std::string prefix = fontName + ".";
    Configure(defs.GetCString(prefix + "Codes"), defs.GetInt(prefix + "MonoWidth", 0),
              defs.GetInt(prefix + "CharDist", 0), defs.GetInt(prefix + "SpaceSize", 0),
              defs.GetInt(prefix + "RowHeight", 0));
    const std::string fileName = defs.GetString(prefix + "FileName");

    SetImage(fileName, false);
    // The strip is read as a plain TGA when stored so, else from its compressed form.
    const std::string base = "Data/Textures/" + fileName;
    std::string strip;
    if (TwResourceManager::Instance().GetResource(base + ".Tga", strip) != -1) {
        return ReadStrip(strip, Width(), Height());
    }
    if (TwResourceManager::Instance().GetResource(base + ".Webp", strip) == -1) {
        TwMissingResources::ReportFile(fileName);
        return false;
    }
    TwPicture picture;
    if (!TwDecodePicture(strip, picture)) {
        return ReadStrip({}, 0, 0); // no glyphs, as for a damaged plain strip
    }
    return ReadStripPicture(picture);
}

void TwBitmapFont::Configure(const std::string& codes, int monoWidth, int charDist, int spaceSize,
                             int rowHeight) {
    codes_ = codes;
    codePoints_.clear();
    for (std::size_t pos = 0; pos < codes.size();) {
        codePoints_.push_back(TwUtf8::Next(codes, pos));
    }
    rowHeight_ = rowHeight;
    monoWidth_ = monoWidth;
    charDist_ = charDist;
    spaceSize_ = spaceSize;
}

bool TwBitmapFont::ReadStrip(std::string_view fileBytes, int width, int height) {
    glyphs_.Clear();
    replacement_ = U'?';
    pixels_.clear();
    stripWidth_ = 0;
    stripHeight_ = 0;
    topDown_ = false;
    if (!IsStripHeader(fileBytes) || width < 0 || height < 0 || width > kTwMaxPictureSide ||
        height > kTwMaxPictureSide) {
        return false;
    }
    stripWidth_ = width;
    stripHeight_ = height;
    topDown_ = (ByteAt(fileBytes, 17) & 0x20) != 0;
    const std::size_t count = std::size_t(width) * height * 4;
    pixels_.assign(count + 3, 0);

    const bool grey = fileBytes[2] == 3 && ByteAt(fileBytes, 16) == 8;
    if (grey) {
        // A grey strip is read as the 32-bit strip it stands for: each grey byte becomes a
        // pixel whose four bytes (and so its alpha) are that grey value.
        for (std::size_t j = 0; j < count; ++j) {
            const std::size_t fileIndex = kStripOffset + j;
            pixels_[j] = fileIndex < kTgaHeader
                             ? ByteAt(fileBytes, fileIndex)
                             : ByteAt(fileBytes, kTgaHeader + (fileIndex - kTgaHeader) / 4);
        }
    } else {
        const std::size_t available = fileBytes.size() - kStripOffset;
        std::memcpy(pixels_.data(), fileBytes.data() + kStripOffset, std::min(count, available));
    }

    if (monoWidth_ != -1) {
        BuildCells();
    } else {
        BuildByScan();
    }
    replacement_ = HasGlyph(TwUtf8::kReplacement) ? TwUtf8::kReplacement : U'?';
    return true;
}

bool TwBitmapFont::ReadStripPicture(const TwPicture& picture) {
    return ReadStrip(PlainStripFile(picture), picture.width, picture.height);
}

bool TwBitmapFont::Opaque(int column, int row) const {
    if (column < 0 || row < 0 || column >= stripWidth_ || row >= stripHeight_) {
        return false;
    }
    const std::size_t index = 4 * (std::size_t(row) * stripWidth_ + column) + 1;
    return index < pixels_.size() && pixels_[index] != 0;
}

// The rows of one band of glyphs, counted from the picture's top, as the file stores them.
bool TwBitmapFont::ColumnHasInk(int column, int band) const {
    const int rows = BandHeight();
    for (int r = band * rows; r < (band + 1) * rows && r < stripHeight_; ++r) {
        if (Opaque(column, topDown_ ? r : stripHeight_ - 1 - r)) {
            return true;
        }
    }
    return false;
}

int TwBitmapFont::BandHeight() const {
    return rowHeight_ > 0 && rowHeight_ < stripHeight_ ? rowHeight_ : stripHeight_;
}

void TwBitmapFont::BuildCells() {
    int x = 0;
    for (char32_t ch : codePoints_) {
        if (x >= stripWidth_) {
            break;
        }
        glyphs_.Set(ch, TwRect{x, 0, x + monoWidth_, stripHeight_});
        x += monoWidth_;
    }
}

// Each band is scanned left to right; the scan goes on in the next band, near its left edge,
// where a band's glyphs end.
void TwBitmapFont::BuildByScan() {
    const int h = BandHeight();
    if (codePoints_.empty() || h <= 0) {
        return;
    }
    glyphs_.Set(codePoints_[0], TwRect{0, 0, spaceSize_, h});
    int i = spaceSize_;
    std::size_t next = 1;
    for (int band = 0; band < stripHeight_ / h && next < codePoints_.size(); ++band) {
        if (band > 0) {
            // Test columns 0 and 1 read the end of the row stored before (or, for the first
            // stored row, the file's header), so a later band's scan starts at column 2.
            i = 2;
        }
        while (next < codePoints_.size() && ScanGlyph(band, i, codePoints_[next])) {
            ++next;
        }
    }
}

// Finds the next glyph of the band from column i on. False when the band ends first.
bool TwBitmapFont::ScanGlyph(int band, int& i, char32_t ch) {
    const int w = stripWidth_, h = BandHeight();
    // The glyph starts one column before the first column with ink. A start found at
    // column 1 gives 0, which counts as no start.
    int start = 0;
    do {
        start = ColumnHasInk(i, band) ? i - 1 : 0;
        ++i;
        if (i > w - 1) {
            return false;
        }
    } while (start == 0);
    // It ends at the first clear column after it, counted from the start; a glyph that
    // runs into the band's last column is dropped.
    int b = start, end = 0;
    do {
        end = ColumnHasInk(i, band) ? 0 : b;
        ++i;
        if (i > w - 1) {
            return false;
        }
        ++b;
    } while (end == 0);
    glyphs_.Set(ch, TwRect{start, band * h, end, band * h + h});
    return true;
}

char32_t TwBitmapFont::NextChar(std::string_view text, std::size_t& pos) const {
    const auto byte = static_cast<unsigned char>(text[pos]);
    if (byte < 0x80) {
        ++pos; // plain ASCII, most of every text
        return byte;
    }
    const char32_t ch = TwUtf8::Next(text, pos);
    return ch == TwUtf8::kReplacement ? Replacement() : ch;
}

int TwBitmapFont::DrawChar(float px, float py, char32_t ch) {
    return DrawGlyph(px, py, ch, Argb());
}

int TwBitmapFont::DrawGlyph(float px, float py, char32_t ch, std::uint32_t argb) {
    const TwRect glyph = Glyph(ch);
    const int w = glyph.Width();
    SetPosition(px + float(w) / 2.0f, py, 0.0f);
    DrawTintedFrame(argb, w, glyph.Height(), glyph.left, glyph.top);
    return w + charDist_;
}

int TwBitmapFont::TextWidth(std::string_view text) const {
    int width = 0;
    for (std::size_t pos = 0; pos < text.size();) {
        width += Glyph(NextChar(text, pos)).Width() + charDist_;
    }
    return width;
}

void TwBitmapFont::DrawText(float px, float py, std::string_view text, int align, TwVector* pen) {
    if (align == AlignCentre) {
        const int halfWidth = TextWidth(text) / 2; // whole pixels, as texts always were
        px -= float(halfWidth);
    } else if (align == AlignRight) {
        px -= float(TextWidth(text));
    }
    const std::uint32_t argb = Argb(); // the same for every glyph
    for (std::size_t pos = 0; pos < text.size();) {
        px += float(DrawGlyph(px, py, NextChar(text, pos), argb));
    }
    if (pen != nullptr) {
        *pen = TwVector(px, py, 0.0f);
    }
}
