// Feeds arbitrary bytes to the definition-file parser, then exercises every getter on the keys
// it found and checks that what the writer produces parses back to the same keys.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "data/TwDefFile.h"

namespace {

bool PlainKey(const std::string& key) {
    bool componentStart = true;
    for (const char c : key) {
        const bool word =
            (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
        if (c == '.' && componentStart) {
            return false;
        }
        if (c != '.' && !word) {
            return false;
        }
        componentStart = c == '.';
    }
    return !componentStart;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    TwDefFile def;
    def.LoadFromMemory(reinterpret_cast<const char*>(data), size);
    int width = 0, height = 0;
    for (const auto& [key, raw] : def.Values()) {
        def.GetInt(key, 0);
        def.GetFloat(key, 0.0f);
        def.GetString(key);
        def.GetCString(key);
        def.GetFloatList(key, ',');
        def.GetVector3(key, ' ');
        def.GetCharGrid(key, width, height, ' ');
    }
    // Whatever was read can be written and read again.
    const std::string text = def.Serialize();
    TwDefFile again;
    again.LoadFromMemory(text.data(), text.size());
    // Texts written by SetString read back unchanged when the keys are plain names (odd keys
    // such as ".x", "a.}" or a block whose first key starts with '[' cannot survive the trip)
    // and hold no CR (written as it is, it ends a line when read again).
    TwDefFile copy;
    for (const auto& [key, raw] : def.Values()) {
        copy.SetString(key, def.GetString(key));
    }
    for (const auto& [key, raw] : copy.Values()) {
        if (!PlainKey(key) || raw.find('\r') != std::string::npos) {
            return 0;
        }
    }
    const std::string strings = copy.Serialize();
    TwDefFile stringsBack;
    if (stringsBack.LoadFromMemory(strings.data(), strings.size()) != 0 ||
        stringsBack.Values().size() != copy.Values().size()) {
        std::abort();
    }
    for (const auto& [key, raw] : copy.Values()) {
        if (stringsBack.GetString(key) != copy.GetString(key)) {
            std::abort();
        }
    }
    return 0;
}
