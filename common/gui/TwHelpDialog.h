#pragma once
#include <memory>
#include <vector>

#include "gui/TwPanel.h"
#include "gui/TwParagraph.h"

// The help screen: a picture with blocks of text over it that fade with the dialog, a button
// back to the menu and one to the credits.
class TwHelpDialog : public TwPanel {
public:
    TwHelpDialog();
    ~TwHelpDialog() override;

    void Draw() override;
    void Update(int elapsedMs) override;
    // Run once right after Create; the help screen has nothing more to set up.
    virtual void AfterCreate() {}

    // The dialog owns the paragraph from now on; paragraphs are drawn in the order added.
    void AddParagraph(std::unique_ptr<TwParagraph> paragraph);
    const std::vector<std::unique_ptr<TwParagraph>>& Paragraphs() const { return paragraphs_; }

private:
    std::vector<std::unique_ptr<TwParagraph>> paragraphs_;
};
