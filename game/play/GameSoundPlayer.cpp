#include "GameSoundPlayer.h"

#include "audio/TwSoundManager.h"

namespace {
std::function<void(int)>& Listener() {
    static std::function<void(int)> listener;
    return listener;
}
} // namespace

void GameSoundPlayer::Play(int id) {
    if (Listener()) {
        Listener()(id);
    }
    TwSoundManager::Instance().PlaySample(id);
}

void GameSoundPlayer::SetListener(std::function<void(int)> listener) {
    Listener() = std::move(listener);
}
