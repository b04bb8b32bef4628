#include "gui/TwHelpDialog.h"

TwHelpDialog::TwHelpDialog() = default;
TwHelpDialog::~TwHelpDialog() = default;

void TwHelpDialog::Draw() {
    TwPanel::Draw();
    for (const auto& paragraph : paragraphs_) {
        paragraph->SetAlpha(Alpha());
        paragraph->Draw();
    }
}

void TwHelpDialog::Update(int elapsedMs) {
    TwPanel::Update(elapsedMs);
}

void TwHelpDialog::AddParagraph(std::unique_ptr<TwParagraph> paragraph) {
    if (paragraph) {
        paragraphs_.push_back(std::move(paragraph));
    }
}
