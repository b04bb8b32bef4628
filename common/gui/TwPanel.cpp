#include "gui/TwPanel.h"

#include <algorithm>

#include "gfx/TwClip.h"
#include "gfx/TwScreenSize.h"
#include "gui/TwButton.h"
#include "gui/TwEventListener.h"
#include "gui/TwGuiSound.h"
#include "gui/TwInputEvent.h"

namespace {

using namespace TwInputCodes;

// The dimming overlay is a small picture stretched over the whole screen.
constexpr float kOverlayScale = 25.0f;
constexpr float kOverlayStartAlpha = 64.0f;

bool IsSlider(const TwBaseGuiElemen& element) {
    return element.GetKind() == TwBaseGuiElemen::kSlider;
}

} // namespace

TwPanel::TwPanel() = default;

TwPanel::~TwPanel() {
    for (const auto& element : elements_) {
        if (owner_ != nullptr) {
            owner_->ForgetSource(element.get());
        }
    }
}

void TwPanel::OnCreate() {}

bool TwPanel::Create(const std::string& imageName) {
    background_ = std::make_unique<TwClip>();
    // A dialog's picture is decoded when the dialog is first shown: most are never opened.
    background_->SetImageOnDemand(imageName);
    background_->SetAnimation(1, 0, 1, 1);
    if (background_->Width() <= 0) {
        return false;
    }
    const TwScreenSize& screen = TwScreenSize::Instance();
    const int centreX = screen.width / 2, centreY = screen.height / 2; // whole pixels
    position_ = TwVector{static_cast<float>(centreX), static_cast<float>(centreY), 0.0f};

    fadeOverlay_ = std::make_unique<TwClip>();
    fadeOverlay_->SetImage("Interface/Fade", false);
    fadeOverlay_->SetAnimation(1, 0, 1, 1);
    if (fadeOverlay_->Width() <= 0) {
        return false;
    }
    fadeOverlay_->SetPosition(position_.x, position_.y, 0.0f);
    fadeOverlay_->scale = kOverlayScale;
    fadeOverlay_->SetTint(255.0f, 255.0f, 255.0f, kOverlayStartAlpha);
    OnCreate();
    return true;
}

void TwPanel::Draw() {
    if (fadeOverlay_ && dimBackground_) {
        fadeOverlay_->SetTint(colour_.red, colour_.green, colour_.blue, colour_.alpha);
        fadeOverlay_->Draw();
    }
    if (background_) {
        background_->SetTint(colour_.red, colour_.green, colour_.blue, colour_.alpha);
        background_->SetPosition(position_.x, position_.y, position_.z);
        background_->Draw();
    }
    for (const auto& element : elements_) {
        element->SetColour(colour_);
        element->Draw();
    }
}

// The alpha moves by about one unit per millisecond, so a whole fade takes about 255 ms.
// A finished fade-out leaves the panel opaque for its next opening and takes it off the
// screen's stack.
void TwPanel::Update(int elapsedMs) {
    const int step = std::max(1, static_cast<int>(static_cast<float>(elapsedMs * 2) * 0.5f));
    if (state_ == kFadingIn) {
        colour_.alpha += static_cast<float>(step);
        if (colour_.alpha > 255.0f) {
            state_ = kSteady;
            colour_.alpha = 255.0f;
        }
    } else if (state_ == kFadingOut) {
        colour_.alpha -= static_cast<float>(step);
        if (colour_.alpha < 0.0f) {
            colour_.alpha = 0.0f;
            state_ = kSteady;
            if (owner_ != nullptr) {
                owner_->RemoveTopPanel(name_);
            }
        }
    }
    if (state_ == kSteady) {
        colour_.alpha = 255.0f;
    }
}

bool TwPanel::OnKey(const TwInputEvent& event) {
    if (event.key != kEscape) {
        return false;
    }
    if (cancelButton_ != nullptr && !cancelButton_->IsDisabled()) {
        RaiseEvent(cancelButton_);
    } else if (!escapeEvent_.empty() && owner_ != nullptr) {
        owner_->SetPendingEvent(escapeEvent_);
    }
    return true;
}

bool TwPanel::HandleInput(const TwInputEvent& event) {
    if (OnKey(event) || OnNavigationKey(event)) {
        return true;
    }
    if (!keyboardNavigation_ && event.eventClass == TwInputEvent::kKeyboard) {
        return false; // the keys belong to the game beneath, even under a lit button
    }
    if (event.eventClass == TwInputEvent::kMouse) {
        DropKeyboardFocus(); // the pointer is back in charge of the looks
    }
    for (std::size_t i = 0; i < elements_.size(); ++i) {
        TwBaseGuiElemen& element = *elements_[i];
        switch (event.messageId) {
        case kMouseMove:
            // While a slider is dragged only sliders see the moves.
            if (captured_ && !IsSlider(element)) {
                continue;
            }
            if (element.OnMouseMove(event)) {
                ClearOtherFocus(static_cast<int>(i));
                if (element.IsHover() && IsSlider(element)) {
                    RaiseEvent(&element);
                }
                return true;
            }
            break;
        case kLeftButtonDown:
        case kRightButtonDown:
            if (element.OnMouseDown(event)) {
                if (IsSlider(element)) {
                    captured_ = true;
                }
                RaiseEvent(&element);
                element.AfterEvent();
                return true;
            }
            break;
        case kLeftButtonUp:
            if (captured_ && !IsSlider(element)) {
                continue;
            }
            if (element.OnMouseUp(event)) {
                if (IsSlider(element)) {
                    captured_ = false;
                }
                RaiseEvent(&element);
                element.AfterEvent();
                return true;
            }
            break;
        default:
            break;
        }
    }
    return std::any_of(elements_.begin(), elements_.end(),
                       [](const auto& element) { return element->IsHover(); });
}

// Every element starts from its normal look; a disabled one keeps its flag but shows frame 0
// until it is disabled again.
void TwPanel::Open() {
    for (const auto& element : elements_) {
        element->ClearHover();
        element->ShowNormal();
        element->SetFrame(0);
    }
    focus_ = 0;
    captured_ = false;
    keyboardFocus_ = false;
    focusBox_ = -1;
    TwGuiPlaySound(TwGuiSounds::kOpenDialog);
    colour_ = TwGuiColour{255.0f, 255.0f, 255.0f, 0.0f};
    state_ = kFadingIn;
}

void TwPanel::Close() {
    TwGuiPlaySound(TwGuiSounds::kCloseDialog);
    colour_ = TwGuiColour{255.0f, 255.0f, 255.0f, 255.0f};
    state_ = kFadingOut;
    if (defaultButton_ != nullptr) {
        defaultButton_->Enable();
    }
    if (cancelButton_ != nullptr) {
        cancelButton_->Enable();
    }
}

void TwPanel::SetFocus(int position) {
    for (const auto& element : elements_) {
        element->ClearHover();
        element->ShowNormal();
        element->SetFrame(0);
    }
    captured_ = false;
    TwBaseGuiElemen* focused = ElementAt(position);
    if (focused == nullptr) {
        return;
    }
    focus_ = position;
    focused->SetHover();
    focused->ShowFocused();
    if (IsSlider(*focused)) {
        captured_ = true;
    }
}

void TwPanel::ClearOtherFocus(int position) {
    for (std::size_t i = 0; i < elements_.size(); ++i) {
        TwBaseGuiElemen& element = *elements_[i];
        if (static_cast<int>(i) == position || element.GetKind() != TwBaseGuiElemen::kPushButton) {
            continue;
        }
        element.ClearHover();
        // The normal look, which for a disabled button stays its greyed frame: the mouse
        // passing over a neighbour must not make it look usable.
        element.ShowNormal();
    }
}

int TwPanel::GetFocused() const {
    for (std::size_t i = 0; i < elements_.size(); ++i) {
        if (elements_[i]->IsHover()) {
            return static_cast<int>(i);
        }
    }
    return 0;
}

void TwPanel::AddOwnedElement(const std::string& name, std::unique_ptr<TwBaseGuiElemen> element) {
    if (!element) {
        return;
    }
    element->SetName(name);
    elements_.push_back(std::move(element));
    focus_ = 0;
    keyboardFocus_ = false;
    focusBox_ = -1;
}

TwButton* TwPanel::AddButton(const std::string& imageName, float xPercent, float yPercent,
                             const std::string& name, int role) {
    auto button = std::make_unique<TwButton>();
    button->Load(imageName);
    PlaceElement(xPercent, yPercent, button.get());
    switch (role) {
    case kDefaultRole:
        return AddDefaultButton(name, std::move(button));
    case kCancelRole:
        return AddCancelButton(name, std::move(button));
    default:
        return AddElement(name, std::move(button));
    }
}

void TwPanel::RemoveElement(const TwBaseGuiElemen* element) {
    auto found = std::find_if(elements_.begin(), elements_.end(),
                              [element](const auto& owned) { return owned.get() == element; });
    if (found == elements_.end()) {
        return;
    }
    if (defaultButton_ == element) {
        defaultButton_ = nullptr;
    }
    if (cancelButton_ == element) {
        cancelButton_ = nullptr;
    }
    if (owner_ != nullptr) {
        owner_->ForgetSource(element);
    }
    elements_.erase(found);
    focus_ = 0;
    keyboardFocus_ = false;
    focusBox_ = -1;
}

void TwPanel::RemoveElementsOfKind(int kind) {
    std::vector<const TwBaseGuiElemen*> doomed;
    for (const auto& element : elements_) {
        if (element->GetKind() == kind) {
            doomed.push_back(element.get());
        }
    }
    for (const TwBaseGuiElemen* element : doomed) {
        RemoveElement(element);
    }
}

int TwPanel::BackgroundWidth() const {
    return background_ ? background_->Width() : 0;
}
int TwPanel::BackgroundHeight() const {
    return background_ ? background_->CellHeight() : 0;
}

TwVector TwPanel::PointInPanel(float xPercent, float yPercent) const {
    const int width = BackgroundWidth();
    const int height = BackgroundHeight();
    if (width > 0 && height > 0) {
        const float w = static_cast<float>(width), h = static_cast<float>(height);
        return TwVector{
            position_.x + static_cast<float>(static_cast<int>(xPercent * w / 100.0f)) - w * 0.5f,
            position_.y + static_cast<float>(static_cast<int>(yPercent * h / 100.0f)) - h * 0.5f,
            0.0f};
    }
    const TwScreenSize& screen = TwScreenSize::Instance();
    const float w = static_cast<float>(screen.width), h = static_cast<float>(screen.height);
    return TwVector{position_.x + static_cast<float>(static_cast<int>(xPercent * w / 100.0f)),
                    position_.y + static_cast<float>(static_cast<int>(yPercent * h / 100.0f)),
                    0.0f};
}

void TwPanel::PlaceElement(float xPercent, float yPercent, TwBaseGuiElemen* element) const {
    if (element != nullptr) {
        element->SetPosition(PointInPanel(xPercent, yPercent));
    }
}

void TwPanel::PlaceElementByName(float xPercent, float yPercent, const std::string& name) {
    PlaceElement(xPercent, yPercent, FindElement(name));
}

TwBaseGuiElemen* TwPanel::FindElement(const std::string& name) const {
    for (const auto& element : elements_) {
        if (element->Name() == name) {
            return element.get();
        }
    }
    return nullptr;
}

TwBaseGuiElemen* TwPanel::ElementAt(int position) const {
    if (position < 0 || position >= static_cast<int>(elements_.size())) {
        return nullptr;
    }
    return elements_[static_cast<std::size_t>(position)].get();
}

void TwPanel::RaiseEvent(TwBaseGuiElemen* element) {
    if (owner_ != nullptr) {
        owner_->RaiseEvent(element);
    }
}
