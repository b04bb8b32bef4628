#include "gui/TwCheckBoxGroup.h"

#include "gui/TwInputEvent.h"

TwCheckBoxGroup::TwCheckBoxGroup(const std::string& groupName) : groupName_(groupName) {
    kind_ = kOther;
    name_ = groupName;
}

TwCheckBoxGroup::~TwCheckBoxGroup() = default;

TwCheckBox* TwCheckBoxGroup::AddCheckBox(const std::string& name, const std::string& caption,
                                         int hasCaption, float x, float y) {
    auto box = std::make_unique<TwCheckBox>();
    box->Load("Interface/CheckBox");
    box->SetName(name);
    box->SetCaption(caption, hasCaption);
    box->SetCaptionAlign(0);
    box->SetPosition({x, y, 0.0f});
    boxes_.push_back(std::move(box));
    return boxes_.back().get();
}

void TwCheckBoxGroup::CheckOnly(std::size_t index) {
    for (std::size_t i = 0; i < boxes_.size(); ++i) {
        boxes_[i]->SetChecked(i == index);
    }
}

void TwCheckBoxGroup::Check(const std::string& name) {
    std::size_t index = boxes_.size();
    for (std::size_t i = 0; i < boxes_.size(); ++i) {
        if (boxes_[i]->Name() == name) {
            index = i;
            break;
        }
    }
    CheckOnly(index);
}

void TwCheckBoxGroup::RestorePrevious() {
    if (previousIndex_ >= 0 && static_cast<std::size_t>(previousIndex_) < boxes_.size()) {
        CheckOnly(static_cast<std::size_t>(previousIndex_));
    }
}

int TwCheckBoxGroup::CheckedIndex() const {
    for (std::size_t i = 0; i < boxes_.size(); ++i) {
        if (boxes_[i]->IsChecked()) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

// Every box follows the mouse for its look and focus sound; the group itself never takes a
// move, so the panel goes on to the elements after it.
bool TwCheckBoxGroup::OnMouseMove(const TwInputEvent& event) {
    for (auto& box : boxes_) {
        box->OnMouseMove(event);
    }
    return false;
}

// Remembers which box was checked before this click, so that a refused change can be undone.
bool TwCheckBoxGroup::OnMouseDown(const TwInputEvent& event) {
    for (std::size_t i = 0; i < boxes_.size(); ++i) {
        if (boxes_[i]->IsChecked()) {
            previousIndex_ = static_cast<int>(i);
        }
        boxes_[i]->OnMouseDown(event);
    }
    return false;
}

// The group fires with the clicked box's name when the mark moved, with its own name when
// the checked box was clicked again.
bool TwCheckBoxGroup::OnMouseUp(const TwInputEvent& event) {
    const int checkedBefore = CheckedIndex();
    int hit = -1;
    for (std::size_t i = 0; i < boxes_.size(); ++i) {
        if (boxes_[i]->OnMouseUp(event)) {
            hit = static_cast<int>(i);
            break;
        }
    }
    if (hit < 0) {
        return false;
    }
    CheckOnly(static_cast<std::size_t>(hit));
    if (hit != checkedBefore) {
        name_ = boxes_[static_cast<std::size_t>(hit)]->Name();
    }
    return true;
}

bool TwCheckBoxGroup::ChooseBox(int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= boxes_.size()) {
        return false;
    }
    const int checkedBefore = CheckedIndex();
    if (checkedBefore >= 0) {
        previousIndex_ = checkedBefore;
    }
    TwGuiPlaySound(clickSound_);
    CheckOnly(static_cast<std::size_t>(index));
    if (index != checkedBefore) {
        name_ = boxes_[static_cast<std::size_t>(index)]->Name();
    }
    return true;
}

void TwCheckBoxGroup::AfterEvent() {
    name_ = groupName_;
}

void TwCheckBoxGroup::Draw() {
    for (auto& box : boxes_) {
        box->SetAlpha(colour_.alpha);
        box->Draw();
    }
}
