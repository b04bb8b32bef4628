#include "ControlsPanel.h"
#include "ControlsLayout.h"

#include "data/TwLanguage.h"
#include "data/TwSysConfig.h"
#include "gfx/TwBitmapFont.h"
#include "gfx/TwFontTable.h"
#include "gui/TwInputEvent.h"

namespace {

using namespace TwInputCodes;

using namespace ControlsLayout;
static_assert(kRows == ControlBindings::kActionCount, "a row of the dialog for every action");

// Controller buttons every language writes alike; the d-pad's are translated.
constexpr const char* kPadLabels[] = {"A",  "B",  "X",  "Y", "Back", "Guide", "Start", "LS",
                                      "RS", "LB", "RB", "",  "",     "",      ""};

ControlBindings::Action ActionAt(int index) {
    return static_cast<ControlBindings::Action>(index);
}

} // namespace

std::string GameText(const std::string& key) {
    return TwLanguage::Instance().GetText(key);
}

std::string ActionLabel(ControlBindings::Action action, const TextLookup& lookup) {
    const std::string text = lookup(std::string("Action") + ControlBindings::ActionName(action));
    return text.empty() ? ControlBindings::ActionName(action) : text;
}

std::string KeyLabel(int key, const TextLookup& lookup) {
    const std::string name = ControlBindings::KeyName(key);
    if (name.empty()) {
        return "-";
    }
    const std::string text = lookup("Key" + name);
    return text.empty() ? name : text;
}

std::string PadLabel(int pad, const TextLookup& lookup) {
    const std::string name = ControlBindings::PadName(pad);
    if (name.empty()) {
        return "-";
    }
    std::string fixed = kPadLabels[pad];
    if (!fixed.empty()) {
        return fixed;
    }
    const std::string text = lookup("Pad" + name);
    return text.empty() ? name : text;
}

std::string ControlsPanel::CellName(ControlBindings::Action action, bool pad) {
    return std::string(kName) + (pad ? ".Pad" : ".Key") + std::to_string(action);
}

bool ControlsPanel::Build() {
    const bool created = Create("Interface/ControlsDlg");
    for (int i = 0; i < ControlBindings::kActionCount; ++i) {
        const float y = kFirstRowY + kRowStep * static_cast<float>(i);
        AddButton("Interface/BindCell", kKeyColumnX, y, CellName(ActionAt(i), false), kPlainRole);
        AddButton("Interface/BindCell", kPadColumnX, y, CellName(ActionAt(i), true), kPlainRole);
    }
    AddButton("Interface/Defaults", 30, kButtonsY, kDefaultsButton, kPlainRole);
    AddButton("Interface/BtnOk", 70, kButtonsY, kOkButton, kCancelRole);
    return created;
}

bool ControlsPanel::TakeEvent(const std::string& name) {
    if (name == kOkButton) {
        editing_.reset();
        Close();
        return true;
    }
    if (name == kDefaultsButton) {
        editing_.reset();
        Apply(ControlBindings::Defaults());
        message_.clear();
        return true;
    }
    for (int i = 0; i < ControlBindings::kActionCount; ++i) {
        for (bool pad : {false, true}) {
            if (name == CellName(ActionAt(i), pad)) {
                StartEditing(ActionAt(i), pad);
                return true;
            }
        }
    }
    return false;
}

void ControlsPanel::StartEditing(ControlBindings::Action action, bool pad) {
    editing_ = Editing{action, pad};
    message_ = TwLanguage::Instance().GetText(pad ? "PressButton" : "PressKey");
}

void ControlsPanel::Open() {
    TwPanel::Open();
    editing_.reset();
    swallowCharacter_ = -1;
    message_.clear();
}

// Refused by the action itself: a key that cannot be bound; by another: that action has it.
void ControlsPanel::Finish(std::optional<ControlBindings::Action> refusedBy) {
    const Editing done = *editing_;
    editing_.reset();
    if (!refusedBy) {
        message_.clear();
        return;
    }
    if (*refusedBy == done.action) {
        message_ = TwLanguage::Instance().GetText("BindingRefused");
    } else {
        message_ = TwLanguage::Instance().GetText("BindingTaken") + " " + ActionLabel(*refusedBy);
    }
}

bool ControlsPanel::TakeKeyWhileEditing(const TwInputEvent& event) {
    swallowCharacter_ = event.key;
    const bool fromPad = event.padButton >= 0;
    // Escape on the keyboard, or B (which speaks as Escape) while a key is wanted, stops.
    const bool stop = event.key == kEscape && (!fromPad || !editing_->pad);
    if (stop) {
        editing_.reset();
        message_.clear();
        return true;
    }
    if (editing_->pad && fromPad) {
        ControlBindings bindings = ControlBindings::Current();
        const auto refused = bindings.AssignPad(editing_->action, event.padButton);
        Apply(bindings);
        Finish(refused);
    } else if (!editing_->pad && !fromPad) {
        ControlBindings bindings = ControlBindings::Current();
        const auto refused = bindings.AssignKey(editing_->action, event.key);
        Apply(bindings);
        Finish(refused);
    }
    return true; // a key for the other column waits on
}

bool ControlsPanel::HandleInput(const TwInputEvent& event) {
    if (event.messageId == kCharacter && event.key != 0 && event.key == swallowCharacter_) {
        swallowCharacter_ = -1;
        return true;
    }
    if (event.messageId == kKeyDown) {
        swallowCharacter_ = -1;
        if (editing_) {
            return TakeKeyWhileEditing(event);
        }
    }
    if (editing_ && event.messageId == kCharacter) {
        return true;
    }
    if (editing_ && event.messageId == kLeftButtonUp) {
        // A click anywhere stops waiting; on another cell it starts waiting there.
        editing_.reset();
        message_.clear();
    }
    return TwPanel::HandleInput(event);
}

void ControlsPanel::Apply(const ControlBindings& bindings) {
    ControlBindings::Current() = bindings;
    TwSysConfig& config = TwSysConfig::Instance();
    bindings.Store(config.Table());
    config.Save();
}

std::string ControlsPanel::CellText(ControlBindings::Action action, bool pad) const {
    if (editing_ && editing_->action == action && editing_->pad == pad) {
        return "?";
    }
    const ControlBindings& bindings = ControlBindings::Current();
    return pad ? PadLabel(bindings.Pad(action)) : KeyLabel(bindings.Key(action));
}

void ControlsPanel::Draw() {
    TwPanel::Draw();
    TwBitmapFont* font = TwFontTable::Get(TwFontTable::MainFont);
    if (font == nullptr) {
        return;
    }
    font->SetTint(255.0f, 255.0f, 255.0f, Alpha());
    for (int i = 0; i < ControlBindings::kActionCount; ++i) {
        const ControlBindings::Action action = ActionAt(i);
        const float y = kFirstRowY + kRowStep * static_cast<float>(i);
        const TwVector name = PointInPanel(kNameX, y);
        font->DrawText(name.x, name.y, ActionLabel(action), TwBitmapFont::AlignLeft);
        const TwVector key = PointInPanel(kKeyColumnX, y);
        font->DrawText(key.x, key.y, CellText(action, false), TwBitmapFont::AlignCentre);
        const TwVector pad = PointInPanel(kPadColumnX, y);
        font->DrawText(pad.x, pad.y, CellText(action, true), TwBitmapFont::AlignCentre);
    }
    if (!message_.empty()) {
        font->SetTint(255.0f, 214.0f, 110.0f, Alpha());
        const TwVector line = PointInPanel(50.0f, kMessageY);
        font->DrawText(line.x, line.y, message_, TwBitmapFont::AlignCentre);
    }
}
