#pragma once
#include <map>
#include <memory>
#include <string>
#include <vector>

class TwBaseGuiElemen;
class TwPanel;
struct TwInputEvent;

// The base of every screen. A screen owns its panels by name, keeps the open ones on a stack
// (the screen's window at the bottom, dialogs above it), routes input to the topmost panel
// only, updates and draws the open panels, and holds the one pending named event: the name of
// the element that fired last. Events are handled at the start of the next frame by OnEvent;
// of several raised between two frames only the last survives.
class TwEventListener {
public:
    TwEventListener();
    virtual ~TwEventListener();
    TwEventListener(const TwEventListener&) = delete;
    TwEventListener& operator=(const TwEventListener&) = delete;

    // Hands the input to the topmost panel when it is steady. When the panel uses it, the
    // record is marked consumed and the result is true. A record with no event is true.
    virtual bool HandleInput(TwInputEvent& input);
    virtual void Update(int elapsedMs);
    virtual void Draw();
    // Acts on the pending event; screens override it and end with ClearEvent.
    virtual void OnEvent();

    // Registers a panel under a name (its event prefix) and makes this screen its owner.
    // A panel registered before under the same name is kept alive, but no longer found.
    template <class T> T* AddPanel(const std::string& name, std::unique_ptr<T> panel) {
        T* raw = panel.get();
        AddOwnedPanel(name, std::move(panel));
        return raw;
    }
    // The registered panel, or null for a name never registered.
    TwPanel* GetPanel(const std::string& name) const;
    // Opens the panel (fade-in) and pushes it on the stack. Unknown names do nothing.
    void OpenPanel(const std::string& name);
    // Starts the panel's fade-out; it leaves the stack when the fade ends.
    void ClosePanel(const std::string& name);
    // Drops whatever panel is on top at once, whatever the name; nothing on an empty stack.
    void RemoveTopPanel(const std::string& name = "");
    // Makes the element's name the pending event, and the element its source.
    void RaiseEvent(TwBaseGuiElemen* element);
    // Forgets the pending event; OnEvent calls it when done.
    void ClearEvent();
    // Forgets the event source if it is this element (it is going away).
    void ForgetSource(const TwBaseGuiElemen* element);

    const std::string& PendingEvent() const { return pendingEvent_; }
    void SetPendingEvent(const std::string& name) { pendingEvent_ = name; }
    TwBaseGuiElemen* EventSource() const { return eventSource_; }

    // Draw every open panel, bottom first, instead of the window and the top two only.
    bool DrawAllPanels() const { return drawAllPanels_; }
    void SetDrawAllPanels(bool all) { drawAllPanels_ = all; }
    const std::vector<TwPanel*>& PanelStack() const { return panelStack_; }
    // The topmost open panel, or null.
    TwPanel* TopPanel() const;
    // True when the panel with this name is on the stack.
    bool IsOpen(const std::string& name) const;

protected:
    void AddOwnedPanel(const std::string& name, std::unique_ptr<TwPanel> panel);

    bool drawAllPanels_ = false;
    std::map<std::string, std::unique_ptr<TwPanel>> panels_;
    std::vector<TwPanel*> panelStack_;
    std::string pendingEvent_;
    TwBaseGuiElemen* eventSource_ = nullptr;

private:
    // Panels replaced by a later registration under the same name, kept until the screen dies
    // because the stack may still hold them.
    std::vector<std::unique_ptr<TwPanel>> replacedPanels_;
};
