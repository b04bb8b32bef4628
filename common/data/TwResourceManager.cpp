#include "data/TwResourceManager.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::size_t kHeaderSize = 32;
constexpr std::size_t kCountOffset = 8;
constexpr std::size_t kRecordFixedSize = 12;

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

std::uint32_t ReadLE32(const unsigned char* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

std::string LowerAscii(std::string_view name) {
    std::string lower(name);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return lower;
}

// Size of an open regular file; false for anything else (a directory, a pipe).
bool RegularFileSize(std::FILE* f, std::uint64_t& size) {
    struct stat st {};
    if (::fstat(fileno(f), &st) != 0 || !S_ISREG(st.st_mode)) {
        return false;
    }
    size = static_cast<std::uint64_t>(st.st_size);
    return true;
}

bool IsRegularFile(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string ExecutableDir() {
    std::string buf(4096, '\0');
    const ssize_t n = ::readlink("/proc/self/exe", buf.data(), buf.size() - 1);
    if (n <= 0) {
        return {};
    }
    buf.resize(static_cast<std::size_t>(n));
    const std::size_t slash = buf.rfind('/');
    if (slash == std::string::npos) {
        return {};
    }
    return slash == 0 ? "/" : buf.substr(0, slash);
}

} // namespace

TwResourceManager& TwResourceManager::Instance() {
    static TwResourceManager manager;
    return manager;
}

void TwResourceManager::Scramble(char* bytes, std::size_t count) {
    const std::size_t n = count < kScrambleLength ? count : kScrambleLength;
    for (std::size_t i = 0; i < n; ++i) {
        bytes[i] = static_cast<char>(static_cast<unsigned char>(bytes[i]) ^ kScrambleKey);
    }
}

bool TwResourceManager::ReadDirectory(const std::string& path, Pack& pack, PackCheck& check) {
    FilePtr file(std::fopen(path.c_str(), "rb"));
    std::uint64_t fileSize = 0;
    unsigned char header[kHeaderSize];
    if (!file) {
        check = {PackState::Missing, "the file cannot be opened"};
        return false;
    }
    if (!RegularFileSize(file.get(), fileSize) ||
        std::fread(header, 1, kHeaderSize, file.get()) != kHeaderSize) {
        check = {PackState::Damaged, "the file is too short for a pack"};
        return false;
    }
    const auto count = static_cast<std::int32_t>(ReadLE32(header + kCountOffset));

    pack.path = path;
    // Every record is checked against the file: the walk ends at the first record that does
    // not fit in the file (its length cannot be trusted, so nothing after it can be found),
    // and a record whose data lies outside the file is skipped. A hostile entry count
    // therefore costs at most one pass over the file.
    std::uint64_t pos = kHeaderSize;
    std::int32_t walked = 0;
    int skipped = 0;
    for (; walked < count; ++walked) {
        unsigned char fixed[kRecordFixedSize];
        if (pos + kRecordFixedSize > fileSize ||
            std::fread(fixed, 1, kRecordFixedSize, file.get()) != kRecordFixedSize) {
            break;
        }
        const std::uint32_t recordSize = ReadLE32(fixed);
        const std::uint32_t dataSize = ReadLE32(fixed + 4);
        const std::uint32_t dataOffset = ReadLE32(fixed + 8);
        if (recordSize < kRecordFixedSize || pos + recordSize > fileSize) {
            break;
        }
        std::string name(recordSize - kRecordFixedSize, '\0');
        if (!name.empty() && std::fread(name.data(), 1, name.size(), file.get()) != name.size()) {
            break;
        }
        pos += recordSize;
        const bool dataFits = dataSize <= static_cast<std::uint32_t>(INT32_MAX) &&
                              std::uint64_t{dataOffset} + dataSize <= fileSize;
        if (!dataFits) {
            ++skipped;
            continue;
        }
        Scramble(name.data(), name.size());
        name.resize(name.find('\0') == std::string::npos ? name.size() : name.find('\0'));
        Item item;
        item.name = name;
        item.dataSize = dataSize;
        item.dataOffset = dataOffset;
        pack.items[LowerAscii(name)] = std::move(item);
    }
    if (count <= 0 || walked < count) {
        check = {PackState::Damaged, "its list of contents breaks off after entry " +
                                         std::to_string(walked) + " of " +
                                         std::to_string(std::max(count, 0))};
    } else if (skipped > 0) {
        check = {PackState::Damaged,
                 std::to_string(skipped) + " of its entries lie beyond the end of the file"};
    } else {
        check = {PackState::Intact, {}};
    }
    return true;
}

bool TwResourceManager::OpenPack(const std::string& path) {
    Pack pack;
    PackCheck check;
    if (!ReadDirectory(path, pack, check)) {
        std::fputs("File was not opened\n", stdout);
        return false;
    }
    packs_.push_back(std::move(pack));
    return true;
}

TwResourceManager::PackCheck TwResourceManager::OpenIntactPack(const std::string& path) {
    Pack pack;
    PackCheck check;
    if (ReadDirectory(path, pack, check) && check.state == PackState::Intact) {
        packs_.push_back(std::move(pack));
    }
    return check;
}

int TwResourceManager::GetResource(std::string_view name, std::string& out) {
    const std::string key = LowerAscii(name);
    for (const Pack& pack : packs_) {
        const auto it = pack.items.find(key);
        if (it == pack.items.end()) {
            continue;
        }
        const Item& item = it->second;
        FilePtr file(std::fopen(pack.path.c_str(), "rb"));
        std::uint64_t fileSize = 0;
        // A pack that has gone, or shrunk below this entry since it was opened, serves nothing.
        if (!file || !RegularFileSize(file.get(), fileSize) ||
            std::uint64_t{item.dataOffset} + item.dataSize > fileSize ||
            std::fseek(file.get(), static_cast<long>(item.dataOffset), SEEK_SET) != 0) {
            return 0;
        }
        std::string data(item.dataSize, '\0');
        // A read error part way serves nothing, as a pack that shrank does, rather than an
        // entry padded with zeros.
        if (!data.empty() && std::fread(data.data(), 1, data.size(), file.get()) != data.size()) {
            return 0;
        }
        lastSize_ = static_cast<int>(item.dataSize);
        Scramble(data.data(), data.size());
        out = std::move(data);
        return lastSize_;
    }
    return -1;
}

bool TwResourceManager::Exists(std::string_view name) {
    const std::string key = LowerAscii(name);
    for (const Pack& pack : packs_) {
        if (pack.items.count(key) != 0) {
            return true;
        }
    }
    return false;
}

void TwResourceManager::CloseAll() {
    packs_.clear();
    lastSize_ = -1;
}

std::vector<TwResourceManager::Item> TwResourceManager::Entries() const {
    std::vector<Item> entries;
    for (const Pack& pack : packs_) {
        for (const auto& [key, item] : pack.items) {
            entries.push_back(item);
        }
    }
    return entries;
}

std::string TwResourceManager::FindPackPath(const std::string& name,
                                            const std::vector<std::string>& dirs) {
    for (const std::string& dir : dirs) {
        if (dir.empty()) {
            continue;
        }
        std::string candidate = dir;
        if (candidate.back() != '/') {
            candidate += '/';
        }
        candidate += name;
        if (IsRegularFile(candidate)) {
            return candidate;
        }
    }
    return name;
}

std::vector<std::string> TwResourceManager::DefaultPackDirs() {
    std::vector<std::string> dirs{"."};
    const std::string exeDir = ExecutableDir();
    if (!exeDir.empty()) {
        dirs.push_back(exeDir);
        // An installed game runs from <prefix>/bin with its data in <prefix>/share.
        dirs.push_back(exeDir + "/../share/zorbit-volley");
    }
#ifdef ZV_INSTALL_DATADIR
    dirs.push_back(ZV_INSTALL_DATADIR);
#endif
    return dirs;
}
