#include "gui/TwGuiSound.h"

#include "audio/TwSoundManager.h"

namespace {

std::function<void(int)>& InstalledPlayer() {
    static std::function<void(int)> player;
    return player;
}

} // namespace

void TwGuiPlaySound(int id) {
    if (id == TwGuiSounds::kVoid) {
        return;
    }
    if (const auto& player = InstalledPlayer()) {
        player(id);
        return;
    }
    TwSoundManager::Instance().PlaySample(id);
}

std::function<void(int)> TwSetGuiSoundPlayer(std::function<void(int)> player) {
    auto previous = std::move(InstalledPlayer());
    InstalledPlayer() = std::move(player);
    return previous;
}
