#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

// The resource packs: read-only game data (pictures, sounds, music, text definition files)
// stored as named entries in a few pack files. Only each pack's directory is held in memory;
// every read reopens the pack, so the game never keeps a pack file open.
// The pack layout is described in docs/formats/packs.md.
//
// Names match without regard to ASCII letter case; a backslash does not match a slash.
// A malformed pack never makes the reader look outside the file: directory records and data
// ranges are checked against the pack's size and a bad record is skipped.
class TwResourceManager {
public:
    // One directory entry of an open pack.
    struct Item {
        std::string name; // as stored, descrambled
        std::uint32_t dataSize = 0;
        std::uint32_t dataOffset = 0;
    };

    static TwResourceManager& Instance();

    // What opening a pack found.
    enum class PackState { Intact, Missing, Damaged };
    struct PackCheck {
        PackState state = PackState::Missing;
        std::string problem; // what is wrong, in a few words; empty for an intact pack
    };

    // Reads a pack's directory and adds it after the packs already open. False (and
    // "File was not opened" on standard output) when the file cannot be opened or its
    // header cannot be read.
    bool OpenPack(const std::string& path);
    // Opens a pack only when it is whole: it exists, its list of contents holds as many
    // entries as its header says, none of them reaches past the end of the file, and there
    // is at least one. A pack that is not is left closed, and the check says why.
    PackCheck OpenIntactPack(const std::string& path);
    // Copies a resource's bytes into `out`. Returns the size (0 or more); -1 when no pack holds
    // the name; 0 with `out` untouched when the pack file can no longer be read.
    // The first pack opened that holds the name wins.
    int GetResource(std::string_view name, std::string& out);
    bool Exists(std::string_view name);
    // Forgets every pack (tests and shutdown).
    void CloseAll();

    // Size of the last resource handed out, -1 before the first.
    int LastSize() const { return lastSize_; }
    // The entries of every open pack, for tools and diagnostics (in name order per pack).
    std::vector<Item> Entries() const;

    // Where a pack such as "Data/Resource.Twr" is: the first of `dirs` holding it as a
    // regular file (dir + "/" + name), or `name` itself when none does.
    static std::string FindPackPath(const std::string& name, const std::vector<std::string>& dirs);
    // Those usual places, in lookup order.
    static std::vector<std::string> DefaultPackDirs();

    // The byte every name and the first 2048 bytes of every entry are combined with.
    static constexpr std::uint8_t kScrambleKey = 0xA7;
    static constexpr std::size_t kScrambleLength = 2048;
    // Scrambling and descrambling are the same operation, on the first 2048 bytes.
    static void Scramble(char* bytes, std::size_t count);

private:
    struct Pack {
        std::string path;
        std::map<std::string, Item> items; // keyed by lower-case name
    };

    // Reads a pack's directory into `pack`; false when not even its header can be read.
    // `check` says whether the directory was whole.
    static bool ReadDirectory(const std::string& path, Pack& pack, PackCheck& check);

    std::vector<Pack> packs_;
    int lastSize_ = -1;
};
