#include "GameRun.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <thread>

#include "records/TwProfileStore.h"

namespace e2e {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kGameWidth = 800;
constexpr int kGameHeight = 600;
constexpr const char* kTitle = "Zorbit Volley";

std::string CurrentTestName() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    if (!info) {
        return "unnamed";
    }
    return std::string(info->test_suite_name()) + "." + info->name();
}

std::string Coordinate(int value) {
    return std::to_string(value);
}

bool Golden(const Rgb& c) {
    return c.r > 95 && c.r > c.b + 25;
}

} // namespace

GameRun::GameRun(int screenWidth, int screenHeight, Desktop desktop) : desktop_(desktop) {
    artifacts_ = zvtest::BinaryDir() + "/e2e-artifacts/" + CurrentTestName();
    std::error_code ignored;
    fs::remove_all(artifacts_, ignored);
    fs::create_directories(artifacts_, ignored);
    fs::create_directories(HomeDir(), ignored);
    if (MissingTools().empty()) {
        screen_ = std::make_unique<VirtualScreen>(screenWidth, screenHeight);
        if (desktop_ == Desktop::WindowManager && screen_->Ready()) {
            const std::string managerHome = dirs_.File("manager-home");
            fs::create_directories(managerHome, ignored);
            managed_ = screen_->StartWindowManager(managerHome);
        }
    }
}

GameRun::~GameRun() {
    game_.reset();   // the game goes before its X server
    screen_.reset(); // then the server
}

std::string GameRun::MissingTools() const {
    for (const char* tool : {"Xvfb", "xdotool"}) {
        if (!HaveProgram(tool)) {
            return std::string(tool) + " is not installed (scripts/install-deps installs it)";
        }
    }
    if (desktop_ == Desktop::WindowManager && !HaveProgram("openbox")) {
        return "openbox is not installed (scripts/install-deps installs it)";
    }
    if (screen_ && !screen_->Ready()) {
        return "Xvfb did not start";
    }
    if (screen_ && desktop_ == Desktop::WindowManager && !managed_) {
        return "the window manager did not start";
    }
    return {};
}

Environment GameRun::GameEnvironment() const {
    Environment env = Environment::Inherited();
    // The test runner's own settings for headless unit tests must not reach the game:
    // here it draws on the X server like on any desktop.
    env.Unset("SDL_VIDEODRIVER");
    env.Unset("WAYLAND_DISPLAY");
    env.Set("DISPLAY", screen_ ? screen_->Name() : "");
    env.Set("HOME", HomeDir());
    env.Set("XDG_CONFIG_HOME", dirs_.File("config"));
    env.Set("XDG_DATA_HOME", dirs_.File("data"));
    env.Set("SDL_AUDIODRIVER", "disk");
    env.Set("SDL_DISKAUDIOFILE", AudioFile());
    // The desktop's language: English unless the test sets LANGUAGE as a game variable.
    for (const char* name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES"}) {
        env.Unset(name);
    }
    env.Set("LANG", "C.UTF-8");
    for (const auto& [name, value] : gameVariables_) {
        env.Set(name, value);
    }
    return env;
}

void GameRun::Launch(const std::vector<std::string>& args) {
    LaunchFrom(zvtest::BinaryDir() + "/zorbit-volley", zvtest::BinaryDir(), args);
}

void GameRun::LaunchFrom(const std::string& executable, const std::string& workDir,
                         const std::vector<std::string>& args) {
    game_.reset();
    ++launches_;
    LaunchOptions options;
    options.argv = {executable};
    options.argv.insert(options.argv.end(), args.begin(), args.end());
    options.env = GameEnvironment();
    options.workDir = workDir;
    options.stdoutPath = artifacts_ + "/run" + std::to_string(launches_) + "-stdout.txt";
    options.stderrPath = artifacts_ + "/run" + std::to_string(launches_) + "-stderr.txt";
    game_ = std::make_unique<ChildProcess>(options);
    window_ = 0;
}

std::unique_ptr<ChildProcess> GameRun::LaunchExtraCopy(const std::string& stderrName) {
    LaunchOptions options;
    options.argv = {zvtest::BinaryDir() + "/zorbit-volley"};
    options.env = GameEnvironment();
    options.workDir = zvtest::BinaryDir();
    options.stderrPath = artifacts_ + "/" + stderrName;
    return std::make_unique<ChildProcess>(options);
}

std::string GameRun::GameStderr() const {
    return zvtest::ReadAll(artifacts_ + "/run" + std::to_string(launches_) + "-stderr.txt");
}

bool GameRun::WaitForWindow(std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    while (Clock::now() < deadline && game_ && game_->Running()) {
        for (WindowId id : screen_->FindWindows(kTitle)) {
            const auto place = screen_->Place(id);
            if (place && place->mapped) {
                window_ = id;
                place_ = *place;
                return true;
            }
        }
        std::this_thread::sleep_for(20ms);
    }
    return false;
}

std::optional<WindowPlace> GameRun::WindowPlaceNow() {
    return window_ ? screen_->Place(window_) : std::nullopt;
}

// The game keeps its 800 x 600 picture's proportions inside the window and centres it.
std::pair<int, int> GameRun::ToScreen(double x, double y) const {
    const double scale = std::min(static_cast<double>(place_.width) / kGameWidth,
                                  static_cast<double>(place_.height) / kGameHeight);
    const double left = place_.x + (place_.width - kGameWidth * scale) / 2;
    const double top = place_.y + (place_.height - kGameHeight * scale) / 2;
    return {static_cast<int>(left + (x + 0.5) * scale), static_cast<int>(top + (y + 0.5) * scale)};
}

GameView GameRun::ToView(const Picture& screen) const {
    GameView view(kGameWidth, kGameHeight);
    if (screen.Empty() || place_.width == 0) {
        return view;
    }
    for (int y = 0; y < kGameHeight; ++y) {
        for (int x = 0; x < kGameWidth; ++x) {
            const auto [sx, sy] = ToScreen(x, y);
            const Rgb p = screen.At(sx, sy);
            view.Set(x, y, static_cast<std::uint8_t>(p.r), static_cast<std::uint8_t>(p.g),
                     static_cast<std::uint8_t>(p.b));
        }
    }
    return view;
}

void GameRun::Xdo(const std::vector<std::string>& args) {
    std::vector<std::string> argv{"xdotool"};
    argv.insert(argv.end(), args.begin(), args.end());
    Environment env = Environment::Inherited();
    env.Set("DISPLAY", screen_->Name());
    RunCommand(argv, env);
}

void GameRun::MoveTo(double x, double y) {
    const auto [sx, sy] = ToScreen(x, y);
    Xdo({"mousemove", Coordinate(sx), Coordinate(sy)});
}

void GameRun::Click(double x, double y) {
    const auto [sx, sy] = ToScreen(x, y);
    Xdo({"mousemove", Coordinate(sx), Coordinate(sy), "sleep", "0.05", "click", "1"});
}

void GameRun::ClickScreen(int x, int y) {
    Xdo({"mousemove", Coordinate(x), Coordinate(y), "sleep", "0.05", "click", "1"});
}

void GameRun::ClickHere() {
    Xdo({"click", "1"});
}

void GameRun::PressMouse(double x, double y) {
    const auto [sx, sy] = ToScreen(x, y);
    Xdo({"mousemove", Coordinate(sx), Coordinate(sy), "sleep", "0.05", "mousedown", "1"});
}

void GameRun::ReleaseMouse() {
    Xdo({"mouseup", "1"});
}

void GameRun::Key(const std::string& keyName) {
    Xdo({"key", "--delay", "60", keyName});
}

void GameRun::Type(const std::string& text) {
    Xdo({"type", "--delay", "60", text});
}

// Without a window manager, iconifying is what a manager does: the window is unmapped,
// and mapped again and given the keyboard focus to restore it.
void GameRun::Minimise() {
    Xdo({"windowunmap", "--sync", std::to_string(window_)});
}

void GameRun::Restore() {
    Xdo({"windowmap", "--sync", std::to_string(window_)});
    Xdo({"windowfocus", "--sync", std::to_string(window_)});
}

void GameRun::Activate(WindowId window) {
    Xdo({"windowactivate", "--sync", std::to_string(window)});
}

void GameRun::MinimiseThroughManager() {
    Xdo({"windowminimize", "--sync", std::to_string(window_)});
}

void GameRun::CloseThroughManager() {
    screen_->AskWindowManagerToClose(window_);
}

WindowId GameRun::FocusedWindow() {
    std::string out;
    Environment env = Environment::Inherited();
    env.Set("DISPLAY", screen_->Name());
    if (RunCommand({"xdotool", "getwindowfocus"}, env, &out) != 0) {
        return 0;
    }
    return std::strtoul(out.c_str(), nullptr, 10);
}

GameView GameRun::Look() {
    return ToView(screen_->Capture());
}

void GameRun::SaveArtifact(const std::string& step, const Picture& screen) {
    char prefix[16];
    std::snprintf(prefix, sizeof prefix, "%02d-", ++steps_);
    screen.SavePng(artifacts_ + "/" + prefix + step + ".png");
}

GameView GameRun::Snap(const std::string& step) {
    const Picture screen = screen_->Capture();
    SaveArtifact(step, screen);
    return ToView(screen);
}

bool GameRun::WaitFor(const std::string& step, const ViewCheck& check,
                      std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    for (;;) {
        const Picture screen = screen_->Capture();
        const GameView view = ToView(screen);
        if (check(view)) {
            SaveArtifact(step, screen);
            return true;
        }
        if (Clock::now() >= deadline) {
            SaveArtifact(step + "-TIMED-OUT", screen);
            return false;
        }
        std::this_thread::sleep_for(50ms);
    }
}

bool GameRun::WaitSteady(const std::string& step, Area area, std::chrono::milliseconds timeout) {
    // Three unchanged looks in a row, so a slow fade is not taken for a still picture.
    GameView previous = Look();
    int unchanged = 0;
    return WaitFor(
        step,
        [&](const GameView& view) {
            unchanged = view.Difference(previous, area) < 0.5 ? unchanged + 1 : 0;
            previous = view;
            return unchanged >= 3;
        },
        timeout);
}

std::optional<int> GameRun::CloseWindow(std::chrono::milliseconds timeout) {
    if (window_) {
        screen_->RequestClose(window_);
    }
    return game_ ? game_->WaitForExit(timeout) : std::nullopt;
}

std::optional<int> GameRun::WaitForExit(std::chrono::milliseconds timeout) {
    return game_ ? game_->WaitForExit(timeout) : std::nullopt;
}

void WritePlayers(GameRun& run, const std::vector<std::string>& names, int difficulty) {
    fs::create_directories(run.DataDir());
    fs::create_directories(run.ConfigDir());
    std::string profiles = "ActiveProfile=0\n";
    for (std::size_t i = 0; i < names.size(); ++i) {
        profiles += "PlayerName" + std::to_string(i) + "=\"" + names[i] + "\"\n";
    }
    zvtest::WriteAll(run.DataDir() + "/Profiles.Txt", profiles);
    zvtest::WriteAll(run.ConfigDir() + "/TwConfig.Cfg",
                     "Windowed=0\nSoundVolume=100\nMusicVolume=100\nDifficultLevel=" +
                         std::to_string(difficulty) + "\n");
}

std::string SlotFile(const GameRun& run, const std::string& name) {
    // As the game names it: letters beyond ASCII and signs are written as %XX.
    return run.DataDir() + "/Save/" + TwProfileStore::SafeFileName(name) + ".Tws";
}

// The loading screen: the big title in the middle and the bar filling in bright cyan.
bool LoadingScreenShown(const GameView& view) {
    const Rgb bar = view.Mean({192, 295, 20, 10});
    return Golden(view.Mean({160, 180, 480, 40})) && bar.b > 200 && bar.g > 170 && bar.r < 160;
}

// The title at the top in full colour (a dialog dims it) and the blue Classic button.
bool MainMenuShown(const GameView& view) {
    return Golden(view.Mean({210, 40, 380, 40})) && view.Mean({75, 198, 40, 12}).Blueness() > 90;
}

// The name dialog's golden title over the dimmed menu, with its dark entry box.
bool NameDialogShown(const GameView& view) {
    return Golden(view.Mean({325, 204, 150, 24})) && view.Mean({240, 280, 300, 20}).b < 70 &&
           !Golden(view.Mean({210, 40, 380, 40}));
}

// Enabled, the Continue button is as blue as Classic; disabled, it is grey.
bool ContinueEnabled(const GameView& view) {
    return view.Mean({70, 144, 40, 12}).Blueness() > 70;
}

// The game screen: the blue menu button top right and the field's metal walls.
bool GameScreenShown(const GameView& view) {
    const Rgb button = view.Mean({715, 10, 60, 14});
    return button.Blueness() > 40 && button.Brightness() > 120 &&
           view.Mean({166, 100, 8, 300}).Brightness() > 90;
}

// The panel's plain body left of its labels: one smooth, dark navy from band to band,
// where the field behind it would show bubbles with their bright highlights.
bool PlainNavy(const GameView& view, Area area) {
    const Rgb whole = view.Mean(area);
    if (whole.b <= whole.r + 30 || whole.Brightness() >= 90) {
        return false;
    }
    constexpr int kBands = 4;
    for (int band = 0; band < kBands; ++band) {
        const Area part{area.x, area.y + band * area.h / kBands, area.w, area.h / kBands};
        const Rgb m = view.Mean(part);
        if (std::abs(m.r - whole.r) > 20 || std::abs(m.g - whole.g) > 20 ||
            std::abs(m.b - whole.b) > 20) {
            return false;
        }
    }
    return view.WhiteShare(area, 150) < 0.002;
}

// The panel (centred on the field): golden title, navy body, white labels left of the numbers.
bool ResultPanelShown(const GameView& view) {
    return Golden(view.Mean({320, 172, 160, 22})) && PlainNavy(view, {205, 205, 110, 120}) &&
           view.WhiteShare({330, 255, 70, 120}, 200) > 0.04;
}

// The score dialog (520 x 520, centred) with its golden table title.
bool ScoreDialogShown(const GameView& view) {
    const Rgb rows = view.Mean({180, 180, 440, 250});
    return Golden(view.Mean({340, 82, 120, 28})) && rows.Brightness() < 60 && rows.b > rows.r;
}

// The options dialog with its golden title and navy body.
bool OptionsDialogShown(const GameView& view) {
    const Rgb body = view.Mean({180, 420, 60, 60});
    return Golden(view.Mean({345, 108, 110, 24})) && body.b > body.r + 30 && body.Brightness() < 60;
}

void ExpectContinuedField(GameRun& run, const GameView& before, const std::string& what) {
    run.Click(menu::kContinueX, menu::kContinueY);
    ASSERT_TRUE(run.WaitFor("continued-game", GameScreenShown, 10s));
    // The pointer goes aside so that it hides nothing of the field.
    run.MoveTo(700, 300);
    ASSERT_TRUE(run.WaitSteady("field-after-continuing", kField, 10s));
    const GameView after = run.Snap("field-after-continuing");
    // The same bubbles in the same cells: a different field would change a large share
    // (about a third of the well). Bubbles still easing back from the last shots' push sit
    // a fraction of a pixel off their cells, which touches their rims only.
    EXPECT_LT(after.ChangedShare(before, kField, 60), 0.06)
        << "the continued field differs from the one " << what;
}

bool PlayUntilResultPanel(GameRun& run, int maxShots, std::vector<GameView>* counting) {
    bool shown = false;
    for (int shots = 0; shots < maxShots && !shown;) {
        const auto& aim = kAimPoints[shots % std::size(kAimPoints)];
        run.Click(aim.x, aim.y);
        ++shots;
        if (shots % 5 == 0) {
            run.Snap("shot-" + std::to_string(shots));
        }
        const auto next = std::chrono::steady_clock::now() + 450ms;
        while (!shown && std::chrono::steady_clock::now() < next) {
            GameView view = run.Look();
            if (!ResultPanelShown(view)) {
                continue;
            }
            // A passing moment of the field (a white bubble falling past gold ones) can
            // look like the panel; the panel itself stays until OK is pressed.
            std::this_thread::sleep_for(300ms);
            if (ResultPanelShown(run.Look())) {
                shown = true;
                if (counting != nullptr) {
                    counting->push_back(std::move(view));
                }
            }
        }
    }
    return shown;
}

} // namespace e2e
