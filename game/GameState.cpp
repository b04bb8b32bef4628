#include "GameState.h"

namespace {
int g_state = GameState::kNotPlaying;
}

int GameState::Get() {
    return g_state;
}

void GameState::Set(int state) {
    g_state = state;
}
