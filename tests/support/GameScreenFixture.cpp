#include "GameScreenFixture.h"

#include <memory>

#include "GameSoundPlayer.h"
#include "GuiTestSupport.h"
#include "data/TwResourceManager.h"
#include "data/TwSysConfig.h"
#include "platform/os/TwRand.h"
#include "platform/os/TwUserFiles.h"
#include "platform/window/TwMessageBox.h"
#include "records/TwHighScoreTables.h"
#include "records/TwProfileStore.h"
#include "records/TwTop.h"

namespace gstest {

bool OpenGamePacks() {
    static const bool open = [] {
        TwResourceManager& packs = TwResourceManager::Instance();
        packs.CloseAll();
        const std::string dataDir = zvtest::BinaryDir() + "/Data/";
        return packs.OpenPack(dataDir + "Resource.Twr") && packs.OpenPack(dataDir + "Lang.Twr");
    }();
    return open;
}

GameScreenTest::GameScreenTest() {
    packsOpen = OpenGamePacks();
    TwSetMessageSink([](const std::string&, const std::string&) {});
    TwSRand(2024);
    TwSysConfig::Instance().DifficultLevel = 0;
    GameSoundPlayer::SetListener([this](int id) { sounds.push_back(id); });

    TwProfileStore& store = TwProfileStore::Instance();
    store.Reset();
    store.TryAddProfile("Tester");
    auto& tables = TwHighScoreTables();
    tables[ModeNumber(Game::kClassic)] = std::make_unique<TwTop>("Data/Classic.Twt");
    tables[ModeNumber(Game::kArcade)] = std::make_unique<TwTop>("Data/Arcade.Twt");

    game.SetFieldGeometry(zvtest::ShippedGeometry());
    game.SetRouter(&router);
    game.BuildScreen();
    router.AddScreen(Game::kMenuScreen, &menu);
    router.AddScreen(Game::kScreenName, &game);
    // The menu panel fades in once, when the screen is built.
    Frames(15);
}

GameScreenTest::~GameScreenTest() {
    GameSoundPlayer::SetListener(nullptr);
    TwSetMessageSink(nullptr);
    TwHighScoreTables().clear();
    TwProfileStore::Instance().Reset();
    game.Session().SetState(PlayState::kNotPlaying);
}

void GameScreenTest::Frame(int ms) {
    game.OnEvent();
    game.Update(ms);
    game.Draw();
    if (afterFrame) {
        afterFrame();
    }
}

void GameScreenTest::Frames(int count, int ms) {
    for (int i = 0; i < count; ++i) {
        Frame(ms);
    }
}

bool GameScreenTest::RunUntil(const std::function<bool()>& done, int limit, int ms) {
    for (int i = 0; i < limit; ++i) {
        if (done()) {
            return true;
        }
        Frame(ms);
    }
    return done();
}

void GameScreenTest::MoveMouse(float x, float y) {
    guitest::SetMouse(input, TwInputCodes::kMouseMove, TwInputEvent::kNoButton, x, y);
    router.ForwardInput();
}

void GameScreenTest::LeftClick(float x, float y) {
    MoveMouse(x, y);
    guitest::SetMouse(input, TwInputCodes::kLeftButtonUp, TwInputEvent::kLeftReleased, x, y);
    router.ForwardInput();
}

void GameScreenTest::RightClick(float x, float y) {
    MoveMouse(x, y);
    guitest::SetMouse(input, TwInputCodes::kRightButtonUp, TwInputEvent::kRightReleased, x, y);
    router.ForwardInput();
}

void GameScreenTest::KeyDown(unsigned char key) {
    guitest::SetKey(input, TwInputCodes::kKeyDown, key);
    router.ForwardInput();
}

void GameScreenTest::StartGame(GameMode mode) {
    mode == Game::kArcade ? game.StartArcade() : game.StartClassic();
    game.NewGame();
    router.SwitchScreen(Game::kScreenName);
    ASSERT_TRUE(RunUntil([this] { return Field().MapState == GameMap::kReady; }));
}

void GameScreenTest::Layout(const std::vector<std::string>& rows, int loaded, int next) {
    GameMap& field = Field();
    for (int c = 0; c < field.Columns(); ++c) {
        for (int k = 0; k < field.Rows(); ++k) {
            field.TakeBubble(c, k);
        }
    }
    zvtest::LayOutBubbles(field, rows);
    if (HasFatalFailure()) {
        return;
    }
    Load(loaded);
    field.SetNextBubble(field.NewBubbleOfColour(next));
}

void GameScreenTest::Load(int colour) {
    Gun().SetLoaded(Field().NewBubbleOfColour(colour));
}

bool GameScreenTest::ShootAt(const TwVector& target) {
    const bool ready =
        RunUntil([this] { return Field().Settled() && Gun().ReloadRemaining() == 0; });
    if (!ready) {
        return false;
    }
    MoveMouse(target.x, target.y);
    Frame(); // the launcher turns and its bubble moves to the muzzle
    LeftClick(target.x, target.y);
    if (!Gun().Flying()) {
        return false;
    }
    return RunUntil([this] { return !Gun().Flying(); });
}

TwVector GameScreenTest::BotAim() const {
    const int colour = Gun().Loaded() != nullptr ? Gun().Loaded()->Colour() : -1;
    int bestColumn = -1, bestRow = -1;
    bool bestMatches = false;
    Field().ForEachBubble([&](const BaseBubble& bubble, int c, int k) {
        const bool matches = bubble.Colour() == colour;
        const bool better = (matches && !bestMatches) ||
                            (matches == bestMatches && (k > bestRow || bestColumn < 0));
        if (better) {
            bestColumn = c;
            bestRow = k;
            bestMatches = matches;
        }
    });
    return bestColumn < 0 ? TwVector(400, 100) : Under(bestColumn, bestRow);
}

TwVector GameScreenTest::Cell(int column, int row) const {
    return Field().CellToScreen(column, row);
}

int GameScreenTest::Count(int sound) const {
    int n = 0;
    for (int id : sounds) {
        n += id == sound;
    }
    return n;
}

TwTop& GameScreenTest::Table(int mode) const {
    return *TwHighScoreTable(mode);
}

std::string GameScreenTest::SlotPath() const {
    return TwProfileStore::Instance().SavePath();
}

std::string GameScreenTest::SlotText() const {
    std::string bytes;
    TwReadFile(SlotPath(), bytes);
    return bytes;
}

void GameScreenTest::WriteSlot(const std::string& text) const {
    TwWriteFileAtomic(SlotPath(), text);
    TwProfileStore::Instance().CheckSavedGame();
}

} // namespace gstest
