#include "GameMap.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "BaseBubble.h"
#include "BubbleBanks.h"
#include "GameSound.h"
#include "GameState.h"
#include "Launcher.h"
#include "TwDrawList.h"
#include "app/TwScreenSize.h"
#include "app/TwSysConfig.h"
#include "gfx/TwAnimation.h"
#include "gfx/TwClip.h"
#include "gfx/TwGeometry.h"
#include "platform/TwRand.h"

namespace {
bool g_burstSoundToggle = false;

constexpr int kMaxRouteSegments = 8;
constexpr float kRouteReach = 1024.0f;
constexpr int kContactSteps = 1024;
constexpr double kFlightRate = 0.003; // with 300 / length: 0.9 pixels per millisecond
constexpr double kSlideRate = 0.0025; // a row slides in over 400 ms
constexpr int kBurstInterval = 64;    // ms between two falling bursts
constexpr float kNoBubbleDistance = 8192.0f;

// Where the moves indicator shows its symbols, left to right.
constexpr TwPoint kMoveSymbolPlaces[] = {
    {562, 560}, {585, 548}, {611, 543}, {638, 545}, {662, 539}};

float Distance(const TwVector& a, const TwVector& b) {
    return (a - b).Length();
}

TwVector Flat(const TwVector& v) {
    return {v.x, v.y, 0.0f};
}
} // namespace

GameMap::GameMap(BubbleBanks& banks) : banks_(banks), geometry_(FieldGeometry::Shared()) {
    geometry_.ReadFromResources();
    Construct();
}

GameMap::GameMap(BubbleBanks& banks, const FieldGeometry& geometry)
    : banks_(banks), geometry_(geometry) {
    geometry_.columns = std::clamp(geometry_.columns, 1, kMaxCells);
    geometry_.rows = std::clamp(geometry_.rows, 1, kMaxCells);
    geometry_.radius = std::max(1, geometry_.radius);
    Construct();
}

void GameMap::Construct() {
    FieldGeometry::Shared() = geometry_;
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
// Geometry

TwVector GameMap::CellToScreen(double column, double row) const {
    return geometry_.CellCentre(column, row);
}

TwCell GameMap::FindCell(const TwVector& p, bool freeOnly) const {
    // Only the cells around the point can hold it; of those the lowest column, then the
    // lowest row wins, just as a scan column by column, row by row would find it.
    const double d = geometry_.Diameter();
    const int rowGuess =
        static_cast<int>(std::floor((p.y - (1.5 * geometry_.radius + 20.0)) / d + 0.5));
    TwCell best{-1, -1};
    for (int k = std::max(0, rowGuess - 1); k <= std::min(Rows() - 1, rowGuess + 1); ++k) {
        const double rowLeft = CellToScreen(0, k).x;
        const int columnGuess = static_cast<int>(std::floor((p.x - rowLeft) / d + 0.5));
        for (int c = std::max(0, columnGuess - 1); c <= std::min(Columns() - 1, columnGuess + 1);
             ++c) {
            if (freeOnly && cells_[c][k]) {
                continue;
            }
            if (!geometry_.CellSquareHolds(c, k, p)) {
                continue;
            }
            if (best.x < 0 || c < best.x || (c == best.x && k < best.y)) {
                best = {c, k};
            }
        }
    }
    return best;
}

TwCell GameMap::ScreenToCell(const TwVector& p) const {
    return FindCell(p, false);
}

TwCell GameMap::ScreenToFreeCell(const TwVector& p) const {
    return FindCell(p, true);
}

TwCell GameMap::NearestFreeCell(const TwVector& p) const {
    TwCell best{-1, -1};
    float bestDistance = std::numeric_limits<float>::max();
    for (int c = 0; c < Columns(); ++c) {
        for (int k = 0; k < Rows(); ++k) {
            if (cells_[c][k]) {
                continue;
            }
            const float distance = Distance(Flat(CellToScreen(c, k)), Flat(p));
            if (distance < bestDistance) {
                bestDistance = distance;
                best = {c, k};
            }
        }
    }
    return best;
}

void GameMap::ComputeWalls() {
    const TwVector topLeft = CellToScreen(0, 0);
    walls_.leftX = static_cast<int>(topLeft.x);
    walls_.topY = static_cast<int>(topLeft.y);
    walls_.rightX = static_cast<int>(CellToScreen(Columns(), 0).x - static_cast<float>(Radius()));
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

void GameMap::SetBackground(const std::string& name) {
    background_ = std::make_unique<TwClip>();
    background_->SetImage(name);
    background_->SetAnimation(1, TwAnimation::Still, 1, 1);
    const TwScreenSize& screen = TwScreenSize::Instance();
    background_->SetPosition(static_cast<float>(screen.width / 2),
                             static_cast<float>(screen.height / 2), 0.0f);
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
    const int level = std::clamp(TwSysConfig::Instance().DifficultLevel, 0, 2);
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
// Colours

void GameMap::RecountColours() {
    const std::size_t before = ColourSet.size();
    ColourSet.clear();
    ForEachBubble([this](const BaseBubble& bubble, int, int) {
        if (bubble.Colour() >= 0 && bubble.Colour() < kColourCount) {
            ColourSet.insert(bubble.Colour());
        }
    });
    if (ColourSet.size() != before && MapState != kIntro) {
        // A colour has gone: the field pushes harder from now on.
        GameSound::Play(GameSound::kColourRemoved);
        NumBeginMoves -= 1;
        NumAddLines += 1;
        RowPending = true;
    }
}

int GameMap::PickColour() const {
    // The smallest present colour is chosen for m = 0 and m = 1, so it comes up twice as
    // often as each of the others.
    const int n = static_cast<int>(ColourSet.size());
    const int m = TwRand() % (n + 1);
    int i = 0;
    for (int colour : ColourSet) {
        ++i;
        if (i >= m) {
            return colour;
        }
    }
    return kNoColour;
}

bool GameMap::ColourPresent(int colour) const {
    bool found = false;
    ForEachBubble([&](const BaseBubble& bubble, int, int) { found |= bubble.Colour() == colour; });
    return found;
}

bool GameMap::IsEmpty() const {
    return BubbleCount() == 0;
}

bool GameMap::RowEmpty(int row) const {
    if (row < 0 || row >= kMaxCells) {
        return true;
    }
    for (int c = 0; c < Columns(); ++c) {
        if (cells_[c][row]) {
            return false;
        }
    }
    return true;
}

bool GameMap::CheckBottomRow() {
    if (RowEmpty(Rows() - 1)) {
        return false;
    }
    GameState::Set(GameState::kLost);
    MapState = kReady;
    return true;
}

// ---------------------------------------------------------------------------------------
// Pacing

void GameMap::OnMiss() {
    NumMovesLeft -= 1;
    AdvanceRowCounter();
}

void GameMap::AdvanceRowCounter() {
    // The counter normally runs 5, 4, ... 0 and the step below 0 brings a row. Once lost
    // colours have worn the refill value down to nothing, a row comes with every step
    // instead of the counter running away below 0 and never bringing a row again.
    if (NumMovesLeft >= 0) {
        return;
    }
    MapState = kRowStart;
    if (NextNumBeginMoves <= 0) {
        NextNumBeginMoves = NumBeginMoves;
    }
    NumMovesLeft = std::max(0, NextNumBeginMoves);
    NextNumBeginMoves -= 1;
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
// Shot route

// The first of ceiling, left wall and right wall that the ray from `p` along `d` meets,
// ignoring the wall it starts on.
void GameMap::FindBoundaryHit(const TwVector& p, const TwVector& d, bool& hitsCeiling,
                              TwVector& ceilingHit, bool& hitsLeft, TwVector& leftHit,
                              bool& hitsRight, TwVector& rightHit) const {
    constexpr float kNever = std::numeric_limits<float>::infinity();
    constexpr float kMinStep = 1e-3f;
    const float left = static_cast<float>(walls_.leftX);
    const float right = static_cast<float>(walls_.rightX);
    const float top = static_cast<float>(walls_.topY);
    const float toCeiling = d.y < 0.0f ? (top - p.y) / d.y : kNever;
    const float toWall = d.x < 0.0f   ? (left - p.x) / d.x
                         : d.x > 0.0f ? (right - p.x) / d.x
                                      : kNever;
    if (toWall > kMinStep && toWall < toCeiling) {
        const TwVector hit = p + d * toWall;
        (d.x < 0.0f ? hitsLeft : hitsRight) = true;
        (d.x < 0.0f ? leftHit : rightHit) = hit;
    } else if (toCeiling >= 0.0f && toCeiling != kNever) {
        // Only a ray that really crosses the ceiling between the walls reaches it; one
        // leaving the field sideways (from a wall, outwards) keeps the route as it is.
        const TwVector hit = p + d * toCeiling;
        if (hit.x >= left - 0.5f && hit.x <= right + 0.5f) {
            hitsCeiling = true;
            ceilingHit = hit;
        }
    }
}

void GameMap::ComputePath() {
    if (launcher_ == nullptr || launcher_->Loaded() == nullptr) {
        return;
    }
    const float left = static_cast<float>(walls_.leftX);
    const float right = static_cast<float>(walls_.rightX);
    const float top = static_cast<float>(walls_.topY);
    const TwVector ceilingA(left, top);
    const TwVector ceilingB(right, top);
    const TwVector floorLeft(left, 600.0f);
    const TwVector floorRight(right, 600.0f);

    TwVector p = Flat(launcher_->Loaded()->Position());
    TwVector d = Flat(launcher_->Direction());
    flightPath_.clear();
    flightPath_.push_back(p);

    bool reachedCeiling = false;
    TwVector q = p;
    for (int segment = 0; segment < kMaxRouteSegments; ++segment) {
        const TwVector s = p + d * kRouteReach;
        TwVector ceilingHit, leftHit, rightHit;
        bool hitsCeiling = TwSegmentsIntersect(p, s, ceilingA, ceilingB, &ceilingHit);
        bool hitsLeft = TwSegmentsIntersect(p, s, ceilingA, floorLeft, &leftHit);
        bool hitsRight = TwSegmentsIntersect(p, s, ceilingB, floorRight, &rightHit);
        if (!hitsCeiling && !hitsLeft && !hitsRight) {
            // The edge tests can all miss when the ray runs exactly through a corner or
            // starts on a wall; find the boundary it meets first directly instead.
            FindBoundaryHit(p, d, hitsCeiling, ceilingHit, hitsLeft, leftHit, hitsRight, rightHit);
        }
        q = p;
        if (hitsCeiling) {
            q = ceilingHit;
        }
        if (hitsLeft) {
            q = leftHit;
        }
        if (hitsRight) {
            q = rightHit;
        }
        q.x = std::clamp(q.x, left, right);

        if (FindCollision(p, d, q)) {
            FinishPath();
            return;
        }
        if (hitsCeiling) {
            reachedCeiling = true;
            break;
        }
        if (hitsLeft) {
            d.x = -d.x;
        }
        if (hitsRight) {
            d.x = -d.x;
        }
        flightPath_.push_back(q);
        p = q;
    }

    if (reachedCeiling) {
        targetCell_ = ScreenToFreeCell(q);
    }
    // A route that found no free cell of its own (or one that ran out of bounces) ends in
    // the free cell nearest to where it stopped, never on another bubble.
    EnsureFreeTarget(q);
    if (InField(targetCell_)) {
        flightPath_.push_back(CellToScreen(targetCell_.x, targetCell_.y));
    }
    FinishPath();
}

bool GameMap::FindCollision(const TwVector& a, const TwVector& d, const TwVector& b) {
    const float r = static_cast<float>(Radius());
    const float limit = 1.25f * r + 0.025f;
    const float directionLength = std::max(Flat(d).Length(), 1e-8f);

    const TwVector reference =
        !flightPath_.empty()
            ? flightPath_.back()
            : (launcher_ && launcher_->Loaded() ? launcher_->Loaded()->Position() : a);
    bool any = false;
    float nearest = kNoBubbleDistance;
    TwVector struck;
    ForEachBubble([&](const BaseBubble& bubble, int, int) {
        const TwVector centre = Flat(bubble.Position());
        const float lineDistance =
            std::fabs(d.x * (centre.y - a.y) - d.y * (centre.x - a.x)) / directionLength;
        if (lineDistance > limit) {
            return;
        }
        any = true;
        const float distance = Distance(centre, reference);
        if (distance < nearest) {
            nearest = distance;
            struck = centre;
        }
    });
    if (!any) {
        return false;
    }
    contactCentre_ = struck;
    if (Distance(a, b) < Distance(a, struck) - 2.0f * r) {
        return false; // the bubble lies beyond this segment
    }
    targetCell_ = {-1, -1};
    FindContact(a, d, struck);
    return true;
}

void GameMap::FindContact(const TwVector& a, const TwVector& d, const TwVector& struck) {
    const float touch = 1.25f * static_cast<float>(Radius());
    const float struckDistance = Distance(a, struck);
    TwVector x = a;
    for (int step = 0; step < kContactSteps; ++step) {
        x += d;
        const TwCell free = ScreenToFreeCell(x);
        if (InField(free)) {
            targetCell_ = free;
        }
        if (Distance(x, struck) <= touch) {
            if (!InField(free)) {
                if (targetCell_.x == -1 && targetCell_.y == -1) {
                    const TwCell hit = ScreenToCell(struck);
                    targetCell_ = {hit.x, hit.y + 1};
                }
                EnsureFreeTarget(x);
                if (InField(targetCell_)) {
                    x = CellToScreen(targetCell_.x, targetCell_.y);
                }
            }
            flightPath_.push_back(x);
            return;
        }
        if (Distance(a, x) > struckDistance) {
            flightPath_.push_back(x); // passed the bubble without touching it
            return;
        }
    }
    flightPath_.push_back(x);
}

void GameMap::EnsureFreeTarget(const TwVector& near) {
    if (InField(targetCell_) && !cells_[targetCell_.x][targetCell_.y]) {
        return;
    }
    targetCell_ = NearestFreeCell(near);
}

void GameMap::FinishPath() {
    if (!InField(targetCell_)) {
        return; // a full field: the shot has nowhere to go
    }
    const TwVector goal = CellToScreen(targetCell_.x, targetCell_.y);
    const std::size_t n = flightPath_.size();
    if (n < 2) {
        flightPath_.push_back(goal);
        return;
    }
    if (n == 2) {
        flightPath_[1] = goal;
        return;
    }
    const int shortSegment = Radius() + Radius() / 2;
    if (static_cast<int>(Distance(flightPath_[n - 1], flightPath_[n - 2])) < shortSegment) {
        flightPath_.resize(n - 2);
        flightPath_.push_back(goal);
    }
    if (Distance(flightPath_.back(), goal) > 4.0f) {
        flightPath_.back() = goal;
    }
}

// ---------------------------------------------------------------------------------------
// Flight and landing

bool GameMap::AdvanceFlight(int elapsed) {
    BaseBubble* bubble = launcher_ != nullptr ? launcher_->Loaded() : nullptr;
    if (bubble == nullptr || flightPath_.size() < 2) {
        return true;
    }
    const TwVector first = flightPath_[0];
    const TwVector second = flightPath_[1];
    const double length = Distance(first, second);
    if (!segmentStarted_) {
        flightRate_ = length > 1e-6 ? 300.0 / length : 0.0;
        segmentStarted_ = true;
    }
    flightProgress_ += elapsed * kFlightRate * flightRate_;
    bool finished = length <= 1e-6; // a zero-length leg is over at once
    if (flightProgress_ > 1.0 || finished) {
        flightProgress_ = 1.0;
        finished = true;
        if (flightPath_.size() > 2) {
            const float nearWall = 1.0625f * static_cast<float>(Radius());
            if (std::fabs(second.x - static_cast<float>(walls_.leftX)) < nearWall) {
                GameSound::Play(GameSound::kHitWall);
            }
            if (std::fabs(second.x - static_cast<float>(walls_.rightX)) < nearWall) {
                GameSound::Play(GameSound::kHitWall);
            }
        }
    }
    bubble->SetPreviousPosition(bubble->Position());
    bubble->PlaceAt(first + (second - first) * static_cast<float>(flightProgress_));
    if (!finished) {
        return false;
    }
    segmentStarted_ = false;
    flightProgress_ = 0.0;
    if (flightPath_.size() == 2) {
        return true;
    }
    flightPath_.erase(flightPath_.begin());
    return false;
}

void GameMap::NudgeAlongFlight() {
    BaseBubble* flying = launcher_ != nullptr ? launcher_->Loaded() : nullptr;
    if (flying == nullptr) {
        return;
    }
    const TwVector source = flying->Position();
    ForEachBubble([&](BaseBubble& bubble, int, int) {
        const float e = Distance(Flat(bubble.Position()), Flat(source));
        if (e < 40.0f) {
            bubble.Push(source, 16.0);
        } else if (e < 50.0f) {
            bubble.Push(source, 12.0);
        } else if (e < 60.0f) {
            bubble.Push(source, 8.0);
        }
    });
}

void GameMap::Land() {
    if (launcher_ == nullptr || launcher_->Loaded() == nullptr) {
        return;
    }
    BaseBubble& bubble = *launcher_->Loaded();
    // It shakes along the direction it arrived from.
    bubble.SetRestPosition(bubble.Position());
    bubble.Push(TwVector(), 8.0);
    bubble.SetPushDirection(NormaliseOrKeep(bubble.Position() - bubble.PreviousPosition()));
    if (scene_ != nullptr) {
        scene_->ClearTop(&bubble);
    }
    GameSound::Play(GameSound::kStopBall);

    if (InField(targetCell_) && !cells_[targetCell_.x][targetCell_.y]) {
        const TwCell cell = targetCell_;
        const int colour = bubble.Colour();
        bubble.PlaceAt(CellToScreen(cell.x, cell.y));
        cells_[cell.x][cell.y] = launcher_->TakeLoaded();
        ResolveMatch(cell.x, cell.y, colour);
        DropUnsupported();
        if (IsEmpty()) {
            launcher_->Reset();
            MapState = kCleared;
            GameState::Set(GameState::kCleared);
            return;
        }
        LoadLauncher();
    } else {
        // Nowhere to go (every cell taken): the bubble goes back to the launcher.
        RemoveFromScene(bubble);
    }
    DropUnsupported();
    launcher_->SetFlying(false);
}

// ---------------------------------------------------------------------------------------
// Matching and falling

void GameMap::ResolveMatch(int column, int row, int colour) {
    if (colour == ColourGrid::kNoMatchColour) {
        return;
    }
    matchList_.clear();
    grid_.Fill(ColourGrid::kEmpty);
    ForEachBubble(
        [this](const BaseBubble& bubble, int c, int k) { grid_.At(c, k) = bubble.Colour(); });
    grid_.CollectGroup(column, row, colour, matchList_);
    if (matchList_.size() >= 3) {
        ComboCount += 1;
        if (ComboCount >= 3) {
            TripleBonus += 25;
        }
        RemoveMatched();
        GameSound::Play(GameSound::kBallDelete);
        OnMatch();
    } else {
        ComboCount = 0;
        OnMiss();
    }
    CheckBottomRow();
}

void GameMap::RemoveMatched() {
    AddScore(static_cast<int>(matchList_.size()));
    for (const TwCell& cell : matchList_) {
        std::unique_ptr<BaseBubble>& bubble = cells_[cell.x][cell.y];
        if (!bubble) {
            continue;
        }
        bubble->BurstInField(*this);
        RemoveFromScene(*bubble);
        bubble.reset();
    }
    matchList_.clear();
    DropUnsupported();
}

void GameMap::AddScore(int count) {
    int points = 0;
    int step = 0;
    for (int i = 0; i < count; ++i) {
        if (i % 3 == 0) {
            step += 10;
        }
        points += step;
    }
    Score += points;
}

void GameMap::MarkOccupiedCells() {
    supportGroup_.clear();
    grid_.Fill(ColourGrid::kEmpty);
    ForEachBubble([this](const BaseBubble&, int c, int k) { grid_.At(c, k) = 1; });
}

void GameMap::DropUnsupported() {
    MarkOccupiedCells();
    DetachFloatingGroups();
}

void GameMap::DetachFloatingGroups() {
    for (int c = 0; c < Columns(); ++c) {
        for (int k = 0; k < Rows(); ++k) {
            if (grid_.At(c, k) == ColourGrid::kEmpty) {
                continue;
            }
            supportGroup_.clear();
            const bool hanging = grid_.CollectSupport(c, k, supportGroup_);
            popTimer_ = -kBurstInterval;
            if (!hanging) {
                DetachGroup(supportGroup_);
            }
        }
    }
}

void GameMap::DetachGroup(const std::vector<TwCell>& group) {
    for (const TwCell& cell : group) {
        std::unique_ptr<BaseBubble>& bubble = cells_[cell.x][cell.y];
        if (!bubble) {
            continue;
        }
        const float speed =
            static_cast<float>(TwRand()) / static_cast<float>(TW_RAND_MAX) * 0.045f + 0.09f;
        bubble->SetVelocity(TwVector(0.0f, speed, 0.0f));
        fallingList_.push_back(std::move(bubble));
    }
}

void GameMap::BurstAndForget(std::unique_ptr<BaseBubble> bubble) {
    RemoveFromScene(*bubble);
    bubble->BurstInField(*this);
}

bool GameMap::BurstSoundToggle() {
    return g_burstSoundToggle;
}

void GameMap::SetBurstSoundToggle(bool on) {
    g_burstSoundToggle = on;
}

void GameMap::UpdateFalling(int elapsed) {
    popTimer_ += elapsed;
    for (auto& bubble : fallingList_) {
        bubble->PlaceAt(bubble->Position() + bubble->Velocity() * static_cast<float>(elapsed));
    }
    if (popTimer_ > kBurstInterval && !fallingList_.empty()) {
        popTimer_ = 0;
        g_burstSoundToggle = !g_burstSoundToggle;
        if (g_burstSoundToggle) {
            GameSound::Play(GameSound::kBallDelete);
        }
        std::unique_ptr<BaseBubble> bubble = std::move(fallingList_.front());
        fallingList_.erase(fallingList_.begin());
        BurstAndForget(std::move(bubble));
        AddScore(5);
    }
    if (fallingList_.empty()) {
        popTimer_ = kBurstInterval;
        if (RowPending) {
            RowPending = false;
            MapState = kRowStart;
        }
    }
}

// ---------------------------------------------------------------------------------------
// Intro reveal and rows

bool GameMap::UpdateIntro(int elapsed) {
    RowPending = false;
    if (!revealOrderBuilt_) {
        revealOrder_.clear();
        for (int colour = 0; colour < kColourCount; ++colour) {
            if (ColourPresent(colour)) {
                revealOrder_.push_back(colour);
            }
        }
        const int length = static_cast<int>(revealOrder_.size());
        for (int j = 0; j < length; ++j) {
            std::swap(revealOrder_[j], revealOrder_[j + TwRand() % (length - j)]);
        }
        revealOrderBuilt_ = true;
    }
    if (revealOrder_.empty()) {
        return true;
    }
    const int colour = revealOrder_.back();
    const int step = static_cast<int>(elapsed * 2.5);
    bool allShown = true;
    ForEachBubble([&](BaseBubble& bubble, int, int) {
        if (bubble.Colour() != colour) {
            return;
        }
        bubble.AdvanceAppearing(step);
        allShown &= bubble.HasAppeared();
    });
    if (!allShown) {
        return false;
    }
    GameSound::Play(GameSound::kColourRevealed);
    revealOrder_.pop_back();
    return revealOrder_.empty();
}

void GameMap::RowStart() {
    slideProgress_ = 0.0;
    for (int k = Rows() - 1; k >= 0; --k) {
        for (int c = 0; c < Columns(); ++c) {
            if (BaseBubble* bubble = cells_[c][k].get()) {
                bubble->SetSlide(bubble->Position(), CellToScreen(c, k + 1));
            }
        }
    }
    for (int c = 0; c < Columns(); ++c) {
        if (incomingRow_[c]) {
            RemoveFromScene(*incomingRow_[c]);
        }
        incomingRow_[c] = CreateBubble(c, 0);
    }
    GameSound::Play(GameSound::kLineFall);
}

bool GameMap::RowSlide(int elapsed) {
    if (scene_ != nullptr) {
        scene_->RequestSort();
    }
    slideProgress_ += elapsed * kSlideRate;
    const bool finished = slideProgress_ > 1.0;
    if (finished) {
        slideProgress_ = 1.0;
    }
    const float progress = static_cast<float>(slideProgress_);
    ForEachBubble([progress](BaseBubble& bubble, int, int) {
        const TwVector point =
            bubble.SlideFrom() + (bubble.SlideTo() - bubble.SlideFrom()) * progress;
        bubble.SetRestPosition(point);
        bubble.SetWobbleBase(point);
        bubble.PlaceAt(point + bubble.WobbleOffset());
    });
    if (slideProgress_ > 0.5) {
        // The new row grows in during the second half of the slide.
        const double growth = (slideProgress_ - 0.5) * 2.0;
        for (auto& bubble : incomingRow_) {
            if (bubble) {
                bubble->SetSlide(bubble->Position(), bubble->SlideTo());
                bubble->SetFrame(static_cast<int>(growth * (bubble->FrameCount() - 1)));
            }
        }
    }
    if (!finished) {
        return false;
    }
    CheckBottomRow();
    for (int c = 0; c < Columns(); ++c) {
        // Whatever sat in the last row has already ended the game; it is not kept.
        if (cells_[c][Rows() - 1]) {
            RemoveFromScene(*cells_[c][Rows() - 1]);
            cells_[c][Rows() - 1].reset();
        }
        for (int k = Rows() - 1; k >= 1; --k) {
            cells_[c][k] = std::move(cells_[c][k - 1]);
        }
    }
    // The former top row, now row 1, still holds on to the ceiling until the new row takes
    // its place; only what the changed row parity has cut off falls now.
    MarkOccupiedCells();
    for (int c = 0; c < Columns(); ++c) {
        if (cells_[c][1]) {
            grid_.At(c, 0) = 1;
        }
    }
    DetachFloatingGroups();
    MapState = kRowSettle;
    CheckBottomRow();
    return true;
}

void GameMap::RowSettle() {
    for (int c = 0; c < Columns(); ++c) {
        if (incomingRow_[c]) {
            PlaceBubble(c, 0, std::move(incomingRow_[c]));
        }
    }
    MapState = kReady;
    DropUnsupported();
    CheckBottomRow();
    NumAddedeLines += 1;
    if (NumAddedeLines < NumAddLines) {
        MapState = kRowStart;
    } else {
        NumAddedeLines = 0;
    }
}

void GameMap::UpdateWobbles(int elapsed) {
    ForEachBubble([&](BaseBubble& bubble, int, int) { bubble.UpdateWobble(elapsed, *this); });
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
    if (GameState::Get() == GameState::kLost) {
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

void GameMap::Draw() {
    if (scene_ != nullptr) {
        scene_->Draw();
    }
    if (launcher_ == nullptr) {
        return;
    }
    launcher_->Draw();
    if (!nextBubble_ || launcher_->Loaded() == nullptr) {
        return;
    }
    DrawMovesIndicator();
    // The next bubble waits just behind the launcher, opposite the aim.
    nextBubble_->SetFrame(8);
    nextBubble_->PlaceAt(launcher_->Position() - NormaliseOrKeep(launcher_->Direction()) * 7.25f);
}

void GameMap::DrawMovesIndicator() {
    const int shown = std::min(NumMovesLeft, BubbleBanks::kMoveSymbols);
    for (int i = 0; i < shown; ++i) {
        TwClip* symbol = banks_.MovesClip(i);
        if (symbol == nullptr) {
            continue;
        }
        symbol->SetPosition(static_cast<float>(kMoveSymbolPlaces[i].x),
                            static_cast<float>(kMoveSymbolPlaces[i].y), 0.0f);
        symbol->Draw();
    }
}
