#include <gtest/gtest.h>

#include "LanguageChoice.h"
#include "MenuGui.h"
#include "MenuTestSupport.h"
#include "TestSupport.h"
#include "audio/TwSoundManager.h"
#include "data/TwSysConfig.h"
#include "gfx/TwClip.h"
#include "gui/TwCheckBox.h"
#include "gui/TwCheckBoxGroup.h"
#include "gui/TwChoiceButton.h"
#include "gui/TwPanel.h"
#include "gui/TwSlider.h"
#include "records/TwProfileStore.h"

using menutest::MenuHarness;

namespace {

// The settings as the file on disk holds them.
TwSysConfig SettingsOnDisk() {
    TwSysConfig stored;
    stored.Load();
    return stored;
}

TwSlider& Slider(MenuHarness& menu, const std::string& name) {
    return *dynamic_cast<TwSlider*>(menu.Element("OptionsDlg", name));
}

TwCheckBoxGroup& Levels(MenuHarness& menu) {
    return *dynamic_cast<TwCheckBoxGroup*>(menu.Element("OptionsDlg", "OptionsDlg.Difficult"));
}

TwVector BoxCentre(MenuHarness& menu, int level) {
    return Levels(menu).Boxes().at(static_cast<std::size_t>(level))->Position();
}

// The x of a slider value on its track.
float TrackX(TwSlider& slider, float fraction) {
    const float length = static_cast<float>(slider.Clip()->Width() - 32);
    return slider.Position().x - length / 2 + length * fraction;
}

} // namespace

// The dialog shows the settings it was built with, the sliders act at once and OK saves.
TEST(Options, SlidersActAtOnceAndOkSavesTheSettings) {
    MenuHarness menu;
    menu.WriteProfiles({"Ann"});
    menu.WriteSettings(true, 120, 200, 1);
    ASSERT_TRUE(menu.Start());
    menu.Settle();

    menu.Click("MainMenuDlg", "MainMenuDlg.Options");
    ASSERT_EQ(menu.TopName(), "OptionsDlg");
    TwSlider& sound = Slider(menu, "OptionsDlg.SoundSlider");
    TwSlider& music = Slider(menu, "OptionsDlg.MusicSlider");
    EXPECT_EQ(sound.GetValue(), 120);
    EXPECT_EQ(music.GetValue(), 200);
    EXPECT_EQ(Levels(menu).CheckedIndex(), 1);
    auto* fullScreen =
        dynamic_cast<TwCheckBox*>(menu.Element("OptionsDlg", "OptionsDlg.WindowedCheckBox"));
    ASSERT_NE(fullScreen, nullptr);
    EXPECT_FALSE(fullScreen->IsChecked()) << "the box is ticked for full screen";
    menu.Screenshot("options");

    // A press near the left end silences the effects; the setting keeps the value.
    const float y = sound.Position().y;
    menu.MoveTo(TrackX(sound, 0.02f), y);
    menu.LeftDown(TrackX(sound, 0.02f), y);
    menu.LeftUp(TrackX(sound, 0.02f), y);
    menu.Frame();
    const int low = TwSysConfig::Instance().SoundVolume;
    EXPECT_LT(low, 16);
    EXPECT_EQ(low, sound.GetValue());
    EXPECT_FALSE(TwSoundManager::Instance().SoundEnabled());

    // Dragged back to the middle: effects on again.
    menu.MoveTo(TrackX(sound, 0.02f), y);
    menu.LeftDown(TrackX(sound, 0.02f), y);
    menu.MoveTo(TrackX(sound, 0.5f), y);
    menu.LeftUp(TrackX(sound, 0.5f), y);
    menu.Frame();
    EXPECT_NEAR(TwSysConfig::Instance().SoundVolume, 127, 3);
    EXPECT_TRUE(TwSoundManager::Instance().SoundEnabled());

    // Music all the way down: off.
    menu.MoveTo(TrackX(music, 0.01f), music.Position().y);
    menu.LeftDown(TrackX(music, 0.01f), music.Position().y);
    menu.MoveTo(0, music.Position().y);
    menu.LeftUp(0, music.Position().y);
    menu.Frame();
    EXPECT_EQ(TwSysConfig::Instance().MusicVolume, 0);
    EXPECT_FALSE(TwSoundManager::Instance().MusicEnabled());

    EXPECT_EQ(SettingsOnDisk().SoundVolume, 120) << "nothing saved before OK";
    menu.Click("OptionsDlg", "OptionsDlg.Ok");
    EXPECT_EQ(menu.TopName(), "MainMenuDlg");
    const TwSysConfig stored = SettingsOnDisk();
    EXPECT_NEAR(stored.SoundVolume, 127, 3);
    EXPECT_EQ(stored.MusicVolume, 0);
    EXPECT_EQ(stored.DifficultLevel, 1);
    EXPECT_TRUE(stored.Windowed);
}

TEST(Options, FullScreenBoxRebuildsTheWindowAndSaves) {
    MenuHarness menu;
    menu.WriteProfiles({"Ann"});
    ASSERT_TRUE(menu.Start());
    menu.Settle();
    menu.Click("MainMenuDlg", "MainMenuDlg.Options");

    menu.Click("OptionsDlg", "OptionsDlg.WindowedCheckBox");
    EXPECT_FALSE(TwSysConfig::Instance().Windowed);
    EXPECT_EQ(menu.WindowRebuilds(), 1);
    EXPECT_FALSE(SettingsOnDisk().Windowed);
    // The rebuilt window still shows the menu.
    menu.Screenshot("options-after-full-screen");
}

// Without a saved game a new level applies at once; with one the player is asked, and "No"
// puts the previous level back. Clicking the level already chosen changes nothing.
TEST(Options, DifficultyAsksOnlyWhenASavedGameWouldBeLost) {
    MenuHarness menu;
    menu.WriteProfiles({"Ann"});
    ASSERT_TRUE(menu.Start());
    menu.Settle();
    TwSysConfig& config = TwSysConfig::Instance();

    menu.Click("MainMenuDlg", "MainMenuDlg.Options");
    menu.ClickAt(BoxCentre(menu, 1));
    EXPECT_EQ(config.DifficultLevel, 1);
    EXPECT_EQ(menu.TopName(), "OptionsDlg");
    menu.ClickAt(BoxCentre(menu, 1));
    EXPECT_EQ(config.DifficultLevel, 1);
    EXPECT_EQ(Levels(menu).CheckedIndex(), 1);
    EXPECT_EQ(menu.TopName(), "OptionsDlg");
    menu.Click("OptionsDlg", "OptionsDlg.Ok");

    // Now with a saved game.
    menu.Click("MainMenuDlg", "MainMenuDlg.Classic");
    menu.Key("Escape");
    menu.Settle();
    ASSERT_TRUE(TwProfileStore::Instance().HasSavedGame());
    menu.Click("MainMenuDlg", "MainMenuDlg.Options");
    menu.ClickAt(BoxCentre(menu, 2));
    ASSERT_EQ(menu.TopName(), "DiffChangeDlg");
    menu.Screenshot("confirm-difficulty");
    menu.Click("DiffChangeDlg", "DiffChangeDlg.Cancel");
    EXPECT_EQ(menu.TopName(), "OptionsDlg");
    EXPECT_EQ(Levels(menu).CheckedIndex(), 1);
    EXPECT_EQ(config.DifficultLevel, 1);
    EXPECT_TRUE(TwProfileStore::Instance().HasSavedGame());

    menu.ClickAt(BoxCentre(menu, 2));
    menu.Click("DiffChangeDlg", "DiffChangeDlg.Ok");
    EXPECT_EQ(config.DifficultLevel, 2);
    EXPECT_FALSE(TwProfileStore::Instance().HasSavedGame());
    EXPECT_EQ(menu.Game().abandons, 1);
    EXPECT_TRUE(menu.Game().IsFinished());
    EXPECT_EQ(SettingsOnDisk().DifficultLevel, 2);
}

// The language choice offers the desktop's language and every pack by its own name; a click
// steps on (on the cell's left third, back); the choice is saved at once, and a note says it
// applies at the next start while it differs from the language in use.
TEST(Options, LanguageChoiceStepsThroughTheLanguagesAndSavesTheChoice) {
    MenuHarness menu;
    menu.WriteProfiles({"Ann"});
    LanguageChoice& languages = LanguageChoice::Instance();
    languages.FindLanguages({zvtest::BinaryDir()});
    languages.SetInUse("");
    ASSERT_GE(languages.Languages().size(), 8u);
    ASSERT_TRUE(menu.Start());
    menu.Settle();

    menu.Click("MainMenuDlg", "MainMenuDlg.Options");
    auto* choice = dynamic_cast<TwChoiceButton*>(menu.Element("OptionsDlg", "OptionsDlg.Language"));
    ASSERT_NE(choice, nullptr);
    EXPECT_EQ(choice->Chosen(), 0);
    ASSERT_EQ(choice->Choices().size(), languages.Languages().size() + 1);
    EXPECT_EQ(choice->Choices()[0], "Desktop's language");
    EXPECT_EQ(choice->Choices()[1], "English");
    EXPECT_EQ(choice->Choices()[2], "\xC4\x8C"
                                    "e\xC5\xA1tina")
        << "then by code: cs, da, de, ...";

    menu.Click("OptionsDlg", "OptionsDlg.Language");
    EXPECT_EQ(SettingsOnDisk().Language, "en");
    EXPECT_EQ(choice->Note(), "") << "English is the language in use";
    menu.Click("OptionsDlg", "OptionsDlg.Language");
    EXPECT_EQ(SettingsOnDisk().Language, "cs");
    EXPECT_EQ(choice->Note(), "The new language is used from the next start.");
    menu.Screenshot("options-language");

    const TwVector centre = choice->Position();
    const float left = centre.x - choice->Clip()->Width() / 2.0f + 10.0f;
    menu.MoveTo(left, centre.y);
    menu.LeftDown(left, centre.y);
    menu.LeftUp(left, centre.y);
    menu.Frame();
    EXPECT_EQ(SettingsOnDisk().Language, "en") << "the left third goes back";
    languages.SetInUse("");
}
