// GameMap: from cells to screen points and back, and the walls a shot travels between.
#include <algorithm>
#include <cmath>
#include <limits>

#include "FieldMath.h"
#include "GameMap.h"

using FieldMath::Distance;
using FieldMath::Flat;

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
    for (int k = std::max(CeilingRow, rowGuess - 1); k <= std::min(Rows() - 1, rowGuess + 1); ++k) {
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
        for (int k = CeilingRow; k < Rows(); ++k) {
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

void GameMap::SetCeilingRow(int row) {
    CeilingRow = std::clamp(row, 0, Rows() - 1);
    grid_.SetCeiling(CeilingRow);
    ComputeWalls();
}

void GameMap::ComputeWalls() {
    // The ceiling line runs through the centres of the top row; the walls do not move.
    const TwVector topLeft = CellToScreen(0, 0);
    walls_.leftX = static_cast<int>(topLeft.x);
    walls_.topY = static_cast<int>(CellToScreen(0, CeilingRow).y);
    walls_.rightX = static_cast<int>(CellToScreen(Columns(), 0).x - static_cast<float>(Radius()));
}
