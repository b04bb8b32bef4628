// The built packs against what the game asks of them: every picture, sound, track and text
// file is there, pictures cut evenly into the frame grids the game uses, the layout files put
// every button and text inside its picture, the font strips come out whole when the game
// scans them, and the generator makes the same pictures every time.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "AssetGen.h"
#include "Canvas.h"
#include "PictureFile.h"
#include "Pictures.h"
#include "TestSupport.h"
#include "data/TwDefFile.h"
#include "data/TwResourceManager.h"
#include "data/TwUtf8.h"
#include "gfx/TwBitmapFont.h"
#include "platform/picture/TwPicture.h"

namespace fs = std::filesystem;

namespace {

TwResourceManager& Packs() {
    static TwResourceManager packs;
    static bool opened = false;
    if (!opened) {
        opened = true;
        packs.OpenPack(zvtest::BinaryDir() + "/Data/Resource.Twr");
        packs.OpenPack(zvtest::BinaryDir() + "/Data/Lang.Twr");
    }
    return packs;
}

bool Read(const std::string& name, std::string& bytes) {
    return Packs().GetResource(name, bytes) >= 0;
}

TwDefFile TextFile(const std::string& name) {
    TwDefFile defs;
    std::string bytes;
    EXPECT_TRUE(Read("Data/" + name, bytes)) << name;
    EXPECT_EQ(defs.LoadFromMemory(bytes.data(), bytes.size()), 0) << name << " does not parse";
    return defs;
}

struct Picture {
    int width = 0, height = 0;
    TwPicture decoded; // RGBA, top row first
    int Alpha(int x, int y) const { return decoded.rgba[(std::size_t(y) * width + x) * 4 + 3]; }
};

// The picture the game would load for `name`, trying the extensions in the game's order.
// Our pictures are JPEG when opaque and lossless WebP otherwise; anything else found first
// is reported as such.
bool LoadPicture(const std::string& name, Picture& out) {
    for (const char* ext : {".Dds", ".Jpg", ".Tga", ".Webp"}) {
        std::string bytes;
        if (!Read("Data/Textures/" + name + ext, bytes)) {
            continue;
        }
        if (!TwDecodePicture(bytes, out.decoded)) {
            ADD_FAILURE() << name << ext << " does not decode";
            return false;
        }
        const bool jpeg = out.decoded.format == TwPicture::Format::Jpeg;
        if ((jpeg && std::string(ext) != ".Jpg") ||
            (!jpeg && out.decoded.format != TwPicture::Format::Webp)) {
            ADD_FAILURE() << name << ext << " is neither our JPEG nor our WebP";
            return false;
        }
        out.width = out.decoded.width;
        out.height = out.decoded.height;
        return true;
    }
    return false;
}

Picture MustLoad(const std::string& name) {
    Picture p;
    EXPECT_TRUE(LoadPicture(name, p)) << "missing picture " << name;
    return p;
}

struct Grid {
    std::string name;
    int columns, rows;
};

// Every picture the game loads, with the frame grid it cuts the picture into.
std::vector<Grid> GameGrids() {
    std::vector<Grid> grids = {{"Bubbles/Shadow", 9, 1},
                               {"GameBgr", 1, 1},
                               {"GameBgr1", 1, 1},
                               {"GameBgr2", 1, 1},
                               {"Ceiling", 1, 1},
                               {"MainMenu", 1, 1},
                               {"MenuGrass", 1, 1},
                               {"Help", 1, 1},
                               {"LoadScreen", 1, 1},
                               {"ProgressBarBgr", 1, 1},
                               {"ProgressBarLine", 1, 1},
                               {"Icon", 1, 1},
                               {"Cursor", 1, 1},
                               {"Zorbit", 1, 1},
                               {"ZorbitMenu", 1, 1},
                               {"Interface/CheckBox", 1, 4},
                               {"Interface/Slider", 1, 2},
                               {"Interface/SliderThumb", 1, 2},
                               {"Interface/CursorBlink", 2, 1},
                               {"Interface/Fade", 1, 1}};
    for (int c = 0; c < 6; ++c) {
        const std::string id = std::to_string(c);
        grids.push_back({"Bubbles/" + id, 9, 1});
        grids.push_back({"ExpBubbles/" + id, 16, 1});
        grids.push_back({"ExpBubbles/" + id + "/0", 16, 1});
        grids.push_back({"ExpBubbles/" + id + "/1", 16, 1});
    }
    for (int i = 0; i < 5; ++i) {
        grids.push_back({"Moves/" + std::to_string(i), 1, 1});
    }
    for (const char* button :
         {"ArcadeGame",  "BtnCancel",     "BtnOk",     "ChangeProfileTr", "ClassicGame",
          "Clear",       "Continue",      "Credits",   "DelProfile",      "Exit",
          "Help",        "LArrow",        "Menu",      "NewProfile",      "No",
          "Options",     "RArrow",        "Score",     "StartNew",        "Yes",
          "ProfileItem", "Resume",        "BtnMenu",   "BindCell",        "Defaults",
          "Controls",    "PuzzleGame",    "Next",      "Retry",           "PuzzleMenu",
          "LevelTile",   "LevelTileDone", "ChoiceCell"}) {
        grids.push_back({std::string("Interface/") + button, 1, 3});
    }
    for (const char* dialog : {"vSmlDialog", "OptionsDlg", "EditDialog", "ProfileDlg", "ScoreDlg",
                               "CreditsDlg", "GameOverDlg", "GameComplDlg", "ScoreClassic",
                               "ScoreArcade", "PauseDlg", "ControlsDlg", "LevelSelectDlg"}) {
        grids.push_back({std::string("Interface/") + dialog, 1, 1});
    }
    return grids;
}

TEST(AssetPacks, EveryPictureIsPresentAndCutsEvenlyIntoItsFrames) {
    for (const Grid& g : GameGrids()) {
        Picture p;
        if (!LoadPicture(g.name, p)) {
            ADD_FAILURE() << "missing picture " << g.name;
            continue;
        }
        EXPECT_EQ(p.width % g.columns, 0) << g.name;
        EXPECT_EQ(p.height % g.rows, 0) << g.name;
        // Frames are drawn centred with their half sizes rounded down: odd sizes lose a pixel.
        EXPECT_EQ(p.width / g.columns % 2, 0) << g.name << " has an odd frame width";
        EXPECT_EQ(p.height / g.rows % 2, 0) << g.name << " has an odd frame height";
    }
    for (const char* screen : {"GameBgr", "GameBgr1", "GameBgr2", "MainMenu", "LoadScreen"}) {
        const Picture p = MustLoad(screen);
        EXPECT_EQ(p.width, 800) << screen;
        EXPECT_EQ(p.height, 600) << screen;
    }
    // The dimming square is drawn 25 times its size and must cover the whole screen.
    const Picture fade = MustLoad("Interface/Fade");
    EXPECT_GE(fade.width * 25, 800);
    EXPECT_GE(fade.height * 25, 600);
}

TEST(AssetPacks, SoundsMusicAndTextFilesArePresent) {
    const char* names[] = {"Data/Sounds/Interface/Void.Flac",
                           "Data/Sounds/Interface/ButtonGetFocus.Flac",
                           "Data/Sounds/Interface/ButtonClick.Flac",
                           "Data/Sounds/Interface/OpenDialog.Flac",
                           "Data/Sounds/Interface/CloseDialog.Flac",
                           "Data/Sounds/Interface/Type.Ogg",
                           "Data/Sounds/FireBall.Flac",
                           "Data/Sounds/StopBall.Ogg",
                           "Data/Sounds/BallDelete.Flac",
                           "Data/Sounds/SeekScoreEnd.Flac",
                           "Data/Sounds/ColorRemove.Flac",
                           "Data/Sounds/LineFall.Ogg",
                           "Data/Sounds/LoadColorEnd.Flac",
                           "Data/Sounds/HitWall.Flac",
                           "Data/Sounds/Swap.Ogg",
                           "Data/Music/Menu.Ogg",
                           "Data/Music/A.Ogg",
                           "Data/Map.Txt",
                           "Data/Fonts.Txt",
                           "Data/EngineDefs.Txt",
                           "Data/Lang.Txt"};
    for (const char* name : names) {
        EXPECT_TRUE(Packs().Exists(name)) << name;
    }
}

// Names of pictures, sounds and tracks written as literals anywhere in the game's code.
TEST(AssetPacks, EveryNameInTheGameCodeIsPresent) {
    const std::regex picture(R"re("((?:Interface/)[A-Za-z0-9_]+)")re");
    const std::regex sound(R"re("(Data/(?:Sounds|Music)/[A-Za-z0-9_/]+\.(?:Wav|Ogg))")re");
    std::set<std::string> pictures, sounds;
    for (const char* dir : {"common", "game"}) {
        const fs::path root = fs::path(zvtest::SourceDir()) / dir;
        if (!fs::exists(root)) {
            continue;
        }
        for (const auto& entry : fs::recursive_directory_iterator(root)) {
            const std::string ext = entry.path().extension().string();
            if (ext != ".cpp" && ext != ".h") {
                continue;
            }
            const std::string text = zvtest::ReadAll(entry.path().string());
            for (std::sregex_iterator it(text.begin(), text.end(), picture), end; it != end; ++it) {
                pictures.insert((*it)[1]);
            }
            for (std::sregex_iterator it(text.begin(), text.end(), sound), end; it != end; ++it) {
                sounds.insert((*it)[1]);
            }
        }
    }
    for (const std::string& name : pictures) {
        Picture p;
        EXPECT_TRUE(LoadPicture(name, p)) << "the code loads " << name;
    }
    // The effects the code names as ".Wav" are stored losslessly as ".Flac".
    for (const std::string& name : sounds) {
        const bool wav = name.ends_with(".Wav");
        const std::string stored = wav ? name.substr(0, name.size() - 4) + ".Flac" : name;
        EXPECT_TRUE(Packs().Exists(stored)) << "the code loads " << name;
    }
}

TEST(AssetTextFiles, ParseAndHoldEveryKeyTheGameReads) {
    TwDefFile map = TextFile("Map.Txt");
    for (const char* key : {"xMax", "yMax", "BubbleRadius", "xPlayerPos", "yPlayerPos",
                            "GameOver.ScorePos", "GameOver.BonusPos", "GameOver.TotalPos"}) {
        EXPECT_TRUE(map.Has(key)) << "Map.Txt lacks " << key;
    }
    TwDefFile defs = TextFile("EngineDefs.Txt");
    for (const char* key : {"ProfileDlg.OkButtonPos",
                            "ProfileDlg.AddButtonPos",
                            "ProfileDlg.DelButtonPos",
                            "ProfileDlg.UpOffset",
                            "ProfileDlg.NumProfiles",
                            "ProfileDlg.CharYDist",
                            "ScoreDlg.UpUffset",
                            "ScoreDlg.LineOffset",
                            "ScoreDlg.LeftNumOffset",
                            "ScoreDlg.ScoreOffset",
                            "ScoreDlg.NameOffset",
                            "ScoreDlg.TittlePos",
                            "ScoreDlg.PrevPos",
                            "ScoreDlg.NextPos",
                            "ScoreDlg.OkPos",
                            "ScoreDlg.ClearPos",
                            "EnterNameDlg.LeftOffset",
                            "EnterNameDlg.UpOffset",
                            "EnterNameDlg.CharXDist",
                            "EnterNameDlg.CharYDist",
                            "EnterNameDlg.InputWidth",
                            "EnterNameDlg.OkButtonPos",
                            "EnterNameDlg.CancelButtonPos",
                            "EnterNameDlg.TextPos"}) {
        EXPECT_TRUE(defs.Has(key)) << "EngineDefs.Txt lacks " << key;
    }
    TwDefFile fonts = TextFile("Fonts.Txt");
    for (const char* font : {"MainFont", "Digits"}) {
        for (const char* key : {"Codes", "FileName", "SpaceSize", "CharDist", "MonoWidth"}) {
            EXPECT_TRUE(fonts.Has(std::string(font) + "." + key)) << font << "." << key;
        }
    }
    // The language named by the font table has every question of the menus, as text.
    TwDefFile lang = TextFile("Lang.Txt");
    const std::string language = fonts.GetString("Language");
    ASSERT_FALSE(language.empty());
    for (const char* key :
         {"ConrirmStart", "DifficultChange", "ConfirmDeletePlayer", "ConfirmClearTable"}) {
        const std::string text = lang.GetString(language + "." + key);
        EXPECT_GT(text.size(), 10u) << key;
        EXPECT_NE(text.back(), '#') << key << " would end in an empty line";
    }
}

// ----- Layout -----

struct Box {
    double left, top, right, bottom;
    bool Inside(const Box& outer) const {
        return left >= outer.left && top >= outer.top && right <= outer.right &&
               bottom <= outer.bottom;
    }
};

std::ostream& operator<<(std::ostream& os, const Box& b) {
    return os << "(" << b.left << ", " << b.top << ")-(" << b.right << ", " << b.bottom << ")";
}

// A dialog picture centred on the screen, as the game places it.
Box DialogBox(const std::string& dialog) {
    const Picture p = MustLoad("Interface/" + dialog);
    const double left = 400 - p.width * 0.5, top = 300 - p.height * 0.5;
    return {left, top, left + p.width, top + p.height};
}

// A button (one frame of its picture) placed at percentages of a centred dialog picture.
Box ButtonIn(const std::string& dialogPicture, const std::string& button, double xp, double yp) {
    const Picture d = MustLoad(dialogPicture);
    const Picture b = MustLoad("Interface/" + button);
    const double cx = 400 + static_cast<int>(xp * d.width / 100) - d.width * 0.5;
    const double cy = 300 + static_cast<int>(yp * d.height / 100) - d.height * 0.5;
    const double hw = b.width / 2.0, hh = b.height / 3 / 2.0;
    return {cx - hw, cy - hh, cx + hw, cy + hh};
}

TEST(AssetLayout, FieldFillsThePlayAreaClearOfScoreMenuAndAimLimit) {
    TwDefFile map = TextFile("Map.Txt");
    const int w = map.GetInt("xMax", 0), h = map.GetInt("yMax", 0),
              r = map.GetInt("BubbleRadius", 0);
    ASSERT_TRUE(w >= 1 && w <= 20 && h >= 1 && h <= 20) << w << " x " << h;
    const int d = 2 * r;
    const double left = (804 - d * w) * 0.5 + r / 2;
    const double wellLeft = left - r, wellRight = left + d * (w - 1) + r + r;
    const double lowestEdge = 1.5 * r + 20 + d * (h - 1) + r;
    EXPECT_LT(lowestEdge, 490) << "the last row reaches the aim limit";
    EXPECT_GT(lowestEdge, 400) << "the field leaves the play area half empty";
    EXPECT_GE(wellLeft, 0);
    EXPECT_LE(wellRight, 800);
    // The score, up to seven digits centred on x 72, and the menu button at (744, 18).
    EXPECT_LT(72 + 3.5 * TextFile("Fonts.Txt").GetInt("Digits.MonoWidth", 0), wellLeft);
    const Picture menu = MustLoad("Interface/Menu");
    EXPECT_GT(744 - menu.width / 2.0, wellRight);
    EXPECT_LE(744 + menu.width / 2.0, 800);
    // The bubble pictures have frames of the field's bubble size.
    EXPECT_EQ(MustLoad("Bubbles/0").width, 9 * d);
    EXPECT_EQ(MustLoad("Bubbles/0").height, d);
    // The loaded bubble appears on the launcher, below the field.
    EXPECT_GT(map.GetInt("yPlayerPos", 0), lowestEdge);
}

TEST(AssetLayout, DialogButtonsSitInsideTheirPictures) {
    struct Placed {
        const char* dialog;
        const char* button;
        double xp, yp;
    };
    // The positions the menus use for their fixed buttons.
    const Placed fixed[] = {
        {"Interface/vSmlDialog", "StartNew", 80, 80},
        {"Interface/vSmlDialog", "Continue", 20, 80},
        {"Interface/vSmlDialog", "Yes", 20, 80},
        {"Interface/vSmlDialog", "No", 80, 80},
        {"Interface/vSmlDialog", "Yes", 25, 80},
        {"Interface/vSmlDialog", "No", 75, 80},
        {"Interface/vSmlDialog", "BtnOk", 25, 80},
        {"Interface/vSmlDialog", "BtnCancel", 75, 80},
        {"Interface/OptionsDlg", "BtnOk", 50, 93.27},
        {"Interface/CreditsDlg", "BtnOk", 50, 90},
        {"Interface/GameOverDlg", "BtnOk", 70, 85},
        {"Interface/GameOverDlg", "Watch", 30, 85},
        {"Interface/GameComplDlg", "BtnOk", 70, 85},
        {"Interface/GameComplDlg", "Watch", 30, 85},
        {"Help", "Menu", 77, 93},
        {"Help", "Credits", 28, 93},
    };
    for (const Placed& p : fixed) {
        const Picture d = MustLoad(p.dialog);
        const Box outer = {400 - d.width / 2.0, 300 - d.height / 2.0, 400 + d.width / 2.0,
                           300 + d.height / 2.0};
        const Box button = ButtonIn(p.dialog, p.button, p.xp, p.yp);
        EXPECT_TRUE(button.Inside(outer)) << p.button << " " << button << " in " << p.dialog;
    }
    TwDefFile defs = TextFile("EngineDefs.Txt");
    struct Keyed {
        const char* dialog;
        const char* button;
        const char* key;
    };
    const Keyed keyed[] = {
        {"ProfileDlg", "BtnOk", "ProfileDlg.OkButtonPos"},
        {"ProfileDlg", "NewProfile", "ProfileDlg.AddButtonPos"},
        {"ProfileDlg", "DelProfile", "ProfileDlg.DelButtonPos"},
        {"ScoreDlg", "RArrow", "ScoreDlg.PrevPos"},
        {"ScoreDlg", "LArrow", "ScoreDlg.NextPos"},
        {"ScoreDlg", "Clear", "ScoreDlg.OkPos"},
        {"ScoreDlg", "BtnOk", "ScoreDlg.ClearPos"},
        {"EditDialog", "BtnOk", "EnterNameDlg.OkButtonPos"},
        {"EditDialog", "BtnCancel", "EnterNameDlg.CancelButtonPos"},
    };
    std::map<std::string, std::vector<Box>> placed; // by dialog
    for (const Keyed& k : keyed) {
        const TwVector pos = defs.GetVector3(k.key, ',');
        const Box button = ButtonIn(std::string("Interface/") + k.dialog, k.button, pos.x, pos.y);
        EXPECT_TRUE(button.Inside(DialogBox(k.dialog))) << k.key << " " << button;
        for (const Box& other : placed[k.dialog]) {
            const bool apart = button.right <= other.left || other.right <= button.left ||
                               button.bottom <= other.top || other.bottom <= button.top;
            EXPECT_TRUE(apart) << k.key << " overlaps another button";
        }
        placed[k.dialog].push_back(button);
    }
}

TEST(AssetLayout, ListsTablesAndTextStayInsideTheirDialogs) {
    TwDefFile defs = TextFile("EngineDefs.Txt");
    // Every player entry of a full list.
    const Box profile = DialogBox("ProfileDlg");
    const int count = defs.GetInt("ProfileDlg.NumProfiles", 0);
    EXPECT_GE(count, 4);
    for (int i = 0; i < count; ++i) {
        const double yp =
            defs.GetInt("ProfileDlg.UpOffset", 0) + defs.GetFloat("ProfileDlg.CharYDist", 0) * i;
        const Box entry = ButtonIn("Interface/ProfileDlg", "ProfileItem", 50, yp);
        EXPECT_TRUE(entry.Inside(profile)) << "player entry " << i << " " << entry;
        const Box add = ButtonIn("Interface/ProfileDlg", "NewProfile", 50,
                                 defs.GetVector3("ProfileDlg.AddButtonPos", ',').y);
        EXPECT_LE(entry.bottom, add.top) << "player entry " << i << " runs into the buttons";
    }
    // Ten score rows of font height, between the title and the buttons.
    const Box score = DialogBox("ScoreDlg");
    const Picture font = MustLoad("Fonts/MainFont");
    const int top = defs.GetInt("ScoreDlg.UpUffset", 0),
              step = defs.GetInt("ScoreDlg.LineOffset", 0);
    const Box rows = {double(defs.GetInt("ScoreDlg.LeftNumOffset", 0) - 30),
                      top - font.height / 2.0, double(defs.GetInt("ScoreDlg.ScoreOffset", 0)),
                      top + 9 * step + font.height / 2.0};
    EXPECT_TRUE(rows.Inside(score)) << rows;
    EXPECT_LT(defs.GetInt("ScoreDlg.LeftNumOffset", 0), defs.GetInt("ScoreDlg.NameOffset", 0));
    const Box buttons =
        ButtonIn("Interface/ScoreDlg", "BtnOk", 70, defs.GetVector3("ScoreDlg.ClearPos", ',').y);
    EXPECT_LE(rows.bottom, buttons.top);
    const TwVector title = defs.GetVector3("ScoreDlg.TittlePos", ',');
    const Picture classic = MustLoad("Interface/ScoreClassic");
    EXPECT_TRUE((Box{title.x - classic.width / 2.0, title.y - classic.height / 2.0,
                     title.x + classic.width / 2.0, title.y + classic.height / 2.0})
                    .Inside(score));
    EXPECT_LE(title.y + classic.height / 2.0, rows.top);
    // The typed name, as wide as it may grow, centred on the text position.
    const TwVector text = defs.GetVector3("EnterNameDlg.TextPos", ',');
    const double half = defs.GetInt("EnterNameDlg.InputWidth", 0) / 2.0 + 8;
    EXPECT_TRUE(
        (Box{text.x - half, text.y - font.height / 2.0, text.x + half, text.y + font.height / 2.0})
            .Inside(DialogBox("EditDialog")));
    // The end-of-game numbers, seven digits wide, inside their panels.
    TwDefFile map = TextFile("Map.Txt");
    const Picture over = MustLoad("Interface/GameOverDlg");
    for (const char* key : {"GameOver.ScorePos", "GameOver.BonusPos", "GameOver.TotalPos"}) {
        const TwVector p = map.GetVector3(key, ',');
        const double x = over.width * p.x / 100, y = over.height * p.y / 100;
        EXPECT_LE(x + 7 * 22, over.width) << key;
        EXPECT_GT(y, 40) << key;
        EXPECT_LT(y + 16, over.height * 0.85 - 21) << key << " runs into the button";
    }
}

// ----- Picture content -----

// Straight colour of a pixel of a picture from the packs (0xRRGGBB) and its alpha.
struct Rgba {
    int r, g, b, a;
};

Rgba PixelOf(const Picture& p, int x, int y) {
    const std::uint8_t* q = &p.decoded.rgba[(std::size_t(y) * p.width + x) * 4];
    return {q[0], q[1], q[2], q[3]};
}

// Which pixels of one frame (frameW wide, starting at column x0) are opaque.
std::vector<bool> Coverage(const Picture& p, int x0, int frameW) {
    std::vector<bool> mask;
    for (int y = 0; y < p.height; ++y) {
        for (int x = x0; x < x0 + frameW; ++x) {
            mask.push_back(PixelOf(p, x, y).a > 128);
        }
    }
    return mask;
}

TEST(AssetPictureContent, BubblesGrowIntoFullBubblesOfTheirTintWithDistinctSigns) {
    // The tints the game gives the pointer for each colour.
    const int tints[6][3] = {{140, 154, 232}, {255, 145, 105}, {99, 206, 91},
                             {255, 242, 35},  {230, 141, 213}, {255, 255, 255}};
    std::vector<std::vector<bool>> signs;
    for (int c = 0; c < 6; ++c) {
        const Picture p = MustLoad("Bubbles/" + std::to_string(c));
        const int d = p.height, last = 8 * d;
        // The last frame is a whole disc filling its cell; the first is a small seed.
        const auto full = Coverage(p, last, d);
        const auto seed = Coverage(p, 0, d);
        const long fullCount = std::count(full.begin(), full.end(), true);
        const long seedCount = std::count(seed.begin(), seed.end(), true);
        EXPECT_GT(fullCount, 0.7 * 3.14159 * d * d / 4) << "colour " << c;
        EXPECT_LT(seedCount, fullCount / 4) << "colour " << c;
        EXPECT_EQ(PixelOf(p, last, 0).a, 0) << "corners of a bubble are clear";
        // The bubble's mean colour leans the same way as its tint.
        double sum[3] = {0, 0, 0};
        int n = 0;
        for (int y = 0; y < d; ++y) {
            for (int x = last; x < last + d; ++x) {
                const Rgba px = PixelOf(p, x, y);
                if (px.a == 255) {
                    sum[0] += px.r, sum[1] += px.g, sum[2] += px.b;
                    ++n;
                }
            }
        }
        ASSERT_GT(n, 0);
        double dist = 0;
        for (int k = 0; k < 3; ++k) {
            dist += std::pow(sum[k] / n - tints[c][k], 2);
        }
        EXPECT_LT(std::sqrt(dist), 90) << "colour " << c << " is far from its tint";
        // The sign: the pixels clearly darker than their neighbourhood inside the disc.
        std::vector<bool> sign;
        for (int y = d / 4; y < d * 3 / 4; ++y) {
            for (int x = last + d / 4; x < last + d * 3 / 4; ++x) {
                const Rgba px = PixelOf(p, x, y);
                const double lum = 0.3 * px.r + 0.59 * px.g + 0.11 * px.b;
                const double mean = 0.3 * sum[0] / n + 0.59 * sum[1] / n + 0.11 * sum[2] / n;
                sign.push_back(lum < mean * 0.8);
            }
        }
        EXPECT_GT(std::count(sign.begin(), sign.end(), true), 20)
            << "colour " << c << " has no sign";
        signs.push_back(sign);
    }
    // No two signs share the same shape.
    for (int a = 0; a < 6; ++a) {
        for (int b = a + 1; b < 6; ++b) {
            long both = 0, either = 0;
            for (std::size_t i = 0; i < signs[a].size(); ++i) {
                both += signs[a][i] && signs[b][i];
                either += signs[a][i] || signs[b][i];
            }
            EXPECT_LT(double(both) / either, 0.75) << "signs of colours " << a << " and " << b;
        }
    }
}

TEST(AssetPictureContent, SpritesPointTheWayTheGameTurnsThem) {
    // The launcher's hub is a ring whose window shows the next bubble, which the game puts just
    // behind the launcher's centre: the middle of the clear run through the centre, along the
    // launcher's axis, lies behind it. The game turns "Zorbit" from +x, "ZorbitMenu" from up.
    auto windowMiddle = [](const Picture& p, bool alongX) {
        const int cx = p.width / 2, cy = p.height / 2;
        auto clear = [&](int t) {
            return (alongX ? PixelOf(p, cx + t, cy).a : PixelOf(p, cx, cy + t).a) < 16;
        };
        int lo = 0, hi = 0;
        while (clear(lo - 1)) {
            --lo;
        }
        while (clear(hi + 1)) {
            ++hi;
        }
        return (lo + hi) / 2.0;
    };
    const Picture game = MustLoad("Zorbit");
    ASSERT_LT(PixelOf(game, game.width / 2, game.height / 2).a, 16);
    EXPECT_LT(windowMiddle(game, true), -3) << "the game's launcher must point along +x";
    const Picture menu = MustLoad("ZorbitMenu");
    ASSERT_LT(PixelOf(menu, menu.width / 2, menu.height / 2).a, 16);
    EXPECT_GT(windowMiddle(menu, false), 3) << "the menu's launcher must point up";
    // The pointer is centred on its picture and light, since the game tints it.
    const Picture cursor = MustLoad("Cursor");
    double sx = 0, sy = 0;
    int n = 0;
    for (int y = 0; y < cursor.height; ++y) {
        for (int x = 0; x < cursor.width; ++x) {
            if (PixelOf(cursor, x, y).a > 128) {
                sx += x + 0.5 - cursor.width / 2.0, sy += y + 0.5 - cursor.height / 2.0;
                ++n;
            }
        }
    }
    ASSERT_GT(n, 0);
    EXPECT_LT(std::abs(sx / n), 0.5);
    EXPECT_LT(std::abs(sy / n), 0.5);
    const Rgba centre = PixelOf(cursor, cursor.width / 2, cursor.height / 2);
    EXPECT_GT(centre.r + centre.g + centre.b, 600) << "the pointer's centre must be light";
}

TEST(AssetPictureContent, OverlaysAndInvisibleButtonsHaveTheRightTransparency) {
    // The dimming square is one even, dark, half-see-through colour.
    const Picture fade = MustLoad("Interface/Fade");
    const Rgba f = PixelOf(fade, 0, 0);
    EXPECT_TRUE(f.a > 64 && f.a < 220) << int(f.a);
    EXPECT_LT(f.r + f.g + f.b, 60);
    for (int y = 0; y < fade.height; ++y) {
        for (int x = 0; x < fade.width; ++x) {
            const Rgba p = PixelOf(fade, x, y);
            ASSERT_TRUE(p.a == f.a && p.r == f.r && p.g == f.g && p.b == f.b);
        }
    }
    // The greeting's button is invisible except for its focused frame.
    const Picture greeting = MustLoad("Interface/ChangeProfileTr");
    const int fh = greeting.height / 3;
    for (int frame = 0; frame < 3; ++frame) {
        int visible = 0;
        for (int y = frame * fh; y < (frame + 1) * fh; ++y) {
            for (int x = 0; x < greeting.width; ++x) {
                visible += PixelOf(greeting, x, y).a > 0;
            }
        }
        if (frame == 1) {
            EXPECT_GT(visible, 100);
        } else {
            EXPECT_EQ(visible, 0) << "frame " << frame;
        }
    }
    // A push button's three looks differ from each other.
    const Picture ok = MustLoad("Interface/BtnOk");
    const int bh = ok.height / 3;
    auto frameBytes = [&](int frame) {
        std::string out;
        for (int y = frame * bh; y < (frame + 1) * bh; ++y) {
            for (int x = 0; x < ok.width; ++x) {
                const Rgba p = PixelOf(ok, x, y);
                out += {char(p.r), char(p.g), char(p.b), char(p.a)};
            }
        }
        return out;
    };
    EXPECT_NE(frameBytes(0), frameBytes(1));
    EXPECT_NE(frameBytes(0), frameBytes(2));
    EXPECT_NE(frameBytes(1), frameBytes(2));
}

// ----- Fonts -----

struct FontUnderTest {
    TwBitmapFont font;
    Picture strip;
};

void LoadFont(const std::string& name, FontUnderTest& out) {
    TwDefFile fonts = TextFile("Fonts.Txt");
    out.font.Configure(fonts.GetCString(name + ".Codes"), fonts.GetInt(name + ".MonoWidth", 0),
                       fonts.GetInt(name + ".CharDist", 0), fonts.GetInt(name + ".SpaceSize", 0),
                       fonts.GetInt(name + ".RowHeight", 0));
    out.strip = MustLoad(fonts.GetString(name + ".FileName"));
    ASSERT_TRUE(out.font.ReadStripPicture(out.strip.decoded));
}

// Glyphs as the game cuts them: each character has its own rectangle, no two overlap, and
// every visible pixel of the strip lies inside one (nothing is cut off). A strip of several
// rows is checked row by row.
void ExpectWholeGlyphs(const std::string& name) {
    FontUnderTest f;
    LoadFont(name, f);
    const std::string& codes = f.font.Codes();
    ASSERT_FALSE(codes.empty());
    std::vector<char32_t> chars;
    for (std::size_t pos = 0; pos < codes.size();) {
        chars.push_back(TwUtf8::Next(codes, pos));
    }
    EXPECT_EQ(f.font.GlyphCount(), chars.size()) << name;
    std::vector<TwRect> rects;
    for (char32_t ch : chars) {
        const std::string shown = TwUtf8::Encode(ch);
        ASSERT_TRUE(f.font.HasGlyph(ch)) << name << " lacks '" << shown << "'";
        const TwRect r = f.font.Glyph(ch);
        EXPECT_TRUE(r.left >= 0 && r.right <= f.strip.width && r.left <= r.right && r.top >= 0 &&
                    r.bottom <= f.strip.height)
            << name << " '" << shown << "'";
        for (const TwRect& other : rects) {
            EXPECT_TRUE(r.top != other.top || r.right <= other.left || other.right <= r.left)
                << name << " '" << shown << "' overlaps";
        }
        rects.push_back(r);
        if (ch != ' ') {
            int ink = 0;
            for (int x = r.left; x < r.right; ++x) {
                for (int y = r.top; y < r.bottom; ++y) {
                    ink += f.strip.Alpha(x, y) > 1;
                }
            }
            EXPECT_GT(ink, 8) << name << " '" << shown << "' draws nothing";
        }
    }
    const int rowHeight = rects.empty() ? f.strip.height : rects.front().Height();
    ASSERT_GT(rowHeight, 0);
    for (int top = 0; top < f.strip.height; top += rowHeight) {
        for (int x = 0; x < f.strip.width; ++x) {
            bool visible = false;
            for (int y = top; y < top + rowHeight && y < f.strip.height && !visible; ++y) {
                visible = f.strip.Alpha(x, y) > 1;
            }
            if (!visible) {
                continue;
            }
            const bool covered = std::any_of(rects.begin(), rects.end(), [x, top](const TwRect& r) {
                return r.top == top && x >= r.left && x < r.right;
            });
            EXPECT_TRUE(covered) << name << ": column " << x << " of the row at " << top
                                 << " is drawn but belongs to no glyph";
        }
    }
}

TEST(AssetFonts, EveryCharacterOfBothFontsComesOutWhole) {
    ExpectWholeGlyphs("MainFont");
    ExpectWholeGlyphs("Digits");
}

TEST(AssetFonts, MainFontPrintsTheGameTextsItNeeds) {
    FontUnderTest f;
    LoadFont("MainFont", f);
    // '#' ends a paragraph line and is handed to the font: it must print nothing.
    EXPECT_FALSE(f.font.HasGlyph('#'));
    EXPECT_EQ(f.font.Codes()[0], ' ');
    EXPECT_GT(f.font.TextWidth(" "), 2);
    // Every letter and digit a player name may hold.
    for (unsigned char ch = 0; ch < 128; ++ch) {
        if (std::isalnum(ch)) {
            EXPECT_TRUE(f.font.HasGlyph(ch)) << ch;
        }
    }
    // The widest help line fits inside the help page from its left margin.
    const Picture help = MustLoad("Help");
    EXPECT_LT(help.width * 0.05 + f.font.TextWidth("Symbols on the shown represent the number of "
                                                   "unsuccessful#"),
              help.width * 0.95);
    // The widest name the entry dialog accepts takes at least a dozen wide letters.
    EXPECT_LT(f.font.TextWidth("WWWWWWWWWWWW"),
              TextFile("EngineDefs.Txt").GetInt("EnterNameDlg.InputWidth", 0));
}

TEST(AssetFonts, DigitsPrintTheScoreInFixedCells) {
    FontUnderTest f;
    LoadFont("Digits", f);
    const int cell = f.font.MonoWidth();
    ASSERT_GT(cell, 0);
    EXPECT_EQ(f.strip.width, cell * static_cast<int>(f.font.Codes().size()));
    for (char ch : std::string("0123456789 ")) {
        EXPECT_TRUE(f.font.HasGlyph(static_cast<unsigned char>(ch))) << ch;
    }
    EXPECT_EQ(f.font.TextWidth("1234"), f.font.TextWidth("9876"));
}

// ----- Reproducibility -----

std::map<std::string, std::string> FilesUnder(const std::string& root) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        if (entry.is_regular_file()) {
            files[fs::relative(entry.path(), root).generic_string()] =
                zvtest::ReadAll(entry.path().string());
        }
    }
    return files;
}

TEST(AssetGeneration, PicturesAreTheSameOnEveryRunAndMatchThePacks) {
    zvtest::TempDir first, second;
    ASSERT_TRUE(GeneratePictures(first.Path()));
    ASSERT_TRUE(GeneratePictures(second.Path()));
    const auto a = FilesUnder(first.Path()), b = FilesUnder(second.Path());
    ASSERT_FALSE(a.empty());
    EXPECT_EQ(a.size(), b.size());
    for (const auto& [name, bytes] : a) {
        const auto other = b.find(name);
        ASSERT_NE(other, b.end()) << name;
        EXPECT_TRUE(bytes == other->second) << name << " differs between two runs";
        std::string packed;
        EXPECT_TRUE(Read(name, packed)) << name << " is not in the packs";
        EXPECT_TRUE(packed == bytes) << name << " in the packs is not what the generator makes";
    }
}

TEST(AssetPictureFiles, OpaquePicturesBecomeJpegAndTheRestLosslessWebp) {
    zvtest::TempDir dir;
    // 3 x 2: the top row red, green, blue; the bottom row half-transparent white, clear grey
    // (its colour must survive too), black.
    const std::vector<std::uint8_t> rgba = {255, 0,   0,   255, 0,  255, 0,  255, 0, 0, 255, 255,
                                            255, 255, 255, 128, 90, 90,  90, 0,   0, 0, 0,   255};
    std::string path;
    ASSERT_TRUE(WritePictureFile(dir.File("Sub/Folder/Picture"), 3, 2, rgba, path));
    EXPECT_EQ(path, dir.File("Sub/Folder/Picture.Webp"));
    int w = 0, h = 0;
    std::vector<std::uint8_t> back;
    ASSERT_TRUE(ReadPictureFile(path, w, h, back));
    EXPECT_EQ(w, 3);
    EXPECT_EQ(h, 2);
    EXPECT_EQ(back, rgba) << "the lossless form must give back every byte";

    // An opaque picture is stored as JPEG: smooth colours come back within a few steps.
    std::vector<std::uint8_t> opaque;
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            opaque.insert(opaque.end(), {std::uint8_t(40 + 4 * x), std::uint8_t(200 - 3 * y),
                                         std::uint8_t(120), 255});
        }
    }
    ASSERT_TRUE(WritePictureFile(dir.File("Opaque"), 32, 32, opaque, path));
    EXPECT_EQ(path, dir.File("Opaque.Jpg"));
    ASSERT_TRUE(ReadPictureFile(path, w, h, back));
    ASSERT_EQ(back.size(), opaque.size());
    int worst = 0;
    for (std::size_t i = 0; i < back.size(); ++i) {
        worst = std::max(worst, std::abs(int(back[i]) - int(opaque[i])));
    }
    EXPECT_LE(worst, 4);

    EXPECT_FALSE(WritePictureFile(dir.File("Bad"), 3, 2, std::vector<std::uint8_t>(5), path));
    EXPECT_FALSE(ReadPictureFile(dir.File("Missing.Webp"), w, h, back));
    zvtest::WriteAll(dir.File("Short.Webp"),
                     zvtest::ReadAll(dir.File("Sub/Folder/Picture.Webp")).substr(0, 20));
    EXPECT_FALSE(ReadPictureFile(dir.File("Short.Webp"), w, h, back));
}

// A translated opaque picture is stored as the 8 x 8 blocks whose pixels differ from the
// English one. JPEG codes each block on its own, so the English JPEG with those blocks laid
// over it shows exactly what the translation's own JPEG would outside them, and the drawn
// pixels inside.
TEST(AssetPictureFiles, WordPatchesAreWholeJpegBlocksAndRebuildTheTranslation) {
    constexpr int kW = 40, kH = 24;
    std::vector<std::uint8_t> english(kW * kH * 4), translated;
    for (int y = 0; y < kH; ++y) {
        for (int x = 0; x < kW; ++x) {
            std::uint8_t* p = &english[(y * kW + x) * 4];
            p[0] = std::uint8_t(20 + 5 * x), p[1] = std::uint8_t(30 + 7 * y), p[2] = 90, p[3] = 255;
        }
    }
    translated = english;
    // "Words": a sharp bar across two blocks of the second block row.
    for (int x = 11; x < 21; ++x) {
        std::uint8_t* p = &translated[(10 * kW + x) * 4];
        p[0] = p[1] = p[2] = 250;
    }
    EXPECT_TRUE(WordsPatch(kW, kH, english, english).empty());
    const std::vector<std::uint8_t> patch = WordsPatch(kW, kH, english, translated);
    ASSERT_EQ(patch.size(), english.size());
    for (int y = 0; y < kH; ++y) {
        for (int x = 0; x < kW; ++x) {
            const bool inside = y >= 8 && y < 16 && x >= 8 && x < 24;
            EXPECT_EQ(patch[(y * kW + x) * 4 + 3], inside ? 255 : 0) << x << "," << y;
        }
    }

    TwPicture base, words, own;
    const std::vector<std::uint8_t> englishJpeg = EncodePicture(kW, kH, english);
    const std::vector<std::uint8_t> ownJpeg = EncodePicture(kW, kH, translated);
    const std::vector<std::uint8_t> patchFile = EncodePicture(kW, kH, patch);
    ASSERT_TRUE(TwDecodePicture(englishJpeg.data(), englishJpeg.size(), base));
    ASSERT_TRUE(TwDecodePicture(ownJpeg.data(), ownJpeg.size(), own));
    ASSERT_TRUE(TwDecodePicture(patchFile.data(), patchFile.size(), words));
    EXPECT_EQ(words.format, TwPicture::Format::Webp);
    ASSERT_TRUE(TwOverlayPicture(base, words));
    for (int y = 0; y < kH; ++y) {
        for (int x = 0; x < kW; ++x) {
            const bool inside = y >= 8 && y < 16 && x >= 8 && x < 24;
            const std::size_t at = std::size_t(y * kW + x) * 4;
            for (int c = 0; c < 4; ++c) {
                EXPECT_EQ(base.rgba[at + c], inside ? translated[at + c] : own.rgba[at + c])
                    << x << "," << y;
            }
        }
    }
}

TEST(AssetPictureFiles, ClearPixelsBesideASpriteTakeItsColourButStayClear) {
    // A red pixel in the middle of a clear 5 x 1 strip.
    std::vector<std::uint8_t> rgba(5 * 4, 0);
    rgba[2 * 4 + 0] = 200;
    rgba[2 * 4 + 3] = 255;
    BleedEdgeColours(5, 1, rgba);
    for (int x = 0; x < 5; ++x) {
        EXPECT_EQ(rgba[x * 4 + 0], 200) << x;
        EXPECT_EQ(rgba[x * 4 + 3], x == 2 ? 255 : 0) << x;
    }
    // Far from any visible pixel, clear pixels stay black.
    std::vector<std::uint8_t> wide(9 * 4, 0);
    wide[3] = 255;
    wide[0] = 90;
    BleedEdgeColours(9, 1, wide);
    EXPECT_EQ(wide[2 * 4], 90);
    EXPECT_EQ(wide[8 * 4], 0);
}

TEST(AssetGeneration, ContactSheetShowsThePictures) {
    zvtest::TempDir dir;
    const std::string sheet = dir.File("sheet.png");
    EXPECT_FALSE(WriteContactSheet(dir.Path(), sheet)) << "no pictures yet, nothing to show";
    ASSERT_TRUE(GeneratePictures(dir.Path()));
    ASSERT_TRUE(WriteContactSheet(dir.Path(), sheet));
    const std::string png = zvtest::ReadAll(sheet);
    ASSERT_GT(png.size(), 24u);
    EXPECT_EQ(png.substr(1, 3), "PNG");
    // Width and height from the PNG header: the sheet is wide and holds many rows of pictures.
    auto be32 = [&](std::size_t at) {
        return (static_cast<unsigned char>(png[at]) << 24) |
               (static_cast<unsigned char>(png[at + 1]) << 16) |
               (static_cast<unsigned char>(png[at + 2]) << 8) |
               static_cast<unsigned char>(png[at + 3]);
    };
    EXPECT_EQ(be32(16), 1600);
    EXPECT_GT(be32(20), 2000);
}

TEST(AssetGeneration, UnwritableFolderIsReportedAsFailure) {
    zvtest::TempDir dir;
    zvtest::WriteAll(dir.File("Data"), "a file where a folder should be");
    EXPECT_FALSE(GeneratePictures(dir.Path()));
}

} // namespace
