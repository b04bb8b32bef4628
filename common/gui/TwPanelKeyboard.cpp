// Keyboard (and game controller) control of a panel: moving the focus between the elements
// and pressing the focused one, so every menu and dialog works without the mouse.
#include <algorithm>

#include "gui/TwCheckBox.h"
#include "gui/TwCheckBoxGroup.h"
#include "gui/TwInputEvent.h"
#include "gui/TwPanel.h"
#include "platform/input/TwEvents.h"

namespace {

using namespace TwInputCodes;

TwCheckBoxGroup* AsGroup(TwBaseGuiElemen& element) {
    return dynamic_cast<TwCheckBoxGroup*>(&element);
}

bool IsProfileEntry(const TwBaseGuiElemen& element) {
    return element.GetKind() == TwBaseGuiElemen::kProfileButton;
}

// The selected list entry keeps its selected look; every other element goes back to normal.
void ShowUnfocused(TwBaseGuiElemen& element) {
    if (TwCheckBoxGroup* group = AsGroup(element)) {
        for (const auto& box : group->Boxes()) {
            box->ClearHover();
        }
        return;
    }
    if (IsProfileEntry(element)) {
        if (!element.IsHover()) {
            element.ShowNormal();
        }
        return;
    }
    element.ClearHover();
    element.ShowNormal();
}

// Where a stop lies on the screen: the element's centre, or its radio box's.
TwVector StopPosition(const TwBaseGuiElemen& element, int box) {
    if (const auto* group = dynamic_cast<const TwCheckBoxGroup*>(&element)) {
        return group->Boxes()[static_cast<std::size_t>(box)]->Position();
    }
    return element.Position();
}

} // namespace

// The stops in reading order on the screen, top row first and left to right within a row,
// whatever order the elements were added in.
bool TwPanel::HasStopNamed(const std::vector<FocusStop>& stops, const std::string& name) const {
    return std::any_of(stops.begin(), stops.end(), [&](const FocusStop& stop) {
        return stop.box < 0 && elements_[static_cast<std::size_t>(stop.element)]->Name() == name;
    });
}

std::vector<TwPanel::FocusStop> TwPanel::FocusStops() const {
    std::vector<FocusStop> stops;
    for (std::size_t i = 0; i < elements_.size(); ++i) {
        TwBaseGuiElemen& element = *elements_[i];
        const int index = static_cast<int>(i);
        if (TwCheckBoxGroup* group = AsGroup(element)) {
            for (std::size_t box = 0; box < group->Boxes().size(); ++box) {
                stops.push_back({index, static_cast<int>(box)});
            }
        } else if (!element.IsDisabled() && element.GetKind() != TwBaseGuiElemen::kOther &&
                   !HasStopNamed(stops, element.Name())) {
            stops.push_back({index, -1}); // two parts of one control raising one event: one stop
        }
    }
    std::stable_sort(stops.begin(), stops.end(), [this](const FocusStop& a, const FocusStop& b) {
        const TwVector pa = StopPosition(*elements_[static_cast<std::size_t>(a.element)], a.box);
        const TwVector pb = StopPosition(*elements_[static_cast<std::size_t>(b.element)], b.box);
        return pa.y != pb.y ? pa.y < pb.y : pa.x < pb.x;
    });
    return stops;
}

// The keyboard's own focus first; else whatever the mouse lit up (a list's selected entry
// counts, so the focus starts from the active player).
int TwPanel::CurrentStop(const std::vector<FocusStop>& stops) const {
    if (keyboardFocus_) {
        const auto found = std::find(stops.begin(), stops.end(), FocusStop{focus_, focusBox_});
        if (found != stops.end()) {
            return static_cast<int>(found - stops.begin());
        }
    }
    for (std::size_t i = 0; i < stops.size(); ++i) {
        TwBaseGuiElemen& element = *elements_[static_cast<std::size_t>(stops[i].element)];
        const TwCheckBoxGroup* group = AsGroup(element);
        const bool lit = group != nullptr
                             ? group->Boxes()[static_cast<std::size_t>(stops[i].box)]->IsHover()
                             : element.IsHover();
        if (lit) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

// A keyboard-focused slider shows its pressed look without taking the mouse, so the pointer
// still reaches every element.
void TwPanel::ShowKeyboardFocus(const FocusStop& stop) {
    for (const auto& element : elements_) {
        ShowUnfocused(*element);
    }
    captured_ = false;
    TwBaseGuiElemen* element = ElementAt(stop.element);
    if (element == nullptr) {
        keyboardFocus_ = false;
        return;
    }
    if (TwCheckBoxGroup* group = AsGroup(*element)) {
        group->Boxes()[static_cast<std::size_t>(stop.box)]->SetHover();
    } else if (IsProfileEntry(*element)) {
        if (!element->IsHover()) {
            element->ShowFocused();
        }
    } else {
        element->SetHover();
        element->ShowFocused();
    }
    TwGuiPlaySound(TwGuiSounds::kButtonGetFocus);
    focus_ = stop.element;
    focusBox_ = stop.box;
    keyboardFocus_ = true;
}

void TwPanel::DropKeyboardFocus() {
    if (!keyboardFocus_) {
        return;
    }
    keyboardFocus_ = false;
    if (TwBaseGuiElemen* element = ElementAt(focus_)) {
        ShowUnfocused(*element);
    }
    focusBox_ = -1;
}

void TwPanel::MoveFocus(int direction) {
    const std::vector<FocusStop> stops = FocusStops();
    if (stops.empty()) {
        return;
    }
    const int count = static_cast<int>(stops.size());
    const int current = CurrentStop(stops);
    int next = 0;
    if (current < 0) {
        next = direction > 0 ? 0 : count - 1;
    } else {
        next = ((current + direction) % count + count) % count;
    }
    ShowKeyboardFocus(stops[static_cast<std::size_t>(next)]);
}

bool TwPanel::PressFocused() {
    const std::vector<FocusStop> stops = FocusStops();
    if (stops.empty()) {
        return false;
    }
    const int current = CurrentStop(stops);
    if (current < 0) {
        ShowKeyboardFocus(stops.front());
        return true;
    }
    const FocusStop stop = stops[static_cast<std::size_t>(current)];
    if (TwBaseGuiElemen* element = ElementAt(stop.element)) {
        PressElement(*element, stop.box);
    }
    return true;
}

// The same sounds, marks and events as the mouse gives; the pressed element keeps the focus
// so that the next key goes on from it.
void TwPanel::PressElement(TwBaseGuiElemen& element, int box) {
    if (TwCheckBoxGroup* group = AsGroup(element)) {
        if (group->ChooseBox(box)) {
            RaiseEvent(group);
            group->AfterEvent();
        }
        return;
    }
    switch (element.GetKind()) {
    case TwBaseGuiElemen::kPushButton:
        if (element.IsDisabled()) {
            return;
        }
        TwGuiPlaySound(TwGuiSounds::kButtonClick);
        if (dynamic_cast<TwCheckBox*>(&element) != nullptr) {
            element.Toggle();
        }
        break;
    case TwBaseGuiElemen::kProfileButton:
        TwGuiPlaySound(TwGuiSounds::kButtonClick);
        element.SetHover();
        element.ShowNormal();
        break;
    default:
        return; // a slider moves with Left and Right instead
    }
    RaiseEvent(&element);
    element.AfterEvent();
}

bool TwPanel::OnNavigationKey(const TwInputEvent& event) {
    if (!keyboardNavigation_ || event.messageId != kKeyDown) {
        return false;
    }
    switch (event.key) {
    case kTab:
        MoveFocus(TwKeyHeld(kShift) ? -1 : 1);
        return true;
    case kUp:
        MoveFocus(-1);
        return true;
    case kDown:
        MoveFocus(1);
        return true;
    case kLeft:
    case kRight: {
        TwBaseGuiElemen* focused = keyboardFocus_ ? ElementAt(focus_) : nullptr;
        if (focused != nullptr && focused->GetKind() == TwBaseGuiElemen::kSlider) {
            event.key == kLeft ? focused->Decrease() : focused->Increase();
            RaiseEvent(focused);
        } else {
            MoveFocus(event.key == kLeft ? -1 : 1);
        }
        return true;
    }
    case kEnter:
    case kSpace:
        PressFocused();
        return true;
    default:
        return false;
    }
}
