#pragma once
#include <cstddef>
#include <memory>
#include <vector>

#include "MoveObj.h"

// The game screen's list of drawables: bubbles and burst effects, drawn over the background
// in ascending z (bubbles at 0, effects at 16). Entries are sorted again only when the
// re-sort flag is raised, and the sort keeps the order of equal z, so bubbles added later
// draw over earlier ones.
//
// The list only refers to bubbles (their field owns them) but owns the effects handed to it;
// an owned effect is deleted as soon as it has finished, when removed, and when the list is
// cleared.
class TwDrawList {
public:
    TwDrawList() = default;
    TwDrawList(const TwDrawList&) = delete;
    TwDrawList& operator=(const TwDrawList&) = delete;

    // Adds to the normal layer (or moves an object already in the list there).
    void Add(TwClip* object);
    // Adds to the top layer; with `update` the list advances the object every frame.
    void AddOnTop(TwClip* object, bool update);
    // Hands an effect over to the list (its tag becomes 1) and adds it to the top layer.
    void AddOnTop(std::unique_ptr<TwClip> object, bool update);
    // Takes the object out of the list (an owned one is deleted).
    void Remove(const TwClip* object);
    // Moves the object back to the normal layer; it stays in the list.
    void ClearTop(const TwClip* object);
    // Drops every entry, deleting the owned ones.
    void Clear();

    // Advances every top-layer object whose update flag is set.
    void Update(int elapsedMs);
    // Sorts if asked to, drops finished objects, then draws the background and every entry.
    void Draw();

    void SetBackground(TwClip* background) { background_ = background; }
    TwClip* Background() const { return background_; }
    void RequestSort() { resort_ = true; }

    std::size_t Size() const { return entries_.size(); }
    bool Contains(const TwClip* object) const { return Find(object) != nullptr; }
    bool OnTop(const TwClip* object) const;
    const std::vector<MoveObj>& Entries() const { return entries_; }

private:
    const MoveObj* Find(const TwClip* object) const;
    MoveObj* Find(const TwClip* object);
    void SortByDepth();
    void DropFinished();

    std::vector<MoveObj> entries_;
    TwClip* background_ = nullptr;
    bool resort_ = false;
};
