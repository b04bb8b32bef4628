#include "data/TwDefFile.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cstdlib>
#include <locale.h>
#include <string_view>

#include "data/TwEscapes.h"
#include "platform/os/TwUserFiles.h"

namespace {

// Far beyond any grid the game stores (the field is at most 20 x 20).
constexpr std::size_t kMaxGridCells = std::size_t{1} << 22;

bool IsBlank(char c) {
    return c == '\0' || c == '\t' || c == '\n' || c == ' ';
}

// Decimal to double exactly as the C locale reads it, whatever locale the player runs in.
double CLocaleToDouble(const char* text) {
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
    return strtod_l(text, nullptr, cLocale);
}

// Leading blanks, optional sign, digits; stops at the first other character. Values beyond
// the int range are clamped rather than wrapped.
int ParseDecimal(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1) {
            value = static_cast<long long>(INT_MAX) + 1;
        }
    }
    if (negative) {
        value = -value;
    }
    if (value > INT_MAX) {
        return INT_MAX;
    }
    return static_cast<int>(value);
}

// Hexadecimal digits after the "0x"; like a 32-bit scan, 0xFFFFFFFF reads as -1.
int ParseHex(const std::string& text) {
    std::uint32_t value = 0;
    for (std::size_t i = 2; i < text.size(); ++i) {
        const char c = text[i];
        int digit = 0;
        if (c >= '0' && c <= '9') {
            digit = c - '0';
        } else if (c >= 'a' && c <= 'f') {
            digit = c - 'a' + 10;
        } else if (c >= 'A' && c <= 'F') {
            digit = c - 'A' + 10;
        } else {
            break;
        }
        value = value * 16 + static_cast<std::uint32_t>(digit);
    }
    return static_cast<int>(value);
}

// The raw value without its first and last character (quotes, brackets, braces).
std::string Inner(const std::string& raw) {
    return raw.size() < 2 ? std::string() : raw.substr(1, raw.size() - 2);
}

// Splits a dotted key into its components ("A.B.C" -> A, B, C).
std::vector<std::string> SplitKey(const std::string& key) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t dot = key.find('.', start);
        if (dot == std::string::npos) {
            parts.push_back(key.substr(start));
            return parts;
        }
        parts.push_back(key.substr(start, dot - start));
        start = dot + 1;
    }
}

// The parser's cursor over the loaded text.
class Scanner {
public:
    explicit Scanner(const std::string& text) : t_(text) {}

    bool AtEnd() const { return p_ >= t_.size(); }
    std::size_t Pos() const { return p_; }
    void SetPos(std::size_t pos) { p_ = pos; }
    char Peek() const { return t_[p_]; }
    void Advance() { ++p_; }

    // Skips blanks and "//" comments; the text's last character is never skipped.
    void SkipBlanks() {
        while (p_ + 1 < t_.size()) {
            if (IsBlank(t_[p_])) {
                ++p_;
            } else if (t_[p_] == '/' && t_[p_ + 1] == '/') {
                SkipComment();
            } else {
                return;
            }
        }
    }

    // A key name runs to a blank or '='; a '}' at its start is a name by itself.
    std::string ReadName() {
        const std::size_t start = p_;
        if (!AtEnd() && t_[p_] == '}') {
            ++p_;
            return "}";
        }
        while (!AtEnd() && !IsBlank(t_[p_]) && t_[p_] != '=') {
            ++p_;
        }
        return t_.substr(start, p_ - start);
    }

    // Reads a scalar value as written; false when it runs off the end of the text.
    bool ReadScalar(std::string& raw) {
        const char first = t_[p_];
        if (first == '"') {
            return ReadQuoted(raw);
        }
        if (first == '[') {
            return ReadBracketed(raw);
        }
        const std::size_t start = p_;
        while (!AtEnd() && !IsBlank(t_[p_]) && t_[p_] != '}') {
            ++p_;
        }
        raw = t_.substr(start, p_ - start);
        return !AtEnd();
    }

    // Reads a grid from its first '[' up to the '}' that closes it, keeping only the rows.
    bool ReadGrid(std::string& raw) {
        raw = "{";
        while (!AtEnd()) {
            const char c = t_[p_];
            if (c == '[') {
                std::string row;
                if (!ReadBracketed(row)) {
                    raw += row;
                    return false;
                }
                raw += row;
            } else if (c == '}') {
                ++p_;
                raw += '}';
                return true;
            } else if (c == '/' && p_ + 1 < t_.size() && t_[p_ + 1] == '/') {
                SkipComment();
            } else {
                ++p_;
            }
        }
        return false;
    }

private:
    void SkipComment() {
        const std::size_t lf = t_.find('\n', p_);
        p_ = lf == std::string::npos ? t_.size() : lf;
    }

    bool ReadQuoted(std::string& raw) {
        const std::size_t start = p_++;
        while (!AtEnd()) {
            const char c = t_[p_++];
            if (c == '\\' && !AtEnd()) {
                ++p_; // the escaped character, a quote or a second backslash included
            } else if (c == '"') {
                raw = t_.substr(start, p_ - start);
                return true;
            }
        }
        raw = t_.substr(start) + '"';
        return false;
    }

    bool ReadBracketed(std::string& raw) {
        const std::size_t close = t_.find(']', p_);
        if (close == std::string::npos) {
            raw = t_.substr(p_) + ']';
            p_ = t_.size();
            return false;
        }
        raw = t_.substr(p_, close + 1 - p_);
        p_ = close + 1;
        return true;
    }

    const std::string& t_;
    std::size_t p_ = 0;
};

// The 1-based number of the line holding byte `pos`.
int LineOf(const std::string& text, std::size_t pos) {
    const auto end = text.begin() + static_cast<std::ptrdiff_t>(std::min(pos, text.size()));
    return 1 + static_cast<int>(std::count(text.begin(), end, '\n'));
}

// Where the line after the one holding byte `pos` starts (the text's end when none follows).
std::size_t NextLineStart(const std::string& text, std::size_t pos) {
    const std::size_t lf = text.find('\n', pos);
    return lf == std::string::npos ? text.size() : lf + 1;
}

// Removes the innermost block name from a prefix such as "A.B." (giving "A.").
void CloseBlock(std::string& prefix) {
    if (prefix.size() < 2) {
        prefix.clear();
        return;
    }
    const std::size_t dot = prefix.rfind('.', prefix.size() - 2);
    prefix.resize(dot == std::string::npos ? 0 : dot + 1);
}

enum class ItemResult { Read, EndOfText, Damaged };

// Reads one item (a key and its value, a block's start or end) into `values`.
// `stored` receives the full key of a value read (and stays as it is otherwise).
ItemResult ParseItem(Scanner& scan, const std::string& text, std::string& prefix,
                     std::map<std::string, std::string>& values, bool skipDamage,
                     std::string& stored) {
    const std::string name = scan.ReadName();
    if (scan.AtEnd()) {
        return name.empty() ? ItemResult::EndOfText : ItemResult::Damaged;
    }
    if (name.empty()) {
        // An item starting with '=' ends the file quietly; when damage is skipped, only the
        // text's own end does (a stray '=' mid-file is one more damaged line).
        const bool textEnd = scan.Pos() + 1 >= text.size();
        return !skipDamage || textEnd ? ItemResult::EndOfText : ItemResult::Damaged;
    }
    if (name == "}") {
        if (prefix.empty()) {
            return ItemResult::Damaged;
        }
        CloseBlock(prefix);
        return ItemResult::Read;
    }
    scan.SkipBlanks();
    if (scan.Peek() != '=') {
        return ItemResult::Damaged;
    }
    scan.Advance();
    scan.SkipBlanks();
    if (scan.AtEnd()) {
        return ItemResult::Damaged;
    }
    std::string raw;
    if (scan.Peek() == '{') {
        scan.Advance();
        scan.SkipBlanks();
        if (scan.AtEnd()) {
            return ItemResult::Damaged;
        }
        if (scan.Peek() != '[') {
            prefix += name + '.';
            return ItemResult::Read;
        }
        if (!scan.ReadGrid(raw)) {
            return ItemResult::Damaged;
        }
    } else if (!scan.ReadScalar(raw)) {
        return ItemResult::Damaged;
    }
    stored = prefix + name;
    values[stored] = std::move(raw);
    return ItemResult::Read;
}

} // namespace

int TwDefFile::LoadFromFile(const std::string& path, OnError onError) {
    values_.clear();
    text_.clear();
    errorLine_ = 0;
    std::string bytes;
    if (!TwReadFile(path, bytes)) {
        failed_ = 1;
        return 1;
    }
    // Line by line: an LF or CR LF line end is removed and every line gets one LF.
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t lf = bytes.find('\n', start);
        const bool hasEnd = lf != std::string::npos;
        if (!hasEnd) {
            lf = bytes.size();
        }
        std::size_t end = lf;
        if (hasEnd && end > start && bytes[end - 1] == '\r') {
            --end;
        }
        text_.append(bytes, start, end - start);
        text_ += '\n';
        start = lf + 1;
    }
    return Parse(onError);
}

int TwDefFile::LoadFromMemory(const char* bytes, std::size_t count) {
    values_.clear();
    text_.clear();
    std::string_view image(bytes ? bytes : "", bytes ? count : 0);
    image = image.substr(0, image.find('\0'));
    // Every CR ends a piece, and every piece gets one LF.
    std::size_t start = 0;
    for (;;) {
        const std::size_t cr = image.find('\r', start);
        const std::size_t end = cr == std::string_view::npos ? image.size() : cr;
        text_.append(image.substr(start, end - start));
        text_ += '\n';
        if (cr == std::string_view::npos) {
            break;
        }
        start = cr + 1;
    }
    return Parse(OnError::Stop);
}

int TwDefFile::Parse(OnError onError) {
    Scanner scan(text_);
    std::string prefix;
    errorLine_ = 0;
    positions_.clear();
    while (!scan.AtEnd()) {
        scan.SkipBlanks();
        const std::size_t itemStart = scan.Pos();
        std::string stored;
        const ItemResult result =
            ParseItem(scan, text_, prefix, values_, onError == OnError::SkipLine, stored);
        if (result == ItemResult::Read && !stored.empty()) {
            positions_[stored] = itemStart;
        }
        if (result == ItemResult::EndOfText) {
            break;
        }
        if (result == ItemResult::Damaged) {
            if (errorLine_ == 0) {
                errorLine_ = LineOf(text_, itemStart);
            }
            if (onError == OnError::Stop) {
                break;
            }
            // The damaged line goes; reading resumes on the next line, in the same block.
            scan.SetPos(NextLineStart(text_, itemStart));
        }
    }
    failed_ = errorLine_ != 0 ? 1 : 0;
    return failed_;
}

int TwDefFile::KeyLine(const std::string& key) const {
    const auto found = positions_.find(key);
    return found != positions_.end() ? LineOf(text_, found->second) : 0;
}

std::string TwDefFile::Serialize() const {
    std::string out;
    std::vector<std::string> openBlocks;
    const auto closeDownTo = [&](std::size_t depth) {
        while (openBlocks.size() > depth) {
            openBlocks.pop_back();
            out.append(openBlocks.size(), '\t');
            out += "}\n";
        }
    };
    for (const auto& [key, raw] : values_) {
        std::vector<std::string> parts = SplitKey(key);
        const std::string last = parts.back();
        parts.pop_back();
        std::size_t common = 0;
        while (common < parts.size() && common < openBlocks.size() &&
               parts[common] == openBlocks[common]) {
            ++common;
        }
        closeDownTo(common);
        for (std::size_t d = common; d < parts.size(); ++d) {
            out.append(d, '\t');
            out += parts[d] + " = {\n";
            openBlocks.push_back(parts[d]);
        }
        out.append(parts.size(), '\t');
        out += last;
        out += '=';
        out += raw;
        out += '\n';
    }
    closeDownTo(0);
    return out;
}

int TwDefFile::Save(const std::string& path) {
    if (!TwWriteFileAtomic(path, Serialize())) {
        failed_ = 1;
        return 1;
    }
    failed_ = 0;
    return 0;
}

const std::string* TwDefFile::Find(const std::string& key) {
    failed_ = 0;
    const auto it = values_.find(key);
    if (it == values_.end()) {
        failed_ = 1;
        return nullptr;
    }
    return &it->second;
}

int TwDefFile::GetInt(const std::string& key, int def) {
    const std::string* raw = Find(key);
    if (!raw) {
        return def;
    }
    if (raw->size() >= 2 && (*raw)[0] == '0' && (*raw)[1] == 'x') {
        return ParseHex(*raw);
    }
    return ParseDecimal(*raw);
}

float TwDefFile::GetFloat(const std::string& key, float def) {
    const std::string* raw = Find(key);
    return raw ? static_cast<float>(CLocaleToDouble(raw->c_str())) : def;
}

std::string TwDefFile::GetString(const std::string& key, const std::string& def) {
    const std::string* raw = Find(key);
    return raw ? TwUnescape(Inner(*raw), TwEscapeStyle::kDefinition).value() : def;
}

std::string TwDefFile::GetCString(const std::string& key, const char* def) {
    const std::string* raw = Find(key);
    if (!raw) {
        return def ? std::string(def) : std::string();
    }
    std::string text = TwUnescape(Inner(*raw), TwEscapeStyle::kDefinition).value();
    return text.substr(0, text.find('\0'));
}

std::vector<float> TwDefFile::GetFloatList(const std::string& key, char sep) {
    std::vector<float> list;
    const std::string* raw = Find(key);
    if (!raw) {
        return list;
    }
    const std::string body = Inner(*raw) + sep;
    std::size_t pos = body.find_first_not_of(sep);
    while (pos != std::string::npos) {
        const std::size_t end = body.find(sep, pos);
        const std::string token = body.substr(pos, end - pos);
        list.push_back(static_cast<float>(CLocaleToDouble(token.c_str())));
        pos = body.find_first_not_of(sep, end);
    }
    return list;
}

TwVector TwDefFile::GetVector3(const std::string& key, char sep) {
    const std::vector<float> list = GetFloatList(key, sep);
    float v[3] = {-1024.0f, -1024.0f, -1024.0f};
    for (std::size_t i = 0; i < list.size() && i < 3; ++i) {
        v[i] = list[i];
    }
    return {v[0], v[1], v[2]};
}

std::string TwDefFile::GetCharGrid(const std::string& key, int& width, int& height, char sep,
                                   const char* def) {
    const std::string* raw = Find(key);
    if (!raw) {
        width = 1;
        height = 1;
        return def ? std::string(def) : std::string();
    }
    std::string body;
    for (const char c : Inner(*raw)) {
        if (c != sep) {
            body += c;
        }
    }
    // Every ']' ends a row, which starts after its '['.
    std::vector<std::string> rows;
    std::size_t rowStart = 0;
    std::size_t longest = 0;
    for (std::size_t close = body.find(']'); close != std::string::npos;
         close = body.find(']', rowStart)) {
        const std::size_t open = body.rfind('[', close);
        const std::size_t begin =
            (open != std::string::npos && open >= rowStart) ? open + 1 : rowStart;
        rows.push_back(body.substr(begin, close - begin));
        longest = std::max(longest, rows.back().size());
        rowStart = close + 1;
    }
    // Padding makes the grid as large as its longest row times its row count; a damaged file
    // with one huge row and thousands of empty ones must not ask for gigabytes.
    if (!rows.empty() && longest > kMaxGridCells / rows.size()) {
        width = 0;
        height = 0;
        return {};
    }
    std::string cells;
    cells.reserve(longest * rows.size());
    for (std::string& row : rows) {
        row.resize(longest, sep);
        cells += row;
    }
    width = static_cast<int>(longest);
    height = static_cast<int>(rows.size());
    return cells;
}

void TwDefFile::SetInt(const std::string& key, int value) {
    values_[key] = std::to_string(value);
}

void TwDefFile::SetFloat(const std::string& key, float value) {
    // Six decimals as "%f" writes them, with a '.' whatever the locale.
    char buf[64];
    const auto result = std::to_chars(buf, buf + sizeof buf, static_cast<double>(value),
                                      std::chars_format::fixed, 6);
    values_[key] =
        result.ec == std::errc() ? std::string(buf, result.ptr) : std::string("0.000000");
}

void TwDefFile::SetString(const std::string& key, const std::string& value) {
    values_[key] = '"' + TwEscape(value, TwEscapeStyle::kDefinition) + '"';
}

void TwDefFile::SetCharGrid(const std::string& key, const std::string& cells, int rowLength,
                            int rowCount, char sep) {
    std::string raw = "{";
    const std::size_t length = rowLength > 0 ? static_cast<std::size_t>(rowLength) : 0;
    for (int row = 0; row < rowCount; ++row) {
        raw += '[';
        for (std::size_t col = 0; col < length; ++col) {
            const std::size_t index = static_cast<std::size_t>(row) * length + col;
            if (index >= cells.size()) {
                break;
            }
            if (col > 0) {
                raw += sep;
            }
            raw += cells[index];
        }
        raw += ']';
    }
    values_[key] = raw + '}';
}
