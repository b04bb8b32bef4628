#pragma once
#include <string>

#include "gui/TwCheckBox.h"

// A check box with its label written to its right in the main font, for a setting whose
// name is not part of the dialog's picture.
class TwLabelledCheckBox : public TwCheckBox {
public:
    // Pixels from the box's centre to where the label starts.
    static constexpr float kLabelGap = 20.0f;

    void SetLabel(std::string label) { label_ = std::move(label); }
    const std::string& Label() const { return label_; }
    void Draw() override;

private:
    std::string label_;
};
