#include "FieldGeometry.h"

#include <algorithm>
#include <cmath>

#include "data/TwDefFile.h"
#include "data/TwResourceManager.h"

FieldGeometry& FieldGeometry::Shared() {
    static FieldGeometry geometry;
    return geometry;
}

void FieldGeometry::ReadFrom(TwDefFile& def) {
    columns = std::clamp(def.GetInt("xMax", columns), 1, kMaxCells);
    rows = std::clamp(def.GetInt("yMax", rows), 1, kMaxCells);
    xPlayerPos = def.GetInt("xPlayerPos", xPlayerPos);
    yPlayerPos = def.GetInt("yPlayerPos", yPlayerPos);
    radius = std::max(1, def.GetInt("BubbleRadius", radius));
}

bool FieldGeometry::ReadFromResources(const std::string& name) {
    std::string bytes;
    if (TwResourceManager::Instance().GetResource(name, bytes) < 0) {
        return false;
    }
    TwDefFile def;
    def.LoadFromMemory(bytes.data(), bytes.size());
    ReadFrom(def);
    return true;
}

TwVector FieldGeometry::CellCentre(double column, double row) const {
    const double d = Diameter();
    // 804 rather than 800 puts the field in the middle of the background picture.
    const int halfRadius = radius / 2; // whole pixels, as the field has always been placed
    const double left = (804.0 - d * columns) * 0.5 + halfRadius;
    double x = left + d * column;
    if (std::fmod(row, 2.0) != 0.0) {
        x += radius;
    }
    const double y = 1.5 * radius + 20.0 + d * row;
    return {static_cast<float>(x), static_cast<float>(y), 0.0f};
}

bool FieldGeometry::CellSquareHolds(int column, int row, const TwVector& p) const {
    const TwVector centre = CellCentre(column, row);
    const float half = static_cast<float>(radius);
    return centre.x - half <= p.x && p.x <= centre.x + half && centre.y - half <= p.y &&
           p.y <= centre.y + half;
}
