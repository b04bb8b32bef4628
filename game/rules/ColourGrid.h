#pragma once
#include <array>
#include <vector>

#include "TwVector.h"

using TwCell = TwPoint2D<int>;

// The field's scratch grid of integers used by the two searches over the bubbles: the
// same-colour group search that decides what bursts, and the support search that decides
// what still hangs from the ceiling. A value of -1 is an empty or already visited cell.
class ColourGrid {
public:
    static constexpr int kSize = 20;
    static constexpr int kEmpty = -1;
    // Bubbles of this colour never join a group.
    static constexpr int kNoMatchColour = 6;

    // Neighbours of a cell in the order every search visits them: the two below, the two
    // above, right, left. Odd rows sit half a cell to the right, so their diagonal
    // neighbours are one column further right than those of even rows.
    static std::array<TwCell, 6> Neighbours(int column, int row);

    // Limits the searches to the first `columns` x `rows` cells.
    void SetSize(int columns, int rows);
    // The first row under the ceiling: a group reaching above it hangs (0 unless the
    // ceiling has come down, as in Puzzle levels).
    void SetCeiling(int row) { ceiling_ = row; }
    int Columns() const { return columns_; }
    int Rows() const { return rows_; }

    int& At(int column, int row) { return cells_[column][row]; }
    int At(int column, int row) const { return cells_[column][row]; }
    void Fill(int value);

    // Depth-first search from (column, row) over cells holding `colour`; every cell found is
    // marked visited and appended to `group` in visiting order.
    void CollectGroup(int column, int row, int colour, std::vector<TwCell>& group);
    // Depth-first search from (column, row) over occupied cells; appends the connected
    // cells to `group` and returns true when the group reaches above row 0 (the ceiling).
    bool CollectSupport(int column, int row, std::vector<TwCell>& group);

private:
    void SupportStep(int column, int row, std::vector<TwCell>& group, bool& hanging);

    std::array<std::array<int, kSize>, kSize> cells_{};
    int columns_ = kSize;
    int rows_ = kSize;
    int ceiling_ = 0;
};
