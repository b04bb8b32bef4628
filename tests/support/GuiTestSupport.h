#pragma once
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "GfxTestSupport.h"
#include "gui/TwEventListener.h"
#include "gui/TwInputEvent.h"
#include "gui/TwPanel.h"

// The GUI layer's harness: a pack of interface pictures of known sizes, a fixed-width
// main font, a recorder for interface sounds, input records as the window fills them, and a
// screen that keeps the events it handled.
namespace guitest {

// Picture sizes in the test pack (width x height of the whole picture).
constexpr int kButtonWidth = 100;  // "Interface/Btn", BtnOk, BtnCancel: 3 frames
constexpr int kButtonHeight = 90;  //   of 30 pixels: half width 50, half height 15
constexpr int kCheckBoxSize = 40;  // "Interface/CheckBox": 4 frames of 40 x 40
constexpr int kTrackWidth = 232;   // "Interface/Slider": 2 frames; scale 200 long
constexpr int kTrackHeight = 40;   //   and 20 high
constexpr int kDialogWidth = 400;  // "Interface/Dialog"
constexpr int kDialogHeight = 200; //
constexpr int kFontCell = 10;      // every glyph of the main font is 10 pixels wide
constexpr int kFontHeight = 20;    //   and the strip 20 high

// Fills an input record as the window fills it for a mouse or keyboard message; the fields
// the message does not carry keep their values (the pointer position on a key, say).
void SetMouse(TwInputEvent& record, int message, int button, float x, float y);
void SetKey(TwInputEvent& record, int message, unsigned char key);

// Fresh window input records.
TwInputEvent MouseMove(float x, float y);
TwInputEvent LeftDown(float x, float y);
TwInputEvent LeftUp(float x, float y);
TwInputEvent KeyDown(unsigned char key);
// A typed character: any Unicode character, as the window delivers it.
TwInputEvent Character(char32_t ch);

// Opens the test pack and loads the main font for the fixture's lifetime, and records every
// interface sound played meanwhile.
class GuiEnvironment {
public:
    GuiEnvironment();
    ~GuiEnvironment();

    // How often a sound id was played; all ids in order.
    int Played(int id) const;
    const std::vector<int>& Sounds() const { return *sounds_; }
    void ClearSounds() { sounds_->clear(); }

private:
    zvtest::ScopedPack pack_;
    std::shared_ptr<std::vector<int>> sounds_;
    std::function<void(int)> previousPlayer_;
};

// A screen that handles its pending event by remembering it, as a game screen would act on it.
class RecordingScreen : public TwEventListener {
public:
    void OnEvent() override;
    // One idle frame: the pending event, then the panels' update and drawing.
    void Frame(int elapsedMs = 10);
    // Frames until the top panel is steady (at most two seconds of frames).
    void SettleFades();
    // Feeds one record as the window does; true when the screen used it.
    bool Send(TwInputEvent event);

    std::vector<std::string> handled;
    std::vector<int> handledValues; // the event source's value at the time
};

// A panel that notes each time it is drawn and with which alpha.
class LoggingPanel : public TwPanel {
public:
    explicit LoggingPanel(std::vector<std::pair<std::string, float>>* log) : log_(log) {}
    void Draw() override;

private:
    std::vector<std::pair<std::string, float>>* log_;
};

} // namespace guitest
