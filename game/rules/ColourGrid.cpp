#include "ColourGrid.h"

#include <algorithm>

std::array<TwCell, 6> ColourGrid::Neighbours(int column, int row) {
    const int diagonal = (row % 2 != 0) ? column + 1 : column - 1;
    return {{{column, row + 1},
             {diagonal, row + 1},
             {column, row - 1},
             {diagonal, row - 1},
             {column + 1, row},
             {column - 1, row}}};
}

void ColourGrid::SetSize(int columns, int rows) {
    columns_ = std::clamp(columns, 0, kSize);
    rows_ = std::clamp(rows, 0, kSize);
}

void ColourGrid::Fill(int value) {
    for (auto& column : cells_) {
        column.fill(value);
    }
}

void ColourGrid::CollectGroup(int column, int row, int colour, std::vector<TwCell>& group) {
    if (column < 0 || column >= columns_ || row < 0 || row >= rows_) {
        return;
    }
    int& value = cells_[column][row];
    if (value == kEmpty || value == kNoMatchColour || value != colour) {
        return;
    }
    value = kEmpty;
    group.push_back({column, row});
    for (const TwCell& next : Neighbours(column, row)) {
        CollectGroup(next.x, next.y, colour, group);
    }
}

bool ColourGrid::CollectSupport(int column, int row, std::vector<TwCell>& group) {
    bool hanging = false;
    SupportStep(column, row, group, hanging);
    return hanging;
}

void ColourGrid::SupportStep(int column, int row, std::vector<TwCell>& group, bool& hanging) {
    if (column < 0 || column >= columns_ || row >= rows_) {
        return;
    }
    if (row < ceiling_) {
        hanging = true; // stepped up through the top row: the group hangs from the ceiling
        return;
    }
    int& value = cells_[column][row];
    if (value == kEmpty) {
        return;
    }
    value = kEmpty;
    group.push_back({column, row});
    for (const TwCell& next : Neighbours(column, row)) {
        SupportStep(next.x, next.y, group, hanging);
    }
}
