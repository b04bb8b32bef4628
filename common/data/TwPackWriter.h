#pragma once
#include <string>
#include <vector>

// Builds a resource pack in the layout TwResourceManager reads (docs/formats/packs.md).
// Entries are written in the order they are added, so the same input gives the same bytes.
class TwPackWriter {
public:
    // Adds an entry. False (nothing added) for an empty name, a name with a NUL byte, or a
    // name that equals an earlier one apart from letter case (the reader could only ever
    // serve one of them).
    bool AddEntry(const std::string& name, std::string bytes);
    // Adds a file's contents under `name`. False when the file cannot be read.
    bool AddFile(const std::string& name, const std::string& path);

    // The whole pack; false when it would exceed the 2 GB the format can address.
    bool Build(std::string& out) const;
    // Builds the pack and writes it atomically. False on any failure.
    bool Write(const std::string& path) const;

    // A message for the last failure.
    const std::string& Error() const { return error_; }
    std::size_t Count() const { return entries_.size(); }

private:
    struct Entry {
        std::string name;
        std::string bytes;
    };
    std::vector<Entry> entries_;
    mutable std::string error_;
};
