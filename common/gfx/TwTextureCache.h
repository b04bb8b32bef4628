#pragma once
#include <cstddef>
#include <map>
#include <string>

class TwImageData;

// The process-wide map from picture name to its shared record. The cache holds no
// reference: an entry lives exactly as long as its record (the record erases itself when it
// dies). Names are compared byte for byte.
class TwTextureCache {
public:
    static TwTextureCache& Instance();

    TwImageData* Find(const std::string& name) const;
    // Enters or overwrites.
    void Insert(const std::string& name, TwImageData* record);
    // Erases `name` only while it still maps to `record` (a dying record never removes
    // another record cached under the same name).
    void EraseIf(const std::string& name, const TwImageData* record);
    // Rebuilds every cached texture, in name order, after the render device was (re)created.
    // Masks are kept as they are.
    void ReloadAll();

    std::size_t Size() const { return entries_.size(); }

private:
    TwTextureCache() = default;
    std::map<std::string, TwImageData*> entries_;
};
