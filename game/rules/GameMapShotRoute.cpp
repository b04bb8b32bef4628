// GameMap: the shot's route. From the launcher along its aim, bouncing off the side walls,
// until the shot touches a bubble or the ceiling; the route ends on the centre of the free
// cell the bubble will land in.
#include <algorithm>
#include <cmath>
#include <limits>

#include "BaseBubble.h"
#include "FieldMath.h"
#include "GameMap.h"
#include "Launcher.h"
#include "gfx/TwGeometry.h"

using FieldMath::Distance;
using FieldMath::Flat;

namespace {
constexpr int kMaxRouteSegments = 8;
constexpr float kRouteReach = 1024.0f;
constexpr int kContactSteps = 1024;
constexpr float kNoBubbleDistance = 8192.0f;
} // namespace

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
    ShotBursts = 0;
    ShotDrops = 0;
    ComputeRoute(Flat(launcher_->Loaded()->Position()), Flat(launcher_->Direction()));
}

GameMap::ShotRoute GameMap::PredictRoute(const TwVector& start, const TwVector& direction) {
    std::vector<TwVector> path = std::move(flightPath_);
    const TwCell target = targetCell_;
    const TwVector contact = contactCentre_;
    ComputeRoute(Flat(start), Flat(direction));
    ShotRoute route{std::move(flightPath_), targetCell_};
    flightPath_ = std::move(path);
    targetCell_ = target;
    contactCentre_ = contact;
    return route;
}

void GameMap::ComputeRoute(const TwVector& start, const TwVector& direction) {
    const float left = static_cast<float>(walls_.leftX);
    const float right = static_cast<float>(walls_.rightX);
    const float top = static_cast<float>(walls_.topY);
    const TwVector ceilingA(left, top);
    const TwVector ceilingB(right, top);
    const TwVector floorLeft(left, 600.0f);
    const TwVector floorRight(right, 600.0f);

    TwVector p = start;
    TwVector d = direction;
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
