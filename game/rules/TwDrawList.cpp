#include "TwDrawList.h"

#include <algorithm>
#include <utility>

void TwDrawList::Add(TwClip* object) {
    if (object == nullptr) {
        return;
    }
    if (MoveObj* entry = Find(object)) {
        entry->top = false;
        entry->update = false;
        return;
    }
    entries_.push_back(MoveObj{object, nullptr, false, false});
    resort_ = true;
}

void TwDrawList::AddOnTop(TwClip* object, bool update) {
    if (object == nullptr) {
        return;
    }
    if (MoveObj* entry = Find(object)) {
        entry->top = true;
        entry->update = update;
        return;
    }
    entries_.push_back(MoveObj{object, nullptr, true, update});
    resort_ = true;
}

void TwDrawList::AddOnTop(std::unique_ptr<TwClip> object, bool update) {
    if (!object) {
        return;
    }
    object->tag = 1;
    TwClip* raw = object.get();
    entries_.push_back(MoveObj{raw, std::move(object), true, update});
    resort_ = true;
}

void TwDrawList::Remove(const TwClip* object) {
    std::erase_if(entries_, [object](const MoveObj& entry) { return entry.object == object; });
}

void TwDrawList::ClearTop(const TwClip* object) {
    if (MoveObj* entry = Find(object)) {
        entry->top = false;
        entry->update = false;
    }
}

void TwDrawList::Clear() {
    entries_.clear();
}

bool TwDrawList::OnTop(const TwClip* object) const {
    const MoveObj* entry = Find(object);
    return entry != nullptr && entry->top;
}

const MoveObj* TwDrawList::Find(const TwClip* object) const {
    auto it = std::find_if(entries_.begin(), entries_.end(),
                           [object](const MoveObj& entry) { return entry.object == object; });
    return it == entries_.end() ? nullptr : &*it;
}

MoveObj* TwDrawList::Find(const TwClip* object) {
    return const_cast<MoveObj*>(std::as_const(*this).Find(object));
}

void TwDrawList::Update(int elapsedMs) {
    for (MoveObj& entry : entries_) {
        if (entry.top && entry.update) {
            entry.object->Update(elapsedMs);
        }
    }
}

void TwDrawList::SortByDepth() {
    const auto nearer = [](const MoveObj& a, const MoveObj& b) {
        return a.object->z < b.object->z;
    };
    // The list is nearly always in order already (the field asks for a sort every frame of
    // its opening); a stable sort would leave it as it is, without a buffer to allocate.
    if (!std::is_sorted(entries_.begin(), entries_.end(), nearer)) {
        std::stable_sort(entries_.begin(), entries_.end(), nearer);
    }
}

void TwDrawList::DropFinished() {
    std::erase_if(entries_,
                  [](const MoveObj& entry) { return entry.object->state == TwClip::Finished; });
}

void TwDrawList::Draw() {
    if (resort_) {
        SortByDepth();
        resort_ = false;
    }
    DropFinished();
    if (background_ != nullptr) {
        background_->Draw();
    }
    for (MoveObj& entry : entries_) {
        entry.object->Draw();
    }
}
