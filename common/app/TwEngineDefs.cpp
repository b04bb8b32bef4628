#include "app/TwEngineDefs.h"

#include <string>

#include "app/TwSysConfig.h"
#include "data/TwResourceManager.h"

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
