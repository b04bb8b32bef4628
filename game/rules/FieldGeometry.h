#pragma once
#include <string>

#include "TwVector.h"

class TwDefFile;

// The size and placement of the bubble field: W columns by H rows of cells in offset rows,
// bubbles of radius r one diameter apart, odd rows shifted right by one radius. The values
// come from "Data/Map.Txt"; each field keeps its own copy.
class FieldGeometry {
public:
    // The cell storage of every field is this many columns and rows.
    static constexpr int kMaxCells = 20;

    int columns = 12;     // W, "xMax"
    int rows = 12;        // H, "yMax"
    int radius = 16;      // r, "BubbleRadius"; the cell pitch is 2r
    int xPlayerPos = 400; // where a bubble is put when it is loaded into the launcher
    int yPlayerPos = 570;

    // The geometry new fields of the game screen start from: the bubble bank sets the radius
    // from the bubble pictures, and "Data/Map.Txt" is read over it for each new field.
    static FieldGeometry& Shared();

    // Reads the five keys from a definition file. A missing key keeps this object's value;
    // the column and row counts are kept within 1..20 so a field always fits its storage, and
    // the radius is at least 1 pixel so every cell has a size.
    void ReadFrom(TwDefFile& def);
    // Reads "Data/Map.Txt" from the resource packs. False when no pack holds it (the values
    // are then left as they were).
    bool ReadFromResources(const std::string& name = "Data/Map.Txt");

    int Diameter() const { return 2 * radius; }
    // Centre of cell (column, row) on screen; fractional cells interpolate.
    TwVector CellCentre(double column, double row) const;
    // True when the square of side 2r centred on the cell holds the point (edges included).
    bool CellSquareHolds(int column, int row, const TwVector& p) const;
    bool InField(int column, int row) const {
        return column >= 0 && column < columns && row >= 0 && row < rows;
    }
};
