#include "GuiTestSupport.h"

#include <string>

#include "gfx/TwFontTable.h"
#include "gui/TwBaseGuiElemen.h"
#include "gui/TwGuiSound.h"

namespace guitest {
namespace {

const char kFontCodes[] = " ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";

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

void SetMouse(TwInputEvent& record, int message, int button, float x, float y) {
    record.eventClass = TwInputEvent::kMouse;
    record.messageId = message;
    record.button = button;
    record.mouseX = record.eventX = x;
    record.mouseY = record.eventY = y;
}

void SetKey(TwInputEvent& record, int message, unsigned char key) {
    record.eventClass = TwInputEvent::kKeyboard;
    record.messageId = message;
    record.button = TwInputEvent::kNoButton;
    record.key = key;
    record.character = message == TwInputCodes::kCharacter ? key : 0;
    record.padButton = -1;
}

namespace {
TwInputEvent Mouse(int message, int button, float x, float y) {
    TwInputEvent record;
    SetMouse(record, message, button, x, y);
    return record;
}

TwInputEvent Key(int message, unsigned char key) {
    TwInputEvent record;
    SetKey(record, message, key);
    return record;
}
} // namespace

TwInputEvent MouseMove(float x, float y) {
    return Mouse(TwInputCodes::kMouseMove, TwInputEvent::kNoButton, x, y);
}
TwInputEvent LeftDown(float x, float y) {
    return Mouse(TwInputCodes::kLeftButtonDown, TwInputEvent::kNoButton, x, y);
}
TwInputEvent LeftUp(float x, float y) {
    return Mouse(TwInputCodes::kLeftButtonUp, TwInputEvent::kLeftReleased, x, y);
}
TwInputEvent KeyDown(unsigned char key) {
    return Key(TwInputCodes::kKeyDown, key);
}
TwInputEvent Character(char32_t ch) {
    TwInputEvent record =
        Key(TwInputCodes::kCharacter, ch <= 0xFF ? static_cast<unsigned char>(ch) : 0);
    record.character = ch;
    return record;
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
