#include "GuiTestSupport.h"

#include <string>

#include "gfx/TwFontTable.h"
#include "gui/TwBaseGuiElemen.h"
#include "gui/TwGuiSound.h"

namespace guitest {
namespace {

constexpr int kMouseMove = 0x200;
constexpr int kLeftDown = 0x201;
constexpr int kLeftUp = 0x202;
constexpr int kKeyDown = 0x100;
constexpr int kChar = 0x102;

const char kFontCodes[] = " ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";

TwInputEvent Mouse(int message, int button, float x, float y) {
    TwInputEvent event;
    event.eventClass = TwInputEvent::kMouse;
    event.messageId = message;
    event.button = button;
    event.mouseX = event.eventX = x;
    event.mouseY = event.eventY = y;
    return event;
}

TwInputEvent Key(int message, unsigned char key) {
    TwInputEvent event;
    event.eventClass = TwInputEvent::kKeyboard;
    event.messageId = message;
    event.key = key;
    return event;
}

std::string Picture(int width, int height) {
    return zvtest::MakeTga(zvtest::Pixels(width, height, 0xFFFFFFFF), 2, 32, false);
}

// A button picture whose three frames are red, green and blue.
std::string ColouredFrames() {
    zvtest::Pixels p(kButtonWidth, kButtonHeight);
    const int frame = kButtonHeight / 3;
    p.Fill(0, 0, kButtonWidth, frame, 0xFF0000FF);
    p.Fill(0, frame, kButtonWidth, 2 * frame, 0x00FF00FF);
    p.Fill(0, 2 * frame, kButtonWidth, kButtonHeight, 0x0000FFFF);
    return zvtest::MakeTga(p, 2, 32, false);
}

} // namespace

TwInputEvent MouseMove(float x, float y) {
    return Mouse(kMouseMove, 0, x, y);
}
TwInputEvent LeftDown(float x, float y) {
    return Mouse(kLeftDown, 0, x, y);
}
TwInputEvent LeftUp(float x, float y) {
    return Mouse(kLeftUp, 1, x, y);
}
TwInputEvent KeyDown(unsigned char key) {
    return Key(kKeyDown, key);
}
TwInputEvent Character(unsigned char ch) {
    return Key(kChar, ch);
}

GuiEnvironment::GuiEnvironment() : sounds_(std::make_shared<std::vector<int>>()) {
    const std::string button = Picture(kButtonWidth, kButtonHeight);
    pack_.Add("Data/Textures/Interface/Btn.Tga", button)
        .Add("Data/Textures/Interface/BtnOk.Tga", button)
        .Add("Data/Textures/Interface/BtnCancel.Tga", button)
        .Add("Data/Textures/Interface/ProfileItem.Tga", button)
        .Add("Data/Textures/Interface/Colours.Tga", ColouredFrames())
        .Add("Data/Textures/Interface/CheckBox.Tga", Picture(kCheckBoxSize, 4 * kCheckBoxSize))
        .Add("Data/Textures/Interface/Slider.Tga", Picture(kTrackWidth, kTrackHeight))
        .Add("Data/Textures/Interface/SliderThumb.Tga", Picture(16, 32))
        .Add("Data/Textures/Interface/Dialog.Tga", Picture(kDialogWidth, kDialogHeight))
        .Add("Data/Textures/Interface/Fade.Tga", Picture(32, 24))
        .Add("Data/Textures/Interface/CursorBlink.Tga", Picture(16, 16))
        .Add("Data/Textures/Fonts/Main.Tga",
             Picture(kFontCell * static_cast<int>(sizeof kFontCodes - 1), kFontHeight))
        .Add("Data/Fonts.Txt", std::string("MainFont = {\n Codes = \"") + kFontCodes +
                                   "\"\n FileName = \"Fonts/Main\"\n MonoWidth = 10\n}\n");
    pack_.Open();
    TwFontTable::Instance().Load(TwFontTable::MainFont, "MainFont");
    auto sounds = sounds_;
    previousPlayer_ = TwSetGuiSoundPlayer([sounds](int id) { sounds->push_back(id); });
}

GuiEnvironment::~GuiEnvironment() {
    TwSetGuiSoundPlayer(previousPlayer_);
    TwFontTable::Instance().Clear();
}

int GuiEnvironment::Played(int id) const {
    int count = 0;
    for (const int played : *sounds_) {
        count += played == id ? 1 : 0;
    }
    return count;
}

void RecordingScreen::OnEvent() {
    if (!pendingEvent_.empty()) {
        handled.push_back(pendingEvent_);
        handledValues.push_back(eventSource_ != nullptr ? eventSource_->GetValue() : -1);
    }
    ClearEvent();
}

void RecordingScreen::Frame(int elapsedMs) {
    OnEvent();
    Update(elapsedMs);
    if (!panelStack_.empty()) {
        Draw();
    }
}

void RecordingScreen::SettleFades() {
    for (int i = 0; i < 200 && TopPanel() != nullptr && !TopPanel()->IsSteady(); ++i) {
        Update(10);
    }
}

bool RecordingScreen::Send(TwInputEvent event) {
    return HandleInput(event);
}

void LoggingPanel::Draw() {
    log_->emplace_back(Name(), Alpha());
    TwPanel::Draw();
}

} // namespace guitest
