#include "FaultTestSupport.h"

#include <filesystem>
#include <gtest/gtest.h>

#include "Game.h"
#include "GameMap.h"
#include "Launcher.h"
#include "TestSupport.h"
#include "data/TwSysConfig.h"
#include "gui/TwEventRouter.h"
#include "platform/os/TwRand.h"
#include "platform/os/TwUserFiles.h"
#include "records/TwHighScoreTables.h"
#include "records/TwProfileStore.h"
#include "records/TwTop.h"

namespace faults {

FileSnapshot Snapshot(const std::string& root) {
    FileSnapshot files;
    std::error_code error;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root, error)) {
        if (entry.is_regular_file()) {
            files[entry.path().string()] = zvtest::ReadAll(entry.path().string());
        }
    }
    return files;
}

bool PlayingApp::Start() {
    harness_.WriteProfiles({"Soak"});
    if (!harness_.Start()) {
        return false;
    }
    game_ = harness_.RealGame();
    if (game_ == nullptr) {
        ADD_FAILURE() << "no game screen";
        return false;
    }
    // The same field on every run (the application seeds the generator with the time).
    TwSRand(20);
    game_->StartClassic();
    game_->NewGame();
    harness_.App().Router()->SwitchScreen(Game::kScreenName);
    return true;
}

void PlayingApp::Frames(int count) {
    for (int i = 0; i < count; ++i) {
        harness_.Frame();
    }
}

bool PlayingApp::Shoot(float x, float y) {
    for (int wait = 0; wait < 1000; ++wait) {
        const Launcher* launcher = game_->GetLauncher();
        if (launcher != nullptr && launcher->CanFire()) {
            TwSyntheticEvent event;
            event.x = static_cast<int>(x);
            event.y = static_cast<int>(y);
            event.kind = TwSyntheticEvent::Kind::MouseMove;
            harness_.Push(event);
            event.kind = TwSyntheticEvent::Kind::ButtonDown;
            harness_.Push(event);
            event.kind = TwSyntheticEvent::Kind::ButtonUp;
            harness_.Push(event);
            Frames(2);
            return true;
        }
        harness_.Frame();
    }
    return false;
}

PlayingApp::Writes PlayingApp::WriteEverything(int round) {
    Writes writes;
    TwSysConfig& config = TwSysConfig::Instance();
    config.SoundVolume = 10 + round;
    writes.settings = config.Save() == 0;

    TwProfileStore& store = TwProfileStore::Instance();
    store.AddProfile("Player " + std::to_string(round));
    store.SelectProfile(0);
    writes.profiles = store.SaveProfiles();

    Shoot(300.0f + 20.0f * static_cast<float>(round), 200.0f);
    writes.savedGame = game_->SaveGame();

    TwTop* table = TwHighScoreTable(ModeNumber(Game::kClassic));
    if (table != nullptr) {
        TwTopRecord record;
        record.PlayerName = "Round " + std::to_string(round);
        record.Scores = 1000 * (round + 1);
        table->Add(record);
        writes.scores = table->Save();
    }
    return writes;
}

std::string PlayingApp::ConfigDir() const {
    return TwConfigDir();
}

std::string PlayingApp::DataDir() const {
    return TwDataDir();
}

} // namespace faults
