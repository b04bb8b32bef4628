#include "gui/TwTextDialogPanel.h"

#include "data/TwEngineDefs.h"
#include "data/TwUtf8.h"
#include "gfx/TwClip.h"
#include "gfx/TwFontTable.h"
#include "gui/TwButton.h"
#include "gui/TwGuiSound.h"
#include "gui/TwInputEvent.h"
#include "records/TwProfileStore.h"

namespace {

using namespace TwInputCodes;

// Two frames side by side, looping: 384 ms on, 384 ms off.
constexpr int kCursorBlinkTime = 768;
// Names also become save-file names; whatever the font, a name never grows past this.
constexpr std::size_t kMaxNameLength = 64;

// ASCII letters and digits, and the letters of the Latin-1, Latin Extended and Cyrillic
// blocks (the alphabets the game's languages write in).
bool IsLetterOrDigit(char32_t ch) {
    if (ch < 0x80) {
        return (ch >= '0' && ch <= '9') || (ch >= 'A' && ch <= 'Z') || (ch >= 'a' && ch <= 'z');
    }
    const bool latin = ch >= 0xC0 && ch <= 0x24F && ch != 0xD7 && ch != 0xF7;
    const bool cyrillic = ch >= 0x400 && ch <= 0x4FF && !(ch >= 0x482 && ch <= 0x489);
    return latin || cyrillic;
}

// The apostrophes names are written with: the typewriter one, the typographic one and the
// letter apostrophe of Ukrainian ("Марʼяна", "O'Brien").
bool IsApostrophe(char32_t ch) {
    return ch == U'\'' || ch == U'\u2019' || ch == U'\u02BC';
}

// The last character of a UTF-8 text, 0 when it is empty.
char32_t LastCharacter(const std::string& text) {
    std::size_t pos = TwUtf8::LastCharStart(text);
    return pos < text.size() ? TwUtf8::Next(text, pos) : 0;
}

} // namespace

TwTextDialogPanel::TwTextDialogPanel() = default;
TwTextDialogPanel::~TwTextDialogPanel() = default;

bool TwTextDialogPanel::IsAllowedCharacter(char32_t ch) {
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

// A letter or digit always clicks and wakes the OK button, even when it no longer fits. A
// letter the font cannot draw is not taken.
void TwTextDialogPanel::TypeCharacter(char32_t ch) {
    const TwBitmapFont* font = TwFontTable::Get(TwFontTable::MainFont);
    if (ch >= 0x80 && (font == nullptr || !font->HasGlyph(ch))) {
        return;
    }
    if (IsLetterOrDigit(ch)) {
        TwGuiPlaySound(TwGuiSounds::kType);
        if (defaultButton_ != nullptr) {
            defaultButton_->Enable();
        }
    }
    const std::string typed = TwUtf8::Encode(ch);
    if (font == nullptr || text_.size() + typed.size() > kMaxNameLength) {
        return;
    }
    const std::string candidate = text_ + typed;
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
        // The whole last character goes, however many bytes it takes.
        text_.erase(TwUtf8::LastCharStart(text_));
        return true;
    }
    // An apostrophe is part of a name only right after a letter or digit.
    const bool apostrophe = IsApostrophe(event.character) && IsLetterOrDigit(LastCharacter(text_));
    if (event.messageId == kCharacter && (IsAllowedCharacter(event.character) || apostrophe)) {
        TypeCharacter(event.character);
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
