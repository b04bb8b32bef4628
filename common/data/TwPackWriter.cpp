#include "data/TwPackWriter.h"

#include <cstdint>

#include "data/TwResourceManager.h"
#include "platform/os/TwUserFiles.h"

namespace {

constexpr std::size_t kHeaderSize = 32;
constexpr std::size_t kRecordFixedSize = 12;
// Offsets and sizes are signed 32-bit numbers in the pack.
constexpr std::uint64_t kMaxPackSize = 0x7FFFFFFF;

void AppendLE32(std::string& out, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) {
        out += static_cast<char>((value >> shift) & 0xFF);
    }
}

bool SameIgnoringCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) {
            return false;
        }
    }
    return true;
}

} // namespace

bool TwPackWriter::AddEntry(const std::string& name, std::string bytes) {
    if (name.empty() || name.find('\0') != std::string::npos) {
        error_ = "entry name is empty or holds a NUL byte";
        return false;
    }
    for (const Entry& entry : entries_) {
        if (SameIgnoringCase(entry.name, name)) {
            error_ = "entry '" + name + "' clashes with '" + entry.name + "' (names ignore case)";
            return false;
        }
    }
    entries_.push_back({name, std::move(bytes)});
    return true;
}

bool TwPackWriter::AddFile(const std::string& name, const std::string& path) {
    std::string bytes;
    if (!TwReadFile(path, bytes)) {
        error_ = "cannot read '" + path + "'";
        return false;
    }
    return AddEntry(name, std::move(bytes));
}

bool TwPackWriter::Build(std::string& out) const {
    std::uint64_t directorySize = 0;
    std::uint64_t dataSize = 0;
    for (const Entry& entry : entries_) {
        directorySize += kRecordFixedSize + entry.name.size();
        dataSize += entry.bytes.size();
    }
    if (kHeaderSize + directorySize + dataSize > kMaxPackSize) {
        error_ = "the pack would exceed 2 GB";
        return false;
    }
    out.clear();
    out.reserve(kHeaderSize + directorySize + dataSize);
    out.append(kHeaderSize, '\0');
    const auto count = static_cast<std::uint32_t>(entries_.size());
    for (int i = 0; i < 4; ++i) {
        out[8 + i] = static_cast<char>((count >> (8 * i)) & 0xFF);
    }
    // Directory first, then every entry's data back to back in the same order.
    std::uint64_t offset = kHeaderSize + directorySize;
    for (const Entry& entry : entries_) {
        AppendLE32(out, static_cast<std::uint32_t>(kRecordFixedSize + entry.name.size()));
        AppendLE32(out, static_cast<std::uint32_t>(entry.bytes.size()));
        AppendLE32(out, static_cast<std::uint32_t>(offset));
        std::string name = entry.name;
        TwResourceManager::Scramble(name.data(), name.size());
        out += name;
        offset += entry.bytes.size();
    }
    for (const Entry& entry : entries_) {
        const std::size_t start = out.size();
        out += entry.bytes;
        TwResourceManager::Scramble(out.data() + start, entry.bytes.size());
    }
    return true;
}

bool TwPackWriter::Write(const std::string& path) const {
    std::string bytes;
    if (!Build(bytes)) {
        return false;
    }
    if (!TwWriteFileAtomic(path, bytes)) {
        error_ = "cannot write '" + path + "'";
        return false;
    }
    return true;
}
