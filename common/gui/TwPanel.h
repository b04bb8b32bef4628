#pragma once
#include <memory>
#include <string>
#include <vector>

#include "TwVector.h"
#include "gui/TwBaseGuiElemen.h"
#include "gui/TwGuiColour.h"

class TwButton;
class TwClip;
class TwEventListener;
struct TwInputEvent;

// A screen-centred window: a background picture and a list of elements. Opening fades it in
// from transparent, together with a full-screen dimming overlay; closing fades it out, and
// when the fade-out ends the panel takes itself off its screen's stack. A panel turns element
// input into named events on its screen and maps Escape onto its cancel button.
//
// Elements are drawn and hit-tested in the order they were added.
class TwPanel {
public:
    enum State { kFadingIn = 0, kFadingOut = 1, kSteady = 2 };
    // Roles of AddButton.
    enum ButtonRole { kDefaultRole = 0, kCancelRole = 1, kPlainRole = 2 };

    TwPanel();
    virtual ~TwPanel();
    TwPanel(const TwPanel&) = delete;
    TwPanel& operator=(const TwPanel&) = delete;

    // Derived dialogs build their elements here; called at the end of a successful Create.
    virtual void OnCreate();
    // Loads the background and the overlay, centres the panel on the screen, then OnCreate.
    // False when a picture cannot be loaded (OnCreate is then not called).
    virtual bool Create(const std::string& imageName);
    virtual void Draw();
    // Advances the fade by the elapsed milliseconds.
    virtual void Update(int elapsedMs);
    // Escape raises the cancel button's event (when it is enabled) and is always consumed.
    virtual bool OnKey(const TwInputEvent& event);
    // Keys first, then the elements in order; true when the panel used the event.
    virtual bool HandleInput(const TwInputEvent& event);
    // Resets every element's look, plays the open sound and starts the fade-in.
    virtual void Open();
    // Plays the close sound and starts the fade-out.
    virtual void Close();
    // Keyboard focus: gives the element at `position` the focused look (a focused slider
    // takes the mouse) and takes it from every other element.
    virtual void SetFocus(int position);
    // Takes the focused look from every push button other than the one at `position`.
    virtual void ClearOtherFocus(int position);
    // The first element showing the focused look, else 0.
    virtual int GetFocused() const;

    // Keyboard: Tab (Shift+Tab back) and the arrows move the focus from element to element
    // (each box of a radio group is a stop of its own, disabled buttons are passed over);
    // Left and Right move a focused slider by its step; Enter or Space presses the focused
    // button, ticks a focused check box or picks a focused radio box or list entry. True
    // when the key was used. Only key-down messages are looked at.
    virtual bool OnNavigationKey(const TwInputEvent& event);
    // Moves the keyboard focus one stop forwards (+1) or backwards (-1), wrapping round; from
    // no focus, forwards goes to the first stop and backwards to the last.
    void MoveFocus(int direction);
    // Presses the focused element as a click would; with nothing focused yet, the first
    // stop only gets the focus. False when there is nothing to focus.
    bool PressFocused();
    // True while the focus look was put on an element by the keyboard (the mouse takes it
    // away again).
    bool HasKeyboardFocus() const { return keyboardFocus_; }
    // The radio box of the focused group, -1 when the focus is on a whole element.
    int FocusBox() const { return focusBox_; }
    // A panel laid over play (its keys steer the launcher) leaves the focus keys alone;
    // Escape still works. On for every other panel.
    void SetKeyboardNavigation(bool on) { keyboardNavigation_ = on; }

    // Adds an element under a name (which is also the event it raises); the panel owns it.
    template <class T> T* AddElement(const std::string& name, std::unique_ptr<T> element) {
        T* raw = element.get();
        AddOwnedElement(name, std::move(element));
        return raw;
    }
    // As AddElement, and Enter (name dialog) or Escape triggers the element.
    template <class T> T* AddDefaultButton(const std::string& name, std::unique_ptr<T> element) {
        T* raw = AddElement(name, std::move(element));
        defaultButton_ = raw;
        return raw;
    }
    template <class T> T* AddCancelButton(const std::string& name, std::unique_ptr<T> element) {
        T* raw = AddElement(name, std::move(element));
        cancelButton_ = raw;
        return raw;
    }
    // Creates a button from a picture, places it at percentages of the background and adds it
    // in the given role. The button is added even when its picture is missing.
    TwButton* AddButton(const std::string& imageName, float xPercent, float yPercent,
                        const std::string& name, int role);
    // Removes (and deletes) elements; the default and cancel buttons and the keyboard focus
    // never point at a removed element.
    void RemoveElement(const TwBaseGuiElemen* element);
    void RemoveElementsOfKind(int kind);

    // Centres an element on a point given in percentages of the background, (0, 0) being its
    // top-left corner; without a background, percentages of the screen added to the position.
    void PlaceElement(float xPercent, float yPercent, TwBaseGuiElemen* element) const;
    void PlaceElementByName(float xPercent, float yPercent, const std::string& name);
    TwVector PointInPanel(float xPercent, float yPercent) const;
    // The first element with this name, or null.
    TwBaseGuiElemen* FindElement(const std::string& name) const;
    // Makes this element's name the screen's pending event.
    void RaiseEvent(TwBaseGuiElemen* element);

    int GetState() const { return state_; }
    bool IsSteady() const { return state_ == kSteady; }
    const std::string& Name() const { return name_; }
    void SetName(const std::string& name) { name_ = name; }
    TwEventListener* Owner() const { return owner_; }
    void SetOwner(TwEventListener* owner) { owner_ = owner; }

    const TwVector& Position() const { return position_; }
    float Alpha() const { return colour_.alpha; }
    void SetAlpha(float alpha) { colour_.alpha = alpha; }
    void SetDimBackground(bool dim) { dimBackground_ = dim; }

    TwClip* FadeOverlay() const { return fadeOverlay_.get(); }
    TwBaseGuiElemen* DefaultButton() const { return defaultButton_; }
    TwBaseGuiElemen* CancelButton() const { return cancelButton_; }
    // The event Escape raises on a panel without a cancel button (a question whose answers
    // both act): the screen then closes the panel without acting. None by default.
    void SetEscapeEvent(const std::string& name) { escapeEvent_ = name; }
    const std::vector<std::unique_ptr<TwBaseGuiElemen>>& Elements() const { return elements_; }
    int ElementCount() const { return static_cast<int>(elements_.size()); }
    // The element at a position in drawing order, or null.
    TwBaseGuiElemen* ElementAt(int position) const;
    // Position of the keyboard focus in the element list.
    int Focus() const { return focus_; }
    // A slider is being dragged and holds the mouse.
    bool IsCaptured() const { return captured_; }

protected:
    // A place the keyboard focus can rest: an element, or one box of a radio group.
    struct FocusStop {
        int element = -1;
        int box = -1;
        bool operator==(const FocusStop&) const = default;
    };
    std::vector<FocusStop> FocusStops() const;
    bool HasStopNamed(const std::vector<FocusStop>& stops, const std::string& name) const;
    // The stop the keyboard or the mouse has lit up, -1 when none has.
    int CurrentStop(const std::vector<FocusStop>& stops) const;
    void ShowKeyboardFocus(const FocusStop& stop);
    // Takes the keyboard's focus look away again (the mouse came back).
    void DropKeyboardFocus();
    // What a click does to an element, done by a key; `box` picks a radio group's box.
    virtual void PressElement(TwBaseGuiElemen& element, int box);

    void AddOwnedElement(const std::string& name, std::unique_ptr<TwBaseGuiElemen> element);
    // Background picture size in pixels (image width, frame height); 0 without one.
    int BackgroundWidth() const;
    int BackgroundHeight() const;

    int state_ = kSteady;
    std::string name_;
    TwVector position_;
    std::unique_ptr<TwClip> background_;
    std::unique_ptr<TwClip> fadeOverlay_;
    TwGuiColour colour_;
    bool dimBackground_ = true;
    TwBaseGuiElemen* defaultButton_ = nullptr;
    TwBaseGuiElemen* cancelButton_ = nullptr;
    std::string escapeEvent_;
    TwEventListener* owner_ = nullptr;
    std::vector<std::unique_ptr<TwBaseGuiElemen>> elements_;
    int focus_ = 0;
    bool captured_ = false;
    bool keyboardNavigation_ = true;
    bool keyboardFocus_ = false;
    int focusBox_ = -1;
};
