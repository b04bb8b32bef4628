#pragma once
#include <functional>
#include <optional>
#include <string>

#include "ControlBindings.h"
#include "gui/TwPanel.h"

// The controls dialog, reached from the options: every action with its keyboard key and its
// controller button. Clicking (or pressing) a cell waits for the new key or button, which
// applies at once and is saved with the settings; Escape (or B) stops waiting. A key another
// action has already is refused with a line naming that action. "Defaults" puts every binding
// back. The game prints the action and key names over the dialog's picture.
class ControlsPanel : public TwPanel {
public:
    static constexpr const char* kName = "ControlsDlg";
    static constexpr const char* kOkButton = "ControlsDlg.Ok";
    static constexpr const char* kDefaultsButton = "ControlsDlg.Defaults";

    // The picture, a cell per action and column, Defaults and OK.
    bool Build();
    // The event name of a cell: "ControlsDlg.Key<n>" or "ControlsDlg.Pad<n>".
    static std::string CellName(ControlBindings::Action action, bool pad);

    // The dialog's own named events (cells, Defaults, OK); false for any other event.
    bool TakeEvent(const std::string& name);

    void Open() override;
    void Draw() override;
    bool HandleInput(const TwInputEvent& event) override;

    // The cell waiting for a key or button, if any.
    bool Waiting() const { return editing_.has_value(); }
    const std::string& Message() const { return message_; }

private:
    struct Editing {
        ControlBindings::Action action;
        bool pad;
    };
    void StartEditing(ControlBindings::Action action, bool pad);
    void Finish(std::optional<ControlBindings::Action> refusedBy);
    bool TakeKeyWhileEditing(const TwInputEvent& event);
    // The new bindings in force and in the settings file.
    static void Apply(const ControlBindings& bindings);
    std::string CellText(ControlBindings::Action action, bool pad) const;

    std::optional<Editing> editing_;
    // The key whose character message follows the key-down the dialog took.
    int swallowCharacter_ = -1;
    std::string message_;
};

// Names of actions, keys and controller buttons in the player's language (or in the texts
// `lookup` gives, a language table's by key).
using TextLookup = std::function<std::string(const std::string&)>;
std::string GameText(const std::string& key);
std::string ActionLabel(ControlBindings::Action action, const TextLookup& lookup = GameText);
std::string KeyLabel(int key, const TextLookup& lookup = GameText);
std::string PadLabel(int pad, const TextLookup& lookup = GameText);
