// zv-golden: plays the golden games anew and writes their recordings and list.txt.
//
//   zv-golden [--puzzle] OUTPUT_DIR
//
// Without --puzzle the Classic and Arcade set is played, with it the Puzzle set on the shipped
// levels; the lines of the other set already in OUTPUT_DIR/list.txt are kept. Every game is
// played by the same player with the same seed each time, so a run on unchanged rules writes
// the same files again. The packs are the ones beside the program (the build tree's Data/);
// the player files a game writes go into a temporary folder removed at the end.
#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "GameStartup.h"
#include "GoldenPlayers.h"
#include "LevelLibrary.h"
#include "PlayedGame.h"
#include "ReplayVerify.h"
#include "data/TwResourceManager.h"
#include "platform/os/TwPlatformPaths.h"
#include "platform/os/TwRand.h"
#include "platform/os/TwUserFiles.h"

namespace {

namespace fs = std::filesystem;

constexpr const char* kListHeader =
    "# file mode difficulty score shots field end (see docs/TESTING.md)";

// The player folders of this run: a fresh temporary folder, so neither the player's own
// files nor their level sets play any part, removed when the run ends.
class TemporaryUserFolders {
public:
    TemporaryUserFolders() {
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern =
            std::string(tmp != nullptr && *tmp ? tmp : "/tmp") + "/zv-golden-XXXXXX";
        if (::mkdtemp(pattern.data()) == nullptr) {
            return;
        }
        root_ = pattern;
        ::setenv("XDG_DATA_HOME", (root_ + "/data").c_str(), 1);
        ::setenv("XDG_CONFIG_HOME", (root_ + "/config").c_str(), 1);
    }
    ~TemporaryUserFolders() {
        std::error_code ignored;
        if (!root_.empty()) {
            fs::remove_all(root_, ignored);
        }
    }
    bool Made() const { return !root_.empty(); }

private:
    std::string root_;
};

std::string Hex(std::uint64_t value) {
    char text[20];
    std::snprintf(text, sizeof text, "%016" PRIx64, value);
    return text;
}

// The list's line for a recording, from how the recording says its game ended (the score of
// the moment the game ended, before bubbles still falling add to it).
std::string ListLine(const std::string& file, const Replay& replay) {
    static const char* kDifficulty[] = {"Easy", "Normal", "Hard"};
    const ReplayResult& r = *replay.result;
    std::ostringstream line;
    line << file << ' ' << ReplayModeName(replay.mode) << ' ' << kDifficulty[replay.difficulty]
         << ' ' << r.score << ' ' << r.shots << ' ' << Hex(r.fieldHash) << ' '
         << (r.outcome == ReplayResult::kCleared ? "cleared" : "lost");
    return line.str();
}

bool IsPuzzleLine(const std::string& line) {
    std::istringstream words(line);
    std::string file, mode;
    words >> file >> mode;
    return mode == "Puzzle";
}

// Where the recordings and the list are written.
class GoldenFolder {
public:
    explicit GoldenFolder(std::string dir) : dir_(std::move(dir)) {}

    // Writes one finished game. False when it has no recording or cannot be written.
    bool Keep(const std::string& name, const PlayedGame& game) {
        const std::optional<Replay>& replay = game.Finished();
        if (!replay || !TwWriteFileAtomic(dir_ + "/" + name, replay->Serialize())) {
            std::cerr << "zv-golden: cannot write " << dir_ << "/" << name << "\n";
            return false;
        }
        const std::string line = ListLine(name, *replay);
        std::cout << line << std::endl;
        lines_.push_back(line);
        return true;
    }

    // The list: the lines of the set played now and those of the other set from the list
    // found there, Classic and Arcade first, then Puzzle.
    bool WriteList(bool puzzleSet) const {
        std::vector<std::string> kept;
        std::ifstream old(dir_ + "/list.txt");
        for (std::string line; std::getline(old, line);) {
            if (!line.empty() && line[0] != '#' && IsPuzzleLine(line) != puzzleSet) {
                kept.push_back(line);
            }
        }
        const std::vector<std::string>& first = puzzleSet ? kept : lines_;
        const std::vector<std::string>& second = puzzleSet ? lines_ : kept;
        std::string text = std::string(kListHeader) + "\n";
        for (const std::vector<std::string>* part : {&first, &second}) {
            for (const std::string& line : *part) {
                text += line + "\n";
            }
        }
        return TwWriteFileAtomic(dir_ + "/list.txt", text);
    }

private:
    std::string dir_;
    std::vector<std::string> lines_;
};

std::string RecordingName(const char* mode, int difficulty, int style, bool continued,
                          std::uint32_t seed) {
    char name[96];
    std::snprintf(name, sizeof name, "%s-%d-%d%s-%u.Twv", mode, difficulty, style,
                  continued ? "c" : "", seed);
    return name;
}

// Classic and Arcade: at every difficulty a game of each player but the planner and one left
// for the menu and continued; then the planner on Easy until each mode has a game won.
bool PlayClassicAndArcade(PlayedGame& game, GoldenFolder& folder) {
    struct Plan {
        GameMode mode;
        int difficulty;
        PlayerStyle style;
        bool continued;
        bool untilWon;
    };
    std::vector<Plan> plans;
    for (GameMode mode : {GameMode::kClassic, GameMode::kArcade}) {
        for (int difficulty = 0; difficulty < 3; ++difficulty) {
            for (PlayerStyle style :
                 {PlayerStyle::kSimple, PlayerStyle::kAnywhere, PlayerStyle::kSwapper}) {
                plans.push_back({mode, difficulty, style, false, false});
            }
            plans.push_back({mode, difficulty, PlayerStyle::kSimple, true, false});
        }
    }
    for (GameMode mode : {GameMode::kClassic, GameMode::kArcade}) {
        plans.push_back({mode, 0, PlayerStyle::kPlanner, false, true});
    }

    int wins = 0;
    std::uint32_t seed = 1;
    for (const Plan& plan : plans) {
        TwSRand(seed++);
        if (!game.Start(plan.mode, plan.difficulty)) {
            return false;
        }
        if (plan.untilWon) {
            for (int attempt = 0; attempt < 300; ++attempt) {
                PlayGame(game, plan.style, seed);
                const std::optional<Replay>& done = game.Finished();
                if (done && done->result->outcome == ReplayResult::kCleared) {
                    break;
                }
                TwSRand(seed++);
                if (!game.Start(plan.mode, plan.difficulty)) {
                    return false;
                }
            }
        }
        if (plan.continued) {
            PlayGame(game, plan.style, seed, 12);
            if (!game.LeaveAndContinue()) {
                return false;
            }
        }
        if (!plan.untilWon) {
            PlayGame(game, plan.style, seed);
        }
        // The won games are named as the simple player's.
        const int style = plan.untilWon ? 0 : static_cast<int>(plan.style);
        const std::string name = RecordingName(ReplayModeName(ModeNumber(plan.mode)),
                                               plan.difficulty, style, plan.continued, seed);
        if (game.Playing() || !folder.Keep(name, game)) {
            std::cerr << "zv-golden: " << name << " did not come to an end\n";
            return false;
        }
        wins += game.Finished()->result->outcome == ReplayResult::kCleared;
    }
    if (wins == 0) {
        std::cerr << "zv-golden: no game was won; the set needs a cleared field\n";
    }
    return wins > 0;
}

// Puzzle, on shipped levels: a level won by the planner, one left and continued, others by
// the simple and the random player, and one dealt again until the random player loses it.
bool PlayPuzzle(PlayedGame& game, GoldenFolder& folder, const FieldGeometry& geometry) {
    struct Plan {
        const char* set;
        int level;
        PlayerStyle style;
        bool continued;
        bool lose; // deals again until the player loses (players here mostly win)
    };
    const std::vector<Plan> plans = {
        {"01-FirstSteps.Txt", 1, PlayerStyle::kPlanner, false, false},
        {"01-FirstSteps.Txt", 6, PlayerStyle::kSimple, true, false},
        {"03-HangingGardens.Txt", 4, PlayerStyle::kSimple, false, false},
        {"05-Masters.Txt", 2, PlayerStyle::kAnywhere, false, false},
        {"05-Masters.Txt", 18, PlayerStyle::kAnywhere, false, true}};
    LevelLibrary& library = LevelLibrary::Shared();
    library.Load(geometry.columns, geometry.rows);
    std::set<int> outcomes;
    bool cameDown = false;
    std::uint32_t seed = 200;
    for (const Plan& plan : plans) {
        const PuzzleLevel* level = library.Level(plan.set, plan.level);
        if (level == nullptr) {
            std::cerr << "zv-golden: no level " << plan.level << " in " << plan.set << "\n";
            return false;
        }
        TwSRand(seed++);
        if (!game.Start(GameMode::kPuzzle, 0, level, plan.set, plan.level)) {
            return false;
        }
        if (plan.continued) {
            PlayGame(game, plan.style, seed, 4);
            if (!game.LeaveAndContinue()) {
                return false;
            }
        }
        for (int attempt = 0; attempt < 100; ++attempt) {
            for (int shot = 0; shot < 400 && game.Playing(); ++shot) {
                PlayGame(game, plan.style, seed + static_cast<std::uint32_t>(shot), 1);
                cameDown = cameDown || game.Field().CeilingRow > 0;
            }
            if (!plan.lose || game.State() != PlayState::kCompleteShown) {
                break;
            }
            TwSRand(seed++);
            if (!game.Start(GameMode::kPuzzle, 0, level, plan.set, plan.level)) {
                return false;
            }
        }
        const std::string set(plan.set);
        const std::string name =
            RecordingName(("Puzzle-" + set.substr(0, set.find('-'))).c_str(), plan.level,
                          static_cast<int>(plan.style), plan.continued, seed);
        if (game.Playing() || !folder.Keep(name, game)) {
            std::cerr << "zv-golden: " << name << " did not come to an end\n";
            return false;
        }
        outcomes.insert(game.Finished()->result->outcome);
    }
    // A win, a loss, and a field that came down on the way.
    if (outcomes.size() != 2 || !cameDown) {
        std::cerr << "zv-golden: the Puzzle set needs a win, a loss and a field that came down\n";
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    const bool puzzle = !args.empty() && args.front() == "--puzzle";
    if (puzzle) {
        args.erase(args.begin());
    }
    if (args.size() != 1 || args.front().empty() || args.front()[0] == '-') {
        std::cerr << "usage: zv-golden [--puzzle] OUTPUT_DIR\n";
        return 2;
    }
    const std::string outDir = args.front();
    std::error_code error;
    fs::create_directories(outDir, error);
    if (!fs::is_directory(outDir)) {
        std::cerr << "zv-golden: cannot make the folder " << outDir << "\n";
        return 1;
    }

    TemporaryUserFolders folders;
    if (!folders.Made()) {
        std::cerr << "zv-golden: cannot make a temporary folder\n";
        return 1;
    }
    const std::string pack =
        FindGamePack("Data/Resource.Twr", {TwExecutableDir(), TwInstallDataDir()});
    const TwResourceManager::PackCheck check = TwResourceManager::Instance().OpenIntactPack(pack);
    if (check.state != TwResourceManager::PackState::Intact) {
        std::cerr << "zv-golden: cannot open " << pack << " (build the packs first)\n";
        return 1;
    }
    FieldGeometry geometry;
    if (!geometry.ReadFromResources()) {
        std::cerr << "zv-golden: the packs hold no field size\n";
        return 1;
    }

    const std::string saveDir = TwUserPath("Data/Save/");
    if (!TwMakeDirs(saveDir)) {
        std::cerr << "zv-golden: cannot make " << saveDir << "\n";
        return 1;
    }
    PlayedGame game(geometry, saveDir + "Golden.Tws");
    GoldenFolder golden(outDir);
    const bool played =
        puzzle ? PlayPuzzle(game, golden, geometry) : PlayClassicAndArcade(game, golden);
    if (!played || !golden.WriteList(puzzle)) {
        return 1;
    }
    return 0;
}
