// Restores arbitrary bytes as a player's saved game and plays a few frames of it: whatever
// the slot holds, nothing crashes and every bubble in the field and in the launcher has a
// colour with a picture (a saved launcher colour the field no longer has is kept as saved).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <unistd.h>

#include "BaseBubble.h"
#include "Game.h"
#include "GameMap.h"
#include "Launcher.h"
#include "fuzz_support.h"
#include "platform/os/TwRand.h"
#include "platform/os/TwUserFiles.h"
#include "records/TwProfileStore.h"

namespace {

Game& SetUpGame() {
    const std::string root = "/tmp/zv-fuzz-savegame-" + std::to_string(::getpid());
    ::setenv("XDG_DATA_HOME", root.c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", root.c_str(), 1);
    SilenceMessages();
    TwProfileStore::Instance().Reset();
    TwProfileStore::Instance().TryAddProfile("Fuzz");
    static Game game;
    game.BuildScreen();
    return game;
}

void CheckColours(Game& game) {
    GameMap* field = game.Field();
    if (field == nullptr) {
        return;
    }
    field->ForEachBubble([](const BaseBubble& bubble, int, int) {
        Check(bubble.Colour() >= 0 && bubble.Colour() < 6);
    });
    if (const BaseBubble* loaded = game.GetLauncher()->Loaded()) {
        Check(loaded->Colour() >= 0 && loaded->Colour() < 6);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Game& game = SetUpGame();
    TwSRand(1);
    const std::string path = TwProfileStore::Instance().SavePath();
    if (!TwWriteFileAtomic(path, std::string_view(reinterpret_cast<const char*>(data), size))) {
        return 0;
    }
    if (!game.Restore()) {
        return 0;
    }
    CheckColours(game);
    for (int frame = 0; frame < 40; ++frame) {
        game.Update(50);
    }
    game.GetLauncher()->Aim(TwVector(400.0f, 100.0f));
    game.GetLauncher()->Fire();
    for (int frame = 0; frame < 40; ++frame) {
        game.Update(50);
    }
    CheckColours(game);
    game.SaveGame();
    return 0;
}
