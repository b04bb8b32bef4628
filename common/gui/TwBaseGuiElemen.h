#pragma once
#include <memory>
#include <string>

#include "TwVector.h"
#include "gui/TwGuiColour.h"
#include "gui/TwGuiSound.h"

class TwClip;
struct TwInputEvent;

// The base of every interactive piece of a panel: push buttons, check boxes, sliders, radio
// groups and profile list entries. An element draws itself from one clip whose frames show
// its states, tests whether the mouse is over it, plays the interface sounds and tells its
// panel, through the result of its mouse handlers, that it fired. The panel then raises the
// element's name as the screen's pending event; an element never talks to the screen itself.
//
// The element's position is its clip's centre; panels place elements by setting it.
class TwBaseGuiElemen {
public:
    // What a panel needs to know about an element to route input to it.
    enum Kind {
        kPushButton = 0, // buttons and check boxes
        kOther = 1,      // anything else (the radio group)
        kSlider = 2,     // dragged with the mouse captured
        kProfileButton = 3,
    };

    TwBaseGuiElemen();
    virtual ~TwBaseGuiElemen();
    TwBaseGuiElemen(const TwBaseGuiElemen&) = delete;
    TwBaseGuiElemen& operator=(const TwBaseGuiElemen&) = delete;

    // Mouse handlers; true means "I fired": the panel raises this element's name.
    virtual bool OnMouseDown(const TwInputEvent& event);
    virtual bool OnMouseUp(const TwInputEvent& event);
    virtual bool OnMouseMove(const TwInputEvent& event);
    virtual void Toggle();
    virtual int GetValue() const;
    virtual void SetHover();
    virtual void ClearHover();
    virtual void ShowFocused();
    virtual void ShowNormal();
    virtual void Decrease();
    virtual void Increase();
    // Called by the panel right after it raised this element's event.
    virtual void AfterEvent();
    // Creates and loads the element's clip (one frame). False when the picture cannot be
    // loaded.
    virtual bool Load(const std::string& imageName);
    virtual bool HitTest(const TwInputEvent& event) const;
    virtual void Draw();

    // A disabled element fails every hit test and shows frame 2 until Enable.
    void Disable();
    void Enable();
    bool IsDisabled() const { return disabled_; }

    const std::string& Name() const { return name_; }
    void SetName(const std::string& name) { name_ = name; }
    int GetKind() const { return kind_; }
    bool IsHover() const { return hover_; }

    // The clip, null before Load.
    TwClip* Clip() const { return clip_.get(); }
    // Position of the clip's centre; (0, 0, 0) without a clip.
    TwVector Position() const;
    void SetPosition(const TwVector& centre);
    // Shows a frame of the clip (no effect without one).
    void SetFrame(int frame);
    // The frame the clip shows; -1 without a clip.
    int Frame() const;

    void SetColour(const TwGuiColour& colour) { colour_ = colour; }
    void SetAlpha(float alpha) { colour_.alpha = alpha; }

    // A caption is drawn when hasCaption is not -1.
    void SetCaption(const std::string& caption, int hasCaption = 1);
    const std::string& Caption() const { return caption_; }
    void SetCaptionAlign(int align) { captionAlign_ = align; }

    // Refines the rectangle hit test of a button with its picture's hit mask; set before the
    // button's picture is loaded.
    void SetPixelTest(bool on) { pixelTest_ = on; }

protected:
    // Creates the clip and loads a picture cut into `rows` frames of one column.
    bool LoadClip(const std::string& imageName, int rows, bool buildMask);
    // The strict rectangle test of buttons and check boxes around the clip's centre.
    bool InsideRect(const TwInputEvent& event) const;
    // Half the picture's width and half a frame's height (integer halves); 0 without a clip.
    int HalfWidth() const;
    int HalfHeight() const;
    // The caption in font 0 at the element's centre moved by (dx, dy): by default it ends a
    // little left of the element (sliders, check boxes) or centres there.
    void DrawCaption(float dx = -20.0f, float dy = -3.0f) const;

    std::unique_ptr<TwClip> clip_;
    bool hover_ = false;
    bool pixelTest_ = false;
    bool disabled_ = false;
    std::string name_;
    int kind_ = kOther;
    TwGuiColour colour_;
    int hasCaption_ = -1;
    std::string caption_;
    int captionAlign_ = 1;
    int focusSound_ = TwGuiSounds::kButtonGetFocus;
    int clickSound_ = TwGuiSounds::kButtonClick;
};
