#include "gui/TwTextDialogPanel.h"

#include "app/TwEngineDefs.h"
#include "app/TwInputEvent.h"
#include "gfx/TwClip.h"
#include "gfx/TwFontTable.h"
#include "gui/TwButton.h"
#include "gui/TwGuiSound.h"
#include "records/TwProfileStore.h"

namespace {

using namespace TwInputCodes;

// Two frames side by side, looping: 384 ms on, 384 ms off.
constexpr int kCursorBlinkTime = 768;
// Names also become save-file names; whatever the font, a name never grows past this.
constexpr std::size_t kMaxNameLength = 64;

bool IsLetterOrDigit(unsigned char ch) {
    return (ch >= '0' && ch <= '9') || (ch >= 'A' && ch <= 'Z') || (ch >= 'a' && ch <= 'z');
}

} // namespace

TwTextDialogPanel::TwTextDialogPanel() = default;
TwTextDialogPanel::~TwTextDialogPanel() = default;

bool TwTextDialogPanel::IsAllowedCharacter(unsigned char ch) {
    return IsLetterOrDigit(ch) || ch == ' ';
}

bool TwTextDialogPanel::IsUsableName(const std::string& text) {
    return text.find_first_not_of(' ') != std::string::npos;
}

void TwTextDialogPanel::OnCreate() {
    TwDefFile& defs = TwEngineDefs();
    inputWidth_ = defs.GetInt("EnterNameDlg.InputWidth", 0);
    okPos_ = defs.GetVector3("EnterNameDlg.OkButtonPos", ',');
    cancelPos_ = defs.GetVector3("EnterNameDlg.CancelButtonPos", ',');
    textPos_ = defs.GetVector3("EnterNameDlg.TextPos", ',');
    AddButton("Interface/BtnOk", okPos_.x, okPos_.y, "PlayerNameDlg.Ok", kDefaultRole);
    AddButton("Interface/BtnCancel", cancelPos_.x, cancelPos_.y, "PlayerNameDlg.Cancel",
              kCancelRole);
    text_.clear();
    cursor_ = std::make_unique<TwClip>();
    cursor_->SetImage("Interface/CursorBlink", false);
    cursor_->SetAnimation(kCursorBlinkTime, 3, 2, 1);
}

void TwTextDialogPanel::Open() {
    TwPanel::Open();
    text_.clear();
}

void TwTextDialogPanel::Update(int elapsedMs) {
    TwPanel::Update(elapsedMs);
    if (cursor_) {
        cursor_->Update(elapsedMs);
    }
}

// A letter or digit always clicks and wakes the OK button, even when it no longer fits.
void TwTextDialogPanel::TypeCharacter(unsigned char ch) {
    if (IsLetterOrDigit(ch)) {
        TwGuiPlaySound(TwGuiSounds::kType);
        if (defaultButton_ != nullptr) {
            defaultButton_->Enable();
        }
    }
    const TwBitmapFont* font = TwFontTable::Get(TwFontTable::MainFont);
    if (font == nullptr || text_.size() >= kMaxNameLength) {
        return;
    }
    const std::string candidate = text_ + static_cast<char>(ch);
    if (font->TextWidth(candidate) < inputWidth_) {
        text_ = candidate;
    }
}

bool TwTextDialogPanel::OnNavigationKey(const TwInputEvent& event) {
    if (event.key == kEnter || event.key == ' ') {
        return false;
    }
    return TwPanel::OnNavigationKey(event);
}

// The buttons and Escape are handled as in any panel; every key then belongs to the name.
bool TwTextDialogPanel::HandleInput(const TwInputEvent& event) {
    TwPanel::HandleInput(event);
    if (event.key == kEnter && event.messageId == kKeyDown) {
        if (defaultButton_ == nullptr || defaultButton_->IsDisabled()) {
            return false;
        }
        RaiseEvent(defaultButton_);
        return true;
    }
    if (event.eventClass != TwInputEvent::kKeyboard) {
        return false;
    }
    if (event.key == kBackspace && event.messageId == kKeyDown) {
        if (!text_.empty()) {
            text_.pop_back();
        }
        return true;
    }
    if (event.messageId == kCharacter && IsAllowedCharacter(event.key)) {
        TypeCharacter(event.key);
    }
    return true;
}

// OK needs a name that is not all spaces; Cancel needs a player to fall back to.
void TwTextDialogPanel::UpdateButtons() {
    if (defaultButton_ != nullptr) {
        if (IsUsableName(text_)) {
            defaultButton_->Enable();
        } else {
            defaultButton_->Disable();
        }
    }
    if (cancelButton_ != nullptr) {
        if (!TwProfileStore::Instance().IsEmpty()) {
            cancelButton_->Enable();
        } else {
            cancelButton_->Disable();
        }
    }
}

void TwTextDialogPanel::Draw() {
    UpdateButtons();
    TwDialogPanel::Draw();
    messageFont_ = 0;
    TwVector pen{static_cast<float>(static_cast<int>(textPos_.x)),
                 static_cast<float>(static_cast<int>(textPos_.y)), 0.0f};
    if (TwBitmapFont* font = TwFontTable::Get(TwFontTable::MainFont)) {
        font->SetTint(colour_.red, colour_.green, colour_.blue, colour_.alpha);
        font->DrawText(pen.x, pen.y, text_, TwBitmapFont::AlignCentre, &pen);
    }
    if (cursor_) {
        cursor_->SetPosition(pen.x, pen.y, pen.z);
        cursor_->alpha = colour_.alpha;
        cursor_->Draw();
    }
}
