#pragma once
#include <string>

#include "gui/TwPanel.h"
#include "gui/TwParagraph.h"

// A panel with a title line at the top and a multi-line message in the middle.
class TwDialogPanel : public TwPanel {
public:
    TwDialogPanel();
    ~TwDialogPanel() override;

    void OnCreate() override {}
    void Draw() override;

    void SetMessage(const std::string& message) { message_ = message; }
    const std::string& Message() const { return message_; }
    void SetTitle(const std::string& title) { title_ = title; }
    void SetTitleFont(int fontIndex) { titleFont_ = fontIndex; }
    void SetMessageFont(int fontIndex) { messageFont_ = fontIndex; }

protected:
    std::string title_;
    std::string message_;
    int titleFont_ = -1;
    int messageFont_ = -1;
    TwParagraph paragraph_;
};
