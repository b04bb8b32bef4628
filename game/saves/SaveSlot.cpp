#include "SaveSlot.h"

#include "GameMap.h"
#include "GameSession.h"
#include "ReplayRecorder.h"
#include "data/TwDefFile.h"
#include "records/TwProfileStore.h"

SaveSlot::Written SaveSlot::Save(const GameSession& session, const std::string& owner,
                                 const ReplayRecorder& recorder) {
    TwProfileStore& store = TwProfileStore::Instance();
    // Only into the slot of the player the game belongs to; a player deleted since has none.
    if (!session.HasField() || owner.empty() || store.IndexOf(owner) < 0) {
        return Written::kNoSlot;
    }
    const GameMap& field = *session.Field();
    TwDefFile file;
    session.CurrentSave().Write(file, field.Columns(), field.Rows());
    recorder.Stamp(file, field.Random().State());
    const std::string path = store.SavePathOf(owner);
    // The slot first: a recording that cannot be written beside it never costs the game.
    const bool written = file.Save(path) == 0;
    if (written) {
        recorder.WriteBeside(path);
    }
    store.CheckSavedGameOf(owner);
    return written ? Written::kWritten : Written::kFailed;
}

std::optional<SaveSlot::Restored> SaveSlot::Load(ReplayRecorder& recorder, int columns, int rows) {
    TwProfileStore& store = TwProfileStore::Instance();
    if (store.ActiveIndex() < 0) {
        return std::nullopt;
    }
    // A slot that cannot be continued is no longer offered: Continue stays off and a new
    // game does not ask to replace it (the file itself stays as it is).
    TwDefFile file;
    if (file.LoadFromFile(store.SavePath()) != 0) {
        store.ForgetSavedGame();
        return std::nullopt;
    }
    Restored restored{SavedGame::Read(file), std::nullopt};
    if (!restored.saved.HasKnownMode() || !restored.saved.HasBubbles(columns, rows)) {
        store.ForgetSavedGame();
        return std::nullopt;
    }
    restored.randomState = recorder.ResumeBeside(store.SavePath(), file);
    return restored;
}

void SaveSlot::Erase(const std::string& owner) {
    TwProfileStore& store = TwProfileStore::Instance();
    if (!owner.empty()) {
        ReplayRecorder::EraseBeside(store.SavePathOf(owner));
    }
    store.DeleteSavedGameOf(owner);
    store.CheckSavedGameOf(owner);
}

void SaveSlot::EraseActive() {
    TwProfileStore& store = TwProfileStore::Instance();
    if (store.ActiveIndex() < 0) {
        return;
    }
    ReplayRecorder::EraseBeside(store.SavePath());
    store.DeleteSavedGame();
    store.CheckSavedGame();
}
