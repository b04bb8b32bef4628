#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "ColourGrid.h"
#include "FieldGeometry.h"
#include "GameRandom.h"
#include "PlayState.h"
#include "TwVector.h"

class BaseBubble;
class BubbleBanks;
class Launcher;
class TwClip;
class TwDrawList;

// The playing field of one game: 20 x 20 cells in offset rows, each empty or holding one
// bubble, with everything a shot needs from launch to rest: the colours still present, the
// bubble waiting beside the launcher, the row being pushed in, the falling bubbles, the route
// of the current shot, the score and the row-pacing counters.
//
// The field owns the bubbles in its cells, the incoming row, the falling list and the next
// bubble; the draw list (the scene) only refers to them. The Arcade field derives from this
// class and replaces Update, Reset and OnMiss.
//
// The field must not outlive the banks (whose draw list is its scene); field and launcher
// may die in either order.
//
// The implementation is spread over one source file a concern:
//   GameMap.cpp           construction, cells and scene, a new game, loading the launcher,
//                         the frame (Update) and drawing
//   GameMapGeometry.cpp   cells to screen points and back, the walls
//   GameMapColours.cpp    colours present, the random colour, empty field and last row
//   GameMapShotRoute.cpp  the route of a shot from the launcher to its target cell
//   GameMapFlight.cpp     the shot in flight and its landing
//   GameMapMatching.cpp   the same-colour group, bursting it, scoring
//   GameMapFalling.cpp    groups cut off from the ceiling, falling and bursting
//   GameMapRows.cpp       row pacing, the colour-by-colour reveal, a row pushed in
class GameMap {
public:
    // MapState values.
    static constexpr int kReady = 0;     // aiming and firing allowed, nothing moves in the grid
    static constexpr int kIntro = 2;     // a fresh field is revealed colour by colour
    static constexpr int kRowStart = 3;  // a row insertion begins this frame
    static constexpr int kRowSlide = 4;  // every bubble slides down one row
    static constexpr int kRowSettle = 5; // the new row becomes row 0
    static constexpr int kCleared = 6;   // the field is empty: level complete
    static constexpr int kResume = 7;    // a restored field is revealed colour by colour

    // What the random colour choice gives when no colour is left.
    static constexpr int kNoColour = 16;
    static constexpr int kColourCount = 6;
    static constexpr int kMaxCells = FieldGeometry::kMaxCells;

    // Where a shot may travel: bubble centres stay between the two side walls and below the
    // ceiling line through the centres of row 0.
    struct Walls {
        int leftX = 0;
        int topY = 0;
        int rightX = 0;
    };

    // A field whose geometry comes from "Data/Map.Txt" in the packs.
    explicit GameMap(BubbleBanks& banks, int difficulty = 0);
    // A field with the given geometry (tests and tools that have no packs). The difficulty
    // (0 Easy, 1 Normal, 2 Hard) sets the row pacing.
    GameMap(BubbleBanks& banks, const FieldGeometry& geometry, int difficulty = 0);
    virtual ~GameMap();
    GameMap(const GameMap&) = delete;
    GameMap& operator=(const GameMap&) = delete;

    // --- The field's overridable operations ---
    // One frame of field logic: intro reveal, the shot, falling bubbles, wobbles, rows.
    virtual void Update(int elapsed);
    // Prepares a new game; fills the upper half of the rows when `fill` is true.
    virtual void Reset(bool fill);
    virtual TwVector CellToScreen(double column, double row) const;
    // A new bubble of a random present colour at the centre of a cell, added to the scene.
    // Null when no colour is present (there is no bubble to show then).
    virtual std::unique_ptr<BaseBubble> CreateBubble(double column, double row);
    // Moves the next bubble into the launcher and picks a new next bubble.
    virtual void LoadLauncher();
    // Searches the same-colour group around a landed bubble and bursts it when it has at
    // least three members; otherwise the shot counts as a miss.
    virtual void ResolveMatch(int column, int row, int colour);
    virtual void RemoveMatched();
    // Sets the pacing counters from the field's difficulty.
    virtual void InitPacing();
    virtual void InitColours();
    // Detaches every group that no longer hangs from the ceiling into the falling list.
    virtual void DropUnsupported();
    // Called after a shot burst a group.
    virtual void OnMatch() {}
    // Called after a landed shot burst nothing: counts down towards the next row.
    virtual void OnMiss();
    // Called when a colour has gone from the field during play: the field pushes harder.
    virtual void OnColourLost();
    // Whether a row pushed in brings new bubbles; without, the field only comes down.
    virtual bool FillsIncomingRow() const { return true; }
    // Counts a row step: once the moves counter has gone below 0 a row insertion starts and
    // the counter is refilled. Shared by the missed-shot count and the Arcade clock.
    void AdvanceRowCounter();

    // --- Geometry ---
    const FieldGeometry& Geometry() const { return geometry_; }
    int Columns() const { return geometry_.columns; }
    int Rows() const { return geometry_.rows; }
    int Radius() const { return geometry_.radius; }
    bool InField(int column, int row) const { return geometry_.InField(column, row); }
    bool InField(TwCell cell) const { return InField(cell.x, cell.y); }
    // The cell whose square holds the point (lower column, then lower row, wins on a shared
    // edge), or (-1, -1). The free variant only considers empty cells.
    TwCell ScreenToCell(const TwVector& p) const;
    TwCell ScreenToFreeCell(const TwVector& p) const;
    // The empty cell whose centre is nearest to the point, or (-1, -1) when every cell is full.
    TwCell NearestFreeCell(const TwVector& p) const;
    void ComputeWalls();
    void SetWalls(const Walls& walls) { walls_ = walls; }
    const Walls& GetWalls() const { return walls_; }

    // --- Links ---
    void SetScene(TwDrawList* scene) { scene_ = scene; }
    TwDrawList* Scene() const { return scene_; }
    void SetLauncher(Launcher* launcher) { launcher_ = launcher; }
    Launcher* GetLauncher() const { return launcher_; }
    BubbleBanks& Banks() const { return banks_; }

    // --- How the game stands, the difficulty, and what the field tells ---
    PlayState State() const { return state_; }
    void SetState(PlayState state) { state_ = state; }
    // 0 Easy, 1 Normal, 2 Hard (anything else is taken as the nearest); read when the
    // pacing is set up, so a new difficulty counts from the next Reset.
    int Difficulty() const { return difficulty_; }
    void SetDifficulty(int difficulty);
    // Receives every sound effect the field and its launcher ask for, by id (GameSound.h);
    // without a sink they are silent.
    void SetSoundSink(std::function<void(int)> sink) { soundSink_ = std::move(sink); }
    void PlaySound(int id) const {
        if (soundSink_) {
            soundSink_(id);
        }
    }

    // --- Cells ---
    BaseBubble* Bubble(int column, int row) const;
    // Puts a bubble into a cell, replacing (and removing from the scene) what was there.
    // A cell outside the field takes nothing: the bubble is removed from the scene and dropped.
    void PlaceBubble(int column, int row, std::unique_ptr<BaseBubble> bubble);
    // A new bubble of the given colour at a cell's centre, put into the cell and the scene
    // (restoring a saved field). False for a colour without a bubble picture or a cell
    // outside the field.
    bool PlaceNewBubble(int column, int row, int colour);
    // Removes a bubble from its cell and from the scene and hands it over.
    std::unique_ptr<BaseBubble> TakeBubble(int column, int row);
    int BubbleCount() const;

    // --- Colours ---
    void RecountColours();
    int PickColour() const;
    bool ColourPresent(int colour) const;
    bool InColourSet(int colour) const { return ColourSet.count(colour) != 0; }
    bool IsEmpty() const;
    bool RowEmpty(int row) const;
    // Ends the game when a bubble sits in the last row. True then.
    bool CheckBottomRow();

    // --- Launcher side ---
    BaseBubble* NextBubble() const { return nextBubble_.get(); }
    void SetNextBubble(std::unique_ptr<BaseBubble> bubble);
    std::unique_ptr<BaseBubble> TakeNextBubble();
    // A new bubble of the given colour (not in the scene), or null without a prototype.
    std::unique_ptr<BaseBubble> NewBubbleOfColour(int colour) const;

    // What the last shot did, for the player's statistics: bubbles of its group that burst,
    // and bubbles that fell because of it (rows it brought included). Reset when it leaves.
    int ShotBursts = 0;
    int ShotDrops = 0;

    // --- Shot route and flight ---
    // Builds the whole route of the loaded bubble along the launcher's aim.
    void ComputePath();
    // The route a shot from `start` along `direction` would take and the cell it would fill,
    // worked out by the same code as a fired shot's (the aim guide); the shot in flight, if
    // any, keeps its own route.
    struct ShotRoute {
        std::vector<TwVector> path;
        TwCell target{-1, -1};
    };
    ShotRoute PredictRoute(const TwVector& start, const TwVector& direction);
    // The route from a point along a direction into the shot's route and target cell.
    void ComputeRoute(const TwVector& start, const TwVector& direction);
    void FindBoundaryHit(const TwVector& p, const TwVector& d, bool& hitsCeiling,
                         TwVector& ceilingHit, bool& hitsLeft, TwVector& leftHit, bool& hitsRight,
                         TwVector& rightHit) const;
    // Looks for a bubble touching the segment from `a` towards `b` along unit direction `d`.
    // On a hit the route is finished up to the target cell and true is returned.
    bool FindCollision(const TwVector& a, const TwVector& d, const TwVector& b);
    // Marches from `a` along `d` until the shot touches the bubble centred on `struck`.
    void FindContact(const TwVector& a, const TwVector& d, const TwVector& struck);
    // Makes the route end exactly on the target cell's centre.
    void FinishPath();
    // Moves the flying bubble along the route. True when it has arrived.
    bool AdvanceFlight(int elapsed);
    // Shakes the grid bubbles the flying bubble passes close by.
    void NudgeAlongFlight();
    // Puts the arrived bubble into its cell and resolves matches and falls.
    void Land();

    // --- Falling and rows ---
    void UpdateFalling(int elapsed);
    // Adds the points for `count` bubbles: 10 each for the first three, 20 for the next
    // three, and so on.
    void AddScore(int count);
    // One frame of the colour-by-colour reveal; true once every colour has appeared.
    bool UpdateIntro(int elapsed);
    void RowStart();
    // One frame of the slide; true when the rows have settled into their new cells.
    bool RowSlide(int elapsed);
    void RowSettle();
    void UpdateWobbles(int elapsed);
    // Calls `visit` for every bubble in the grid, column by column.
    template <typename F> void ForEachBubble(F&& visit) const {
        for (int c = 0; c < Columns(); ++c) {
            for (int k = 0; k < Rows(); ++k) {
                if (cells_[c][k]) {
                    visit(*cells_[c][k], c, k);
                }
            }
        }
    }

    // Nothing moves in the grid: no reveal, no row on its way, nothing falling.
    bool Settled() const { return MapState == kReady && !RowPending && fallingList_.empty(); }
    const std::vector<std::unique_ptr<BaseBubble>>& FallingList() const { return fallingList_; }
    const std::vector<TwVector>& FlightPath() const { return flightPath_; }
    // Replaces the route of the shot (a restored or scripted flight).
    void SetFlightPath(std::vector<TwVector> path) { flightPath_ = std::move(path); }
    TwCell TargetCell() const { return targetCell_; }
    void SetTargetCell(TwCell cell) { targetCell_ = cell; }
    TwVector ContactCentre() const { return contactCentre_; }
    BaseBubble* IncomingBubble(int column) const { return incomingRow_[column].get(); }
    // How far the rows have slid during a row insertion, 0 to 1.
    double SlideProgress() const { return slideProgress_; }

    // The game's own random numbers (colours, reveal order, falling speeds). A new field
    // starts from the engine generator's current state; a game seeds it from its recording.
    GameRandom& Random() const { return random_; }

    // Every second falling burst is audible; this sets whether the last one was.
    void SetBurstSoundToggle(bool on) { burstSoundToggle_ = on; }

    // Receives, at the start of every frame, the tint of the loaded bubble's colour (ARGB),
    // so the mouse cursor can take it on.
    void SetCursorTintSink(std::function<void(std::uint32_t)> sink) {
        cursorTint_ = std::move(sink);
    }

    // --- State shared with the game screen and the saved game ---
    int MapState = kIntro;
    bool RowPending = false;
    std::set<int> ColourSet;
    int ElapsedTime = 0;
    int NumMovesLeft = 0;
    int NumBeginMoves = 0;
    int NextNumBeginMoves = 0;
    int NumAddLines = 0;
    int NumAddedeLines = 0;
    int InitialNumMovesLeft = 0;
    int InitialNumBeginMoves = 0;
    int InitialNextNumBeginMoves = 0;
    int InitialNumAddLines = 0;
    int InitialNumAddedeLines = 0;
    int TripleBonus = 0;
    int ComboCount = 0;
    int Score = 0;
    // Rows the ceiling has come down by (Puzzle levels); bubbles hang from row CeilingRow
    // and no shot reaches the rows above it. Set it through SetCeilingRow.
    int CeilingRow = 0;
    void SetCeilingRow(int row);

private:
    void Construct();
    void ClearGrid();
    void ClearFalling();
    void MarkOccupiedCells();
    void DetachFloatingGroups();
    void DetachGroup(const std::vector<TwCell>& group);
    void BurstAndForget(std::unique_ptr<BaseBubble> bubble);
    void AddToScene(BaseBubble& bubble);
    void RemoveFromScene(BaseBubble& bubble);
    TwCell FindCell(const TwVector& p, bool freeOnly) const;
    // Keeps the target cell, or takes the nearest free cell to the route's end when the target is
    // missing or taken, so a shot never lands on another bubble.
    void EnsureFreeTarget(const TwVector& near);

    BubbleBanks& banks_;
    FieldGeometry geometry_;
    PlayState state_ = PlayState::kNotPlaying;
    int difficulty_ = 0;
    bool burstSoundToggle_ = false;
    std::function<void(int)> soundSink_;
    std::array<std::array<std::unique_ptr<BaseBubble>, kMaxCells>, kMaxCells> cells_;
    TwDrawList* scene_ = nullptr;
    std::array<std::unique_ptr<BaseBubble>, kMaxCells> incomingRow_;
    Launcher* launcher_ = nullptr;
    int xPlayerPos_ = 0;
    int yPlayerPos_ = 0;
    TwCell targetCell_{-1, -1};
    std::vector<TwCell> matchList_;
    ColourGrid grid_;
    std::unique_ptr<BaseBubble> nextBubble_;
    std::vector<int> revealOrder_;
    bool revealOrderBuilt_ = false;
    int popTimer_ = 0;
    std::vector<TwCell> supportGroup_;
    std::vector<std::unique_ptr<BaseBubble>> fallingList_;
    std::vector<TwVector> flightPath_;
    double flightProgress_ = 0.0;
    double flightRate_ = 0.0;
    bool segmentStarted_ = false;
    double slideProgress_ = 0.0;
    TwVector contactCentre_;
    Walls walls_;
    std::function<void(std::uint32_t)> cursorTint_;
    // Drawn from by const lookups too (PickColour), hence mutable.
    mutable GameRandom random_;
};
