#include "gui/TwEventListener.h"

#include <algorithm>

#include "gui/TwBaseGuiElemen.h"
#include "gui/TwInputEvent.h"
#include "gui/TwPanel.h"

TwEventListener::TwEventListener() = default;

// The panels are deleted while the screen is still whole: a dying panel tells the screen to
// forget its elements as event source.
TwEventListener::~TwEventListener() {
    panelStack_.clear();
    replacedPanels_.clear();
    panels_.clear();
    eventSource_ = nullptr;
}

bool TwEventListener::HandleInput(TwInputEvent& input) {
    if (input.eventClass == 0) {
        return true;
    }
    TwPanel* top = TopPanel();
    if (top == nullptr || !top->IsSteady()) {
        return false;
    }
    // The panel works on a copy: its handlers must not change what the window recorded.
    const TwInputEvent event = input;
    if (!top->HandleInput(event)) {
        return false;
    }
    input.MarkConsumed();
    return true;
}

// The stack size is read again on every step: a panel whose fade-out ends takes itself off
// the stack during its own update.
void TwEventListener::Update(int elapsedMs) {
    for (std::size_t i = 0; i < panelStack_.size(); ++i) {
        panelStack_[i]->Update(elapsedMs);
    }
}

// Normally only the window and the two topmost panels are drawn: the dialog below the top one
// takes the opposite of the top one's fade, so one dialog fades into the next.
void TwEventListener::Draw() {
    if (drawAllPanels_) {
        for (TwPanel* panel : panelStack_) {
            panel->Draw();
        }
        return;
    }
    const std::size_t size = panelStack_.size();
    if (size == 0) {
        return;
    }
    panelStack_[0]->Draw();
    if (size < 2) {
        return;
    }
    TwPanel* below = panelStack_[size - 2];
    TwPanel* top = panelStack_[size - 1];
    if (size >= 3) {
        below->SetAlpha(255.0f - top->Alpha());
    }
    below->Draw();
    top->Draw();
}

void TwEventListener::OnEvent() {}

void TwEventListener::AddOwnedPanel(const std::string& name, std::unique_ptr<TwPanel> panel) {
    if (!panel) {
        return;
    }
    panel->SetName(name);
    panel->SetOwner(this);
    auto& slot = panels_[name];
    if (slot) {
        replacedPanels_.push_back(std::move(slot));
    }
    slot = std::move(panel);
}

TwPanel* TwEventListener::GetPanel(const std::string& name) const {
    const auto found = panels_.find(name);
    return found == panels_.end() ? nullptr : found->second.get();
}

void TwEventListener::OpenPanel(const std::string& name) {
    TwPanel* panel = GetPanel(name);
    if (panel == nullptr) {
        return;
    }
    panel->Open();
    panelStack_.push_back(panel);
}

void TwEventListener::ClosePanel(const std::string& name) {
    if (TwPanel* panel = GetPanel(name)) {
        panel->Close();
    }
}

void TwEventListener::RemoveTopPanel(const std::string& /*name*/) {
    if (!panelStack_.empty()) {
        panelStack_.pop_back();
    }
}

void TwEventListener::RaiseEvent(TwBaseGuiElemen* element) {
    if (element == nullptr) {
        return;
    }
    pendingEvent_ = element->Name();
    eventSource_ = element;
}

void TwEventListener::ClearEvent() {
    pendingEvent_.clear();
    eventSource_ = nullptr;
}

void TwEventListener::ForgetSource(const TwBaseGuiElemen* element) {
    if (eventSource_ == element) {
        eventSource_ = nullptr;
    }
}

TwPanel* TwEventListener::TopPanel() const {
    return panelStack_.empty() ? nullptr : panelStack_.back();
}

bool TwEventListener::IsOpen(const std::string& name) const {
    const TwPanel* panel = GetPanel(name);
    return panel != nullptr &&
           std::find(panelStack_.begin(), panelStack_.end(), panel) != panelStack_.end();
}
