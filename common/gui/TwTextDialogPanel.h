#pragma once
#include <memory>
#include <string>

#include "TwVector.h"
#include "gui/TwDialogPanel.h"

// The dialog in which the player types a name: letters, digits and spaces, as long as the
// name fits the input width in the main font. OK (also Enter) is usable once the name has a
// character other than a space; Cancel only once a player profile exists, so the very first
// name cannot be cancelled. A blinking cursor follows the text.
class TwTextDialogPanel : public TwDialogPanel {
public:
    TwTextDialogPanel();
    ~TwTextDialogPanel() override;

    void OnCreate() override;
    void Draw() override;
    void Update(int elapsedMs) override;
    bool HandleInput(const TwInputEvent& event) override;
    void Open() override;
    // Tab and the arrows move between OK and Cancel; Enter keeps meaning OK and Space is
    // typed into the name, so neither presses the focused button here.
    bool OnNavigationKey(const TwInputEvent& event) override;

    const std::string& Text() const { return text_; }
    int InputWidth() const { return inputWidth_; }
    TwClip* Cursor() const { return cursor_.get(); }

    // Letters, digits and the space.
    static bool IsAllowedCharacter(char32_t ch);
    // True when the name has a character other than a space (OK may be pressed).
    static bool IsUsableName(const std::string& text);

private:
    // Enables OK and Cancel as the text and the profile list allow.
    void UpdateButtons();
    void TypeCharacter(char32_t ch);

    std::unique_ptr<TwClip> cursor_;
    std::string text_;
    int inputWidth_ = 0;
    TwVector okPos_;
    TwVector cancelPos_;
    TwVector textPos_;
};
