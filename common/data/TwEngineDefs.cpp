#include "data/TwEngineDefs.h"

#include <string>

#include "data/TwResourceManager.h"
#include "data/TwSysConfig.h"

TwDefFile& TwEngineDefs() {
    static TwDefFile defs;
    return defs;
}

bool LoadEngineDefinitions() {
    std::string bytes;
    if (TwResourceManager::Instance().GetResource("Data/EngineDefs.Txt", bytes) >= 0) {
        TwEngineDefs().LoadFromMemory(bytes.data(), bytes.size());
    } else {
        TwEngineDefs() = TwDefFile{}; // every reader falls back to its default
    }
    TwSysConfig::Instance().Load();
    return true;
}
