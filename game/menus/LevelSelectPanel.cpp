#include "LevelSelectPanel.h"

#include <algorithm>
#include <cstdio>

#include "LevelLibrary.h"
#include "data/TwLanguage.h"
#include "gfx/TwBitmapFont.h"
#include "gfx/TwFontTable.h"
#include "gui/TwButton.h"

namespace {

// The layout of the dialog picture (560 x 520): the title inset's centre, the tile grid's
// first centre and its steps, the problem line and the back button, as pixels of the picture.
constexpr float kWidth = 560.0f;
constexpr float kHeight = 520.0f;
constexpr float kTitleY = 97.0f;
constexpr float kArrowLeftX = 58.0f;
constexpr float kArrowRightX = 502.0f;
constexpr float kTileX = 80.0f;
constexpr float kTileY = 176.0f;
constexpr float kTileStepX = 100.0f;
constexpr float kTileStepY = 72.0f;
constexpr int kTileColumns = 5;

// The row of the page a tile stands in (whole rows).
int RowOfTile(int index) {
    return index / kTileColumns;
}
constexpr float kProblemY = 448.0f;
constexpr float kBackY = 486.0f;

float XPercent(float x) {
    return x * 100.0f / kWidth;
}
float YPercent(float y) {
    return y * 100.0f / kHeight;
}

// Puts a value where a text names it; the texts come from the language tables, so they are
// never used as a format.
void Fill(std::string& text, const std::string& name, const std::string& value) {
    const std::size_t at = text.find(name);
    if (at != std::string::npos) {
        text.replace(at, name.size(), value);
    }
}

} // namespace

void LevelSelectPanel::Show(const LevelLibrary& library, const std::string& player) {
    library_ = &library;
    progress_.Load(player);
    pages_.clear();
    page_ = 0;
    bool found = false;
    const auto& sets = library.Sets();
    for (std::size_t s = 0; s < sets.size(); ++s) {
        const int count = static_cast<int>(sets[s].levels.size());
        for (int first = 1; first <= count; first += kTilesPerPage) {
            pages_.push_back({s, first, std::min(kTilesPerPage, count - first + 1)});
            // The first page holding a level still to clear is where the player goes on.
            for (int n = first; !found && n < first + pages_.back().levels; ++n) {
                if (!progress_.Cleared(sets[s].id, n)) {
                    page_ = static_cast<int>(pages_.size()) - 1;
                    found = true;
                }
            }
        }
    }
    BuildPage();
}

void LevelSelectPanel::TurnPage(int direction) {
    if (pages_.empty()) {
        return;
    }
    const int count = static_cast<int>(pages_.size());
    page_ = ((page_ + direction) % count + count) % count;
    BuildPage();
}

void LevelSelectPanel::OnCreate() {
    // The arrows stay while the pages turn, so the pointer resting on an arrow can turn
    // page after page.
    AddButton("Interface/LArrow", XPercent(kArrowLeftX), YPercent(kTitleY), kPrevEvent, kPlainRole);
    AddButton("Interface/RArrow", XPercent(kArrowRightX), YPercent(kTitleY), kNextEvent,
              kPlainRole);
}

void LevelSelectPanel::BuildPage() {
    for (const Tile& tile : tiles_) {
        RemoveElement(tile.element);
    }
    tiles_.clear();
    // The back button is added again after the tiles, so Tab reaches it last.
    if (const TwBaseGuiElemen* back = FindElement(kBackEvent)) {
        RemoveElement(back);
    }
    for (const char* arrow : {kPrevEvent, kNextEvent}) {
        if (TwBaseGuiElemen* element = FindElement(arrow)) {
            pages_.size() > 1 ? element->Enable() : element->Disable();
        }
    }
    if (library_ != nullptr && !pages_.empty()) {
        const Page& page = pages_[static_cast<std::size_t>(page_)];
        const LevelSet& set = library_->Sets()[page.set];
        for (int i = 0; i < page.levels; ++i) {
            const int level = page.firstLevel + i;
            const bool cleared = progress_.Cleared(set.id, level);
            TwButton* tile =
                AddButton(cleared ? "Interface/LevelTileDone" : "Interface/LevelTile",
                          XPercent(kTileX + kTileStepX * static_cast<float>(i % kTileColumns)),
                          YPercent(kTileY + kTileStepY * static_cast<float>(RowOfTile(i))),
                          kTileEvent, kPlainRole);
            if (!progress_.IsOpen(set.id, level)) {
                tile->Disable();
            }
            tiles_.push_back({tile, level});
        }
    }
    AddButton("Interface/PuzzleMenu", 50.0f, YPercent(kBackY), kBackEvent, kCancelRole);
}

void LevelSelectPanel::Open() {
    TwDialogPanel::Open();
    for (const auto& element : Elements()) {
        if (element->IsDisabled()) {
            element->Disable();
        }
    }
}

bool LevelSelectPanel::Choose(const TwBaseGuiElemen* tile) {
    if (library_ == nullptr || pages_.empty()) {
        return false;
    }
    for (const Tile& t : tiles_) {
        if (t.element == tile && !t.element->IsDisabled()) {
            chosenSet_ = library_->Sets()[pages_[static_cast<std::size_t>(page_)].set].id;
            chosenLevel_ = t.level;
            return true;
        }
    }
    return false;
}

void LevelSelectPanel::Draw() {
    TwDialogPanel::Draw();
    TwBitmapFont* font = TwFontTable::Get(TwFontTable::MainFont);
    if (font == nullptr || library_ == nullptr) {
        return;
    }
    const TwVector origin = PointInPanel(0.0f, 0.0f);
    const float alpha = colour_.alpha;
    if (!pages_.empty()) {
        const Page& page = pages_[static_cast<std::size_t>(page_)];
        const LevelSet& set = library_->Sets()[page.set];
        std::string title = set.title;
        if (set.levels.size() > static_cast<std::size_t>(kTilesPerPage)) {
            char range[32];
            std::snprintf(range, sizeof range, "  %d-%d", page.firstLevel,
                          page.firstLevel + page.levels - 1);
            title += range;
        }
        font->SetTint(255.0f, 230.0f, 150.0f, alpha);
        font->DrawText(origin.x + kWidth / 2.0f, origin.y + kTitleY, title,
                       TwBitmapFont::AlignCentre);
        for (const Tile& tile : tiles_) {
            const TwVector centre = tile.element->Position();
            const bool open = !tile.element->IsDisabled();
            const int best = progress_.Best(set.id, tile.level);
            font->SetTint(255.0f, 255.0f, 255.0f, open ? alpha : alpha * 0.45f);
            const std::string number = std::to_string(tile.level);
            font->DrawText(centre.x, centre.y - (best > 0 ? 9.0f : 0.0f), number,
                           TwBitmapFont::AlignCentre);
            if (best > 0) {
                font->SetTint(255.0f, 215.0f, 110.0f, alpha);
                font->DrawText(centre.x, centre.y + 12.0f, std::to_string(best),
                               TwBitmapFont::AlignCentre);
            }
        }
    }
    // A level file that could not be read is named with its line.
    const auto& problems = library_->Problems();
    if (!problems.empty()) {
        std::string text = TwLanguage::Instance().GetText("LevelFileBroken");
        Fill(text, "{file}", problems.front().file);
        Fill(text, "{line}", std::to_string(problems.front().problem.line));
        font->SetTint(255.0f, 150.0f, 130.0f, alpha);
        font->DrawText(origin.x + kWidth / 2.0f, origin.y + kProblemY, text,
                       TwBitmapFont::AlignCentre);
    }
}
