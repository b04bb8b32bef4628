// The field's life and frame: construction, the cells and the scene, a new game, loading the
// launcher, one frame of field logic and drawing. The rest of GameMap lives beside it, one
// concern a file (see GameMap.h).
#include "GameMap.h"
#include "platform/os/TwRand.h"

#include <algorithm>

#include "BaseBubble.h"
#include "BubbleBanks.h"
#include "Launcher.h"
#include "TwDrawList.h"

GameMap::GameMap(BubbleBanks& banks, int difficulty)
    : banks_(banks), geometry_(FieldGeometry::Shared()) {
    geometry_.ReadFromResources();
    SetDifficulty(difficulty);
    Construct();
}

GameMap::GameMap(BubbleBanks& banks, const FieldGeometry& geometry, int difficulty)
    : banks_(banks), geometry_(geometry) {
    SetDifficulty(difficulty);
    geometry_.columns = std::clamp(geometry_.columns, 1, kMaxCells);
    geometry_.rows = std::clamp(geometry_.rows, 1, kMaxCells);
    geometry_.radius = std::max(1, geometry_.radius);
    Construct();
}

void GameMap::Construct() {
    random_.SetState(TwRandSeed());
    grid_.SetSize(geometry_.columns, geometry_.rows);
    xPlayerPos_ = geometry_.xPlayerPos;
    yPlayerPos_ = geometry_.yPlayerPos;
    scene_ = &banks_.Scene();
    InitColours();
    MapState = kIntro;
    InitPacing();
    ComputeWalls();
}

GameMap::~GameMap() {
    // A launcher that outlives its field keeps its bubble but no longer reaches the field.
    if (launcher_ != nullptr && launcher_->Field() == this) {
        if (launcher_->Loaded() != nullptr) {
            RemoveFromScene(*launcher_->Loaded());
        }
        launcher_->SetField(nullptr);
    }
    ClearFalling();
    for (auto& bubble : incomingRow_) {
        if (bubble) {
            RemoveFromScene(*bubble);
        }
    }
    ClearGrid();
    if (nextBubble_) {
        RemoveFromScene(*nextBubble_);
    }
}

// ---------------------------------------------------------------------------------------
// Scene and cells

void GameMap::AddToScene(BaseBubble& bubble) {
    if (scene_ != nullptr) {
        scene_->Add(&bubble);
    }
}

void GameMap::RemoveFromScene(BaseBubble& bubble) {
    if (scene_ != nullptr) {
        scene_->Remove(&bubble);
    }
}

void GameMap::SetDifficulty(int difficulty) {
    difficulty_ = std::clamp(difficulty, 0, 2);
}

BaseBubble* GameMap::Bubble(int column, int row) const {
    return InField(column, row) ? cells_[column][row].get() : nullptr;
}

void GameMap::PlaceBubble(int column, int row, std::unique_ptr<BaseBubble> bubble) {
    if (!InField(column, row)) {
        if (bubble) {
            RemoveFromScene(*bubble);
        }
        return;
    }
    if (cells_[column][row]) {
        RemoveFromScene(*cells_[column][row]);
    }
    cells_[column][row] = std::move(bubble);
}

bool GameMap::PlaceNewBubble(int column, int row, int colour) {
    if (!InField(column, row)) {
        return false;
    }
    std::unique_ptr<BaseBubble> bubble = NewBubbleOfColour(colour);
    if (!bubble) {
        return false;
    }
    const TwVector centre = CellToScreen(column, row);
    bubble->PlaceAt(centre);
    bubble->SetRestPosition(centre);
    AddToScene(*bubble);
    PlaceBubble(column, row, std::move(bubble));
    return true;
}

std::unique_ptr<BaseBubble> GameMap::TakeBubble(int column, int row) {
    if (!InField(column, row) || !cells_[column][row]) {
        return nullptr;
    }
    RemoveFromScene(*cells_[column][row]);
    return std::move(cells_[column][row]);
}

int GameMap::BubbleCount() const {
    int count = 0;
    ForEachBubble([&count](const BaseBubble&, int, int) { ++count; });
    return count;
}

void GameMap::ClearGrid() {
    for (auto& column : cells_) {
        for (auto& bubble : column) {
            if (bubble) {
                RemoveFromScene(*bubble);
                bubble.reset();
            }
        }
    }
}

void GameMap::ClearFalling() {
    for (auto& bubble : fallingList_) {
        RemoveFromScene(*bubble);
    }
    fallingList_.clear();
}

std::unique_ptr<BaseBubble> GameMap::NewBubbleOfColour(int colour) const {
    return banks_.NewBubble(colour);
}

std::unique_ptr<BaseBubble> GameMap::CreateBubble(double column, double row) {
    std::unique_ptr<BaseBubble> bubble = NewBubbleOfColour(PickColour());
    if (!bubble) {
        return nullptr;
    }
    const TwVector centre = CellToScreen(column, row);
    bubble->PlaceAt(centre);
    bubble->SetRestPosition(centre);
    bubble->SetVelocity(TwVector());
    AddToScene(*bubble);
    return bubble;
}

void GameMap::SetNextBubble(std::unique_ptr<BaseBubble> bubble) {
    if (nextBubble_) {
        RemoveFromScene(*nextBubble_);
    }
    nextBubble_ = std::move(bubble);
}

std::unique_ptr<BaseBubble> GameMap::TakeNextBubble() {
    return std::move(nextBubble_);
}

// ---------------------------------------------------------------------------------------
// New game

void GameMap::InitColours() {
    ColourSet = {0, 1, 2, 3, 4, 5};
}

void GameMap::InitPacing() {
    // Easy allows five misses (or clock ticks) before the first row, Normal four, Hard three.
    const int level = difficulty_;
    NumMovesLeft = 5 - level;
    NumBeginMoves = 5 - level;
    NextNumBeginMoves = 4 - level;
    NumAddLines = 1;
    NumAddedeLines = 0;
    InitialNumMovesLeft = NumMovesLeft;
    InitialNumBeginMoves = NumBeginMoves;
    InitialNextNumBeginMoves = NextNumBeginMoves;
    InitialNumAddLines = NumAddLines;
    InitialNumAddedeLines = NumAddedeLines;
}

void GameMap::Reset(bool fill) {
    ClearFalling();
    TripleBonus = 0;
    ComboCount = 0;
    revealOrder_.clear();
    revealOrderBuilt_ = false;
    SetNextBubble(nullptr);
    InitColours();
    InitPacing();
    RowPending = false;
    Score = 0;
    if (CeilingRow != 0) {
        SetCeilingRow(0);
    }
    ClearGrid();
    for (auto& bubble : incomingRow_) {
        if (bubble) {
            RemoveFromScene(*bubble);
            bubble.reset();
        }
    }
    if (fill) {
        for (int c = 0; c < Columns(); ++c) {
            for (int k = 0; k < Rows() / 2; ++k) {
                cells_[c][k] = CreateBubble(c, k);
            }
        }
    }
    matchList_.clear();
    MapState = kIntro;
    flightPath_.clear();
    flightProgress_ = 0.0;
    segmentStarted_ = false;
}

// ---------------------------------------------------------------------------------------
// Launcher

void GameMap::LoadLauncher() {
    RecountColours();
    if (ColourSet.empty()) {
        if (launcher_ != nullptr) {
            launcher_->SetLoaded(nullptr);
        }
        SetNextBubble(nullptr);
        return;
    }
    if (!nextBubble_ || !InColourSet(nextBubble_->Colour())) {
        SetNextBubble(NewBubbleOfColour(PickColour()));
    }
    if (nextBubble_) {
        nextBubble_->PlaceAt(
            TwVector(static_cast<float>(xPlayerPos_), static_cast<float>(yPlayerPos_), 0.0f));
        nextBubble_->SetVelocity(TwVector());
    }
    if (launcher_ != nullptr) {
        launcher_->SetLoaded(TakeNextBubble());
    }
    SetNextBubble(NewBubbleOfColour(PickColour()));
    if (nextBubble_) {
        nextBubble_->RestartAppearing();
    }
    if (launcher_ != nullptr) {
        launcher_->SetFlying(false);
    }
}

// ---------------------------------------------------------------------------------------
// Frame

void GameMap::Update(int elapsed) {
    if (launcher_ != nullptr && launcher_->Loaded() != nullptr && cursorTint_) {
        cursorTint_(Launcher::ColourTint(launcher_->Loaded()->Colour()));
    }
    if (MapState == kIntro) {
        if (scene_ != nullptr) {
            scene_->RequestSort();
        }
        if (!nextBubble_) {
            RecountColours();
            SetNextBubble(NewBubbleOfColour(PickColour()));
            LoadLauncher();
        }
        if (UpdateIntro(elapsed)) {
            MapState = kReady;
        }
    }
    if (MapState == kResume) {
        if (scene_ != nullptr) {
            scene_->RequestSort();
        }
        if (UpdateIntro(elapsed)) {
            MapState = kReady;
            RecountColours();
        }
    }
    if (MapState == kReady && launcher_ != nullptr && launcher_->Loaded() != nullptr &&
        launcher_->Flying()) {
        NudgeAlongFlight();
        if (AdvanceFlight(elapsed)) {
            Land();
            if (MapState == kCleared) {
                return;
            }
        }
    }
    UpdateFalling(elapsed);
    UpdateWobbles(elapsed);
    if (state_ == PlayState::kLost) {
        return;
    }
    if (MapState == kRowStart) {
        RowStart();
        ElapsedTime = 0;
        MapState = kRowSlide;
    }
    if (MapState == kRowSlide) {
        ElapsedTime = 0;
        if (RowSlide(elapsed)) {
            CheckBottomRow();
        }
    }
    if (MapState == kRowSettle) {
        ElapsedTime = 0;
        RowSettle();
    }
}

void GameMap::UpdateWobbles(int elapsed) {
    ForEachBubble([&](BaseBubble& bubble, int, int) { bubble.UpdateWobble(elapsed, *this); });
}
