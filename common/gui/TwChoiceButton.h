#pragma once
#include <string>
#include <vector>

#include "gui/TwButton.h"

// A button that offers one of several choices, written on it in the main font between two
// arrows: a click on its left third goes back one choice, anywhere else (or Enter) on to
// the next, round at the ends. Its label is written to its left, and a note, when set,
// beneath it. The panel raises the button's event; the handler calls Step() to move on.
class TwChoiceButton : public TwButton {
public:
    // Pixels between the label's end and the button's left edge, and from the button's
    // centre down to the note's line.
    static constexpr float kLabelGap = 12.0f;
    static constexpr float kNoteDrop = 27.0f;

    void SetChoices(std::vector<std::string> choices, int chosen);
    const std::vector<std::string>& Choices() const { return choices_; }
    int Chosen() const { return chosen_; }
    // Moves to the previous choice when the last press was on the left third, else the next.
    void Step();

    void SetLabel(std::string label) { label_ = std::move(label); }
    void SetNote(std::string note) { note_ = std::move(note); }
    // The x the note is centred on (the dialog's middle); the button's own centre until set.
    void SetNoteCentre(float x) { noteX_ = x; }
    const std::string& Note() const { return note_; }

    bool OnMouseDown(const TwInputEvent& event) override;
    void Draw() override;

private:
    std::vector<std::string> choices_;
    int chosen_ = 0;
    bool back_ = false;
    std::string label_;
    std::string note_;
    float noteX_ = -1.0f;
};
