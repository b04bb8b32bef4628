#include "gfx/TwTextureCache.h"

#include <vector>

#include "gfx/TwImageData.h"
#include "gfx/TwRenderDevice.h"

TwTextureCache& TwTextureCache::Instance() {
    // Never destroyed: pictures still held by process-wide objects at exit may still
    // erase themselves from it.
    static TwTextureCache* cache = [] {
        auto* created = new TwTextureCache;
        TwRenderDevice::Instance().SetDeviceResetHandler(
            [] { TwTextureCache::Instance().ReloadAll(); });
        return created;
    }();
    return *cache;
}

TwImageData* TwTextureCache::Find(const std::string& name) const {
    if (entries_.empty()) {
        return nullptr;
    }
    const auto it = entries_.find(name);
    return it == entries_.end() ? nullptr : it->second;
}

void TwTextureCache::Insert(const std::string& name, TwImageData* record) {
    entries_[name] = record;
}

void TwTextureCache::EraseIf(const std::string& name, const TwImageData* record) {
    const auto it = entries_.find(name);
    if (it != entries_.end() && it->second == record) {
        entries_.erase(it);
    }
}

void TwTextureCache::ReloadAll() {
    std::vector<std::pair<std::string, TwImageData*>> snapshot(entries_.begin(), entries_.end());
    for (auto& [name, record] : snapshot) {
        // A picture still waiting for its first draw stays waiting.
        if (!record->TexturePending()) {
            record->Load(name, false);
        }
    }
}
