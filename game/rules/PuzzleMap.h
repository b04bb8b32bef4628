#pragma once
#include <memory>
#include <string>

#include "GameMap.h"
#include "LevelSet.h"

// The field of a Puzzle level: it starts from the level's own field instead of random rows,
// the launcher offers only colours still in the field (as every field does), and no new
// bubbles ever come in. Instead, each time the level's number of shots has burst nothing,
// the whole field comes down by one row together with the ceiling. Won when the field is
// empty, lost when a bubble reaches the last row, as in Classic.
class PuzzleMap : public GameMap {
public:
    explicit PuzzleMap(BubbleBanks& banks, int difficulty = 0);
    PuzzleMap(BubbleBanks& banks, const FieldGeometry& geometry, int difficulty = 0);
    ~PuzzleMap() override;

    // The level to play and where it comes from (the set's id and its number from 1).
    void SetLevel(const PuzzleLevel& level, const std::string& setId, int number);
    const std::string& SetId() const { return setId_; }
    // The level being played (empty when a continued field's set is gone).
    const PuzzleLevel& Level() const { return level_; }
    int LevelNumber() const { return number_; }
    // Names the level a restored field belongs to, without touching the field.
    void SetOrigin(const std::string& setId, int number) {
        setId_ = setId;
        number_ = number;
    }

    // Puts the level's field in, hidden until the colour-by-colour reveal shows it.
    void Reset(bool fill) override;
    // The counter runs from the level's shots; a miss that empties it brings the field down
    // and starts it again.
    void InitPacing() override;
    void OnMiss() override;
    // A colour gone makes no difference to the pace of a level.
    void OnColourLost() override;
    bool FillsIncomingRow() const override { return false; }

    // Fruitless shots a level allows before each descent, kept in NumBeginMoves: the
    // counter shown under the launcher runs from shots - 1 down to 0.
    static int CounterStart(int shots) { return shots - 1; }

private:
    PuzzleLevel level_;
    std::string setId_;
    int number_ = 0;
};
