#include "gui/TwProfileDlg.h"

#include <algorithm>
#include <limits>

#include "data/TwEngineDefs.h"
#include "gui/TwButton.h"
#include "gui/TwInputEvent.h"
#include "gui/TwProfileButton.h"
#include "records/TwProfileStore.h"

namespace {

using namespace TwInputCodes;

constexpr int kNormalFrame = 0;
constexpr int kSelectedFrame = 2;
constexpr float kEntryX = 50.0f;
// The page arrows sit in the dialog's top corners, as in the high-score dialog.
constexpr float kPrevPageX = 12.0f;
constexpr float kNextPageX = 88.0f;
constexpr float kPageArrowY = 11.0f;
constexpr const char* kPrevPageEvent = "ProfileDlg.PrevPage";
constexpr const char* kNextPageEvent = "ProfileDlg.NextPage";

bool IsEntry(const TwBaseGuiElemen& element) {
    return element.GetKind() == TwBaseGuiElemen::kProfileButton;
}

void ShowSelected(TwBaseGuiElemen& entry, bool selected) {
    if (selected) {
        entry.SetHover();
        entry.SetFrame(kSelectedFrame);
    } else {
        entry.ClearHover();
        entry.SetFrame(kNormalFrame);
    }
}

int ProfileIndex(const std::string& name) {
    const TwProfileStore& store = TwProfileStore::Instance();
    for (int i = 0; i < store.Count(); ++i) {
        if (store.Name(i) == name) {
            return i;
        }
    }
    return -1;
}

} // namespace

TwProfileDlg::TwProfileDlg() = default;
TwProfileDlg::~TwProfileDlg() = default;

void TwProfileDlg::OnCreate() {
    TwDefFile& defs = TwEngineDefs();
    const TwVector okPos = defs.GetVector3("ProfileDlg.OkButtonPos", ',');
    const TwVector addPos = defs.GetVector3("ProfileDlg.AddButtonPos", ',');
    const TwVector deletePos = defs.GetVector3("ProfileDlg.DelButtonPos", ',');
    AddButton("Interface/BtnOk", okPos.x, okPos.y, "ProfileDlg.Ok", kCancelRole);
    addButton_ =
        AddButton("Interface/NewProfile", addPos.x, addPos.y, "ProfileDlg.Add", kPlainRole);
    AddButton("Interface/DelProfile", deletePos.x, deletePos.y, "ProfileDlg.Delete", kPlainRole);
    listTop_ = defs.GetInt("ProfileDlg.UpOffset", 0);
    rowStep_ = defs.GetFloat("ProfileDlg.CharYDist", 0.0f);
    TwProfileStore::Instance().SetMaxProfiles(defs.GetInt("ProfileDlg.NumProfiles", 0));
}

TwProfileButton* TwProfileDlg::AddEntry(const std::string& name, int index) {
    if (index < FirstShown() || index >= FirstShown() + PageSize()) {
        ShowPageOf(index); // the page holding the new entry, read from the store
        return FindEntry(name);
    }
    return PlaceEntry(name, index - FirstShown());
}

TwProfileButton* TwProfileDlg::PlaceEntry(const std::string& name, int row) {
    auto entry = std::make_unique<TwProfileButton>();
    entry->Load("Interface/ProfileItem");
    entry->SetCaption(name, 1);
    TwProfileButton* raw = AddElement(kEntryPrefix + name, std::move(entry));
    PlaceElement(kEntryX, static_cast<float>(listTop_) + rowStep_ * static_cast<float>(row), raw);
    return raw;
}

void TwProfileDlg::FillList() {
    ClearList();
    const std::vector<std::string> names = TwProfileStore::Instance().Names();
    page_ = std::clamp(page_, 0, PageCount() - 1);
    for (int row = 0; row < PageSize(); ++row) {
        const std::size_t i =
            static_cast<std::size_t>(FirstShown()) + static_cast<std::size_t>(row);
        if (i >= names.size()) {
            break;
        }
        PlaceEntry(names[i], row);
    }
    UpdatePageArrows();
}

void TwProfileDlg::ClearList() {
    RemoveElementsOfKind(TwBaseGuiElemen::kProfileButton);
}

int TwProfileDlg::PageSize() const {
    const int rows = TwProfileStore::Instance().MaxProfiles();
    return rows > 0 ? rows : std::numeric_limits<int>::max() / 2;
}

int TwProfileDlg::PageCount() const {
    const int count = TwProfileStore::Instance().Count();
    return std::max(1, (count + PageSize() - 1) / PageSize());
}

void TwProfileDlg::ShowPageOf(int index) {
    page_ = index >= 0 ? index / PageSize() : 0;
    FillList();
}

void TwProfileDlg::TurnPage(int step) {
    page_ = std::clamp(page_ + step, 0, PageCount() - 1);
    FillList();
    SelectEntry(TwProfileStore::Instance().ActiveName());
}

// A list longer than the dialog's rows is shown a page at a time, with the arrows of the
// high-score dialog to turn the pages; a list that fits shows no arrows at all.
void TwProfileDlg::UpdatePageArrows() {
    if (PageCount() <= 1) {
        for (TwBaseGuiElemen** arrow : {&prevPage_, &nextPage_}) {
            if (*arrow != nullptr) {
                RemoveElement(*arrow);
                *arrow = nullptr;
            }
        }
        return;
    }
    if (prevPage_ == nullptr) {
        prevPage_ =
            AddButton("Interface/LArrow", kPrevPageX, kPageArrowY, kPrevPageEvent, kPlainRole);
        nextPage_ =
            AddButton("Interface/RArrow", kNextPageX, kPageArrowY, kNextPageEvent, kPlainRole);
    }
    page_ > 0 ? prevPage_->Enable() : prevPage_->Disable();
    page_ + 1 < PageCount() ? nextPage_->Enable() : nextPage_->Disable();
}

bool TwProfileDlg::TurnsPage(const TwBaseGuiElemen& element) {
    if (&element == prevPage_ || &element == nextPage_) {
        TurnPage(&element == prevPage_ ? -1 : 1);
        return true;
    }
    return false;
}

void TwProfileDlg::SelectEntry(const std::string& name) {
    for (const auto& element : elements_) {
        if (IsEntry(*element)) {
            ShowSelected(*element, element->Caption() == name);
        }
    }
}

TwProfileButton* TwProfileDlg::FindEntry(const std::string& name) const {
    for (const auto& element : elements_) {
        if (IsEntry(*element) && element->Caption() == name) {
            return static_cast<TwProfileButton*>(element.get());
        }
    }
    return nullptr;
}

void TwProfileDlg::Open() {
    TwPanel::Open();
    TwProfileStore& store = TwProfileStore::Instance();
    ShowPageOf(store.ActiveIndex());
    if (!store.IsEmpty()) {
        SelectEntry(store.ActiveName());
    }
}

void TwProfileDlg::Draw() {
    if (addButton_ != nullptr) {
        TwProfileStore::Instance().IsFull() ? addButton_->Disable() : addButton_->Enable();
    }
    TwDialogPanel::Draw();
}

// The active player's entry keeps its selected look while the mouse wanders over the list.
void TwProfileDlg::ClearOtherFocus(int position) {
    TwPanel::ClearOtherFocus(position);
    const std::string active = TwProfileStore::Instance().ActiveName();
    for (std::size_t i = 0; i < elements_.size(); ++i) {
        TwBaseGuiElemen& element = *elements_[i];
        if (static_cast<int>(i) != position && IsEntry(element) && element.Caption() != active) {
            ShowSelected(element, false);
        }
    }
}

void TwProfileDlg::PressElement(TwBaseGuiElemen& element, int box) {
    if (TurnsPage(element)) {
        return;
    }
    if (!IsEntry(element)) {
        TwPanel::PressElement(element, box);
        return;
    }
    const std::string name = element.Caption();
    TwPanel::PressElement(element, box);
    SelectEntry(name);
    TwProfileStore::Instance().SelectProfile(ProfileIndex(name));
}

bool TwProfileDlg::HandleInput(const TwInputEvent& event) {
    if (event.key == kEscape) {
        if (cancelButton_ != nullptr && !cancelButton_->IsDisabled()) {
            RaiseEvent(cancelButton_);
        }
        return true;
    }
    if (OnNavigationKey(event)) {
        return true;
    }
    if (event.eventClass == TwInputEvent::kMouse) {
        DropKeyboardFocus();
    }
    for (std::size_t i = 0; i < elements_.size(); ++i) {
        TwBaseGuiElemen& element = *elements_[i];
        switch (event.messageId) {
        case kMouseMove:
            if (element.OnMouseMove(event)) {
                ClearOtherFocus(static_cast<int>(i));
                return true;
            }
            break;
        case kLeftButtonDown:
        case kRightButtonDown:
            if (element.OnMouseDown(event)) {
                RaiseEvent(&element);
                return true;
            }
            break;
        case kLeftButtonUp:
        case kRightButtonUp:
            if (element.OnMouseUp(event)) {
                if (TurnsPage(element)) {
                    return true;
                }
                if (IsEntry(element)) {
                    const std::string name = element.Caption();
                    SelectEntry(name);
                    TwProfileStore::Instance().SelectProfile(ProfileIndex(name));
                }
                RaiseEvent(&element);
                return true;
            }
            break;
        default:
            break;
        }
    }
    return false;
}
