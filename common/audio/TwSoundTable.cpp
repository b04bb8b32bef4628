#include "audio/TwSoundTable.h"

#include <memory>

#include "audio/TwSoundManager.h"

const std::vector<TwSoundTableEntry>& TwGameSoundTable() {
    static const std::vector<TwSoundTableEntry> table = {
        {0, "Data/Sounds/Interface/Void.Wav"},
        {1, "Data/Sounds/Interface/ButtonGetFocus.Wav"},
        {2, "Data/Sounds/Interface/ButtonClick.Wav"},
        {3, "Data/Sounds/Interface/OpenDialog.Wav"},
        {4, "Data/Sounds/Interface/CloseDialog.Wav"},
        {5, "Data/Sounds/Interface/Type.Ogg"},
        {10, "Data/Sounds/FireBall.Wav"},
        {11, "Data/Sounds/StopBall.Ogg"},
        {12, "Data/Sounds/BallDelete.Wav"},
        {100, "Data/Sounds/SeekScoreEnd.Wav"},
        {101, "Data/Sounds/ColorRemove.Wav"},
        {102, "Data/Sounds/LineFall.Ogg"},
        {103, "Data/Sounds/LoadColorEnd.Wav"},
        {104, "Data/Sounds/HitWall.Wav"},
        {110, "Data/Sounds/Swap.Ogg"},
    };
    return table;
}

int TwLoadGameSounds() {
    TwSoundManager& sound = TwSoundManager::Instance();
    int loaded = 0;
    for (const TwSoundTableEntry& entry : TwGameSoundTable()) {
        if (sound.LoadSample(entry.id, entry.fileName)) {
            ++loaded;
        }
    }
    return loaded;
}

void TwAddGamePlayLists() {
    TwSoundManager& sound = TwSoundManager::Instance();
    auto menu = std::make_unique<TwPlayList>();
    menu->AddTrack(kTwMenuMusic);
    sound.AddPlayList(kTwMenuPlayList, std::move(menu));
    auto game = std::make_unique<TwPlayList>();
    game->AddTrack(kTwGameMusic);
    sound.AddPlayList(kTwGamePlayList, std::move(game));
}
