// The bindings of keys and controller buttons to the game's actions, and how the settings
// file keeps them.
#include <gtest/gtest.h>

#include "ControlBindings.h"
#include "TestSupport.h"
#include "data/TwDefFile.h"
#include "data/TwSysConfig.h"
#include "gui/TwInputEvent.h"
#include "platform/os/TwUserFiles.h"

namespace {

using B = ControlBindings;

TwInputEvent KeyDown(int key, int padButton = -1) {
    TwInputEvent event;
    event.eventClass = TwInputEvent::kKeyboard;
    event.messageId = TwInputCodes::kKeyDown;
    event.key = static_cast<std::uint8_t>(key);
    event.padButton = padButton;
    return event;
}

TEST(ControlBindings, ATakenKeyOrButtonIsRefusedNamingItsActionAndChangesNothing) {
    B bindings = B::Defaults();
    EXPECT_EQ(bindings.AssignKey(B::kSwap, TwInputCodes::kSpace), B::kFire);
    EXPECT_EQ(bindings.AssignPad(B::kFire, 6), B::kPause); // Start
    EXPECT_TRUE(bindings == B::Defaults());
    // Keys without a name, and Escape, which stops the dialog waiting, are refused by the
    // action itself; the menu action may have its Escape back.
    EXPECT_EQ(bindings.AssignKey(B::kFire, 0), B::kFire);
    EXPECT_EQ(bindings.AssignKey(B::kFire, 250), B::kFire);
    EXPECT_EQ(bindings.AssignKey(B::kFire, TwInputCodes::kEscape), B::kFire);
    EXPECT_EQ(bindings.AssignPad(B::kFire, 99), B::kFire);
    EXPECT_FALSE(bindings.AssignKey(B::kMenu, 'M'));
    EXPECT_FALSE(bindings.AssignKey(B::kMenu, TwInputCodes::kEscape));

    EXPECT_FALSE(bindings.AssignKey(B::kFire, 'F'));
    EXPECT_FALSE(bindings.AssignKey(B::kSwap, TwInputCodes::kSpace)); // free now
    EXPECT_EQ(bindings.Key(B::kFire), 'F');
    EXPECT_EQ(bindings.Key(B::kSwap), TwInputCodes::kSpace);
}

TEST(ControlBindings, KeysAndButtonsFindTheirActionsAndTheOldOnesNoLonger) {
    B bindings = B::Defaults();
    EXPECT_EQ(bindings.ActionOf(KeyDown(TwInputCodes::kSpace)), B::kFire);
    EXPECT_EQ(bindings.ActionOf(KeyDown(TwInputCodes::kUp)), B::kFire);
    EXPECT_EQ(bindings.ActionOf(KeyDown('P')), B::kPause);
    // A controller's Start speaks as Enter; the keyboard's Enter is no pause key.
    EXPECT_EQ(bindings.ActionOf(KeyDown(TwInputCodes::kEnter, 6)), B::kPause);
    EXPECT_FALSE(bindings.ActionOf(KeyDown(TwInputCodes::kEnter)));
    EXPECT_EQ(bindings.ActionOf(KeyDown(TwInputCodes::kUp, 11)), B::kFire);   // d-pad up
    EXPECT_EQ(bindings.ActionOf(KeyDown(TwInputCodes::kDown, 12)), B::kSwap); // d-pad down

    ASSERT_FALSE(bindings.AssignKey(B::kFire, 'F'));
    ASSERT_FALSE(bindings.AssignPad(B::kFire, 3));
    EXPECT_EQ(bindings.ActionOf(KeyDown('F')), B::kFire);
    EXPECT_FALSE(bindings.ActionOf(KeyDown(TwInputCodes::kSpace)));
    EXPECT_FALSE(bindings.ActionOf(KeyDown(TwInputCodes::kUp)));
    EXPECT_FALSE(bindings.ActionOf(KeyDown(TwInputCodes::kSpace, 0)));
    EXPECT_FALSE(bindings.ActionOf(KeyDown(TwInputCodes::kUp, 11)));
    EXPECT_EQ(bindings.ActionOf(KeyDown(0, 3)), B::kFire); // Y sends no key of its own
    TwInputEvent release = KeyDown('F');
    release.messageId = TwInputCodes::kKeyUp;
    EXPECT_FALSE(bindings.ActionOf(release));
}

TEST(ControlBindings, NamesGoBothWays) {
    for (int key = 0; key < 256; ++key) {
        const std::string name = B::KeyName(key);
        if (!name.empty()) {
            EXPECT_EQ(B::KeyFromName(name), key) << name;
        }
    }
    EXPECT_EQ(B::KeyName('Q'), "Q");
    EXPECT_EQ(B::KeyName(116), "F5");
    EXPECT_EQ(B::KeyFromName(""), 0);
    EXPECT_EQ(B::KeyFromName("Nonsense"), 0);
    for (int pad = 0; pad < 15; ++pad) {
        EXPECT_EQ(B::PadFromName(B::PadName(pad)), pad);
    }
    EXPECT_EQ(B::PadName(15), "");
    EXPECT_EQ(B::PadFromName("A"), B::kNoPad); // names are SDL's, lower case
}

TEST(ControlBindings, SurviveARestartAndOlderFilesLoadTheDefaults) {
    zvtest::ScopedUserDirs dirs;
    {
        TwSysConfig config;
        ASSERT_TRUE(TwWriteFileAtomic(config.FilePath(), "Windowed=1\nSoundVolume=40\n"));
        ASSERT_EQ(config.Load(), 0);
        B loaded;
        loaded.Load(config.Table());
        EXPECT_TRUE(loaded == B::Defaults());

        ASSERT_FALSE(loaded.AssignKey(B::kTurnLeft, 'A'));
        ASSERT_FALSE(loaded.AssignKey(B::kTurnRight, 'D'));
        ASSERT_FALSE(loaded.AssignPad(B::kSwap, 3));
        loaded.Store(config.Table());
        ASSERT_EQ(config.Save(), 0);
    }
    TwSysConfig restarted;
    ASSERT_EQ(restarted.Load(), 0);
    EXPECT_TRUE(restarted.Windowed);
    EXPECT_EQ(restarted.SoundVolume, 40);
    B again;
    again.Load(restarted.Table());
    EXPECT_EQ(again.Key(B::kTurnLeft), 'A');
    EXPECT_EQ(again.Key(B::kTurnRight), 'D');
    EXPECT_EQ(again.Pad(B::kSwap), 3);
    EXPECT_EQ(again.Key(B::kFire), TwInputCodes::kSpace);
}

TEST(ControlBindings, GarbledBindingsFallBackToTheDefaultsForThoseActionsOnly) {
    TwDefFile settings;
    const std::string text = "Controls.Key.TurnLeft=\"A\"\n"
                             "Controls.Key.Fire=\"NoSuchKey\"\n"
                             "Controls.Key.Swap=42\n"
                             "Controls.Key.Pause=\"A\"\n" // taken by TurnLeft
                             "Controls.Key.Menu=\"Q\"\n"
                             "Controls.Key.FineTurn=\"Escape\"\n" // only the menu's
                             "Controls.Pad.Fire=\"y\"\n"
                             "Controls.Pad.Swap=\"\\x01\"\n"
                             "Controls.Pad.Menu=\"y\"\n"; // taken by Fire
    ASSERT_EQ(settings.LoadFromMemory(text.data(), text.size()), 0);
    B bindings;
    bindings.Load(settings);
    const B defaults = B::Defaults();
    EXPECT_EQ(bindings.Key(B::kTurnLeft), 'A');
    EXPECT_EQ(bindings.Key(B::kMenu), 'Q');
    EXPECT_EQ(bindings.Key(B::kTurnRight), defaults.Key(B::kTurnRight));
    EXPECT_EQ(bindings.Key(B::kFire), defaults.Key(B::kFire));
    EXPECT_EQ(bindings.Key(B::kSwap), defaults.Key(B::kSwap));
    EXPECT_EQ(bindings.Key(B::kPause), defaults.Key(B::kPause));
    EXPECT_EQ(bindings.Key(B::kFineTurn), defaults.Key(B::kFineTurn));
    EXPECT_EQ(bindings.Pad(B::kFire), 3);
    EXPECT_EQ(bindings.Pad(B::kSwap), defaults.Pad(B::kSwap));
    EXPECT_EQ(bindings.Pad(B::kMenu), defaults.Pad(B::kMenu));
    EXPECT_EQ(bindings.Pad(B::kTurnLeft), defaults.Pad(B::kTurnLeft));

    // A default already taken by an earlier action leaves the later one unbound rather
    // than shared.
    const std::string clash = "Controls.Key.TurnLeft=\"Space\"\n";
    ASSERT_EQ(settings.LoadFromMemory(clash.data(), clash.size()), 0);
    bindings.Load(settings);
    EXPECT_EQ(bindings.Key(B::kTurnLeft), TwInputCodes::kSpace);
    EXPECT_EQ(bindings.Key(B::kFire), 0);
    for (int a = 0; a < B::kActionCount; ++a) {
        for (int b = a + 1; b < B::kActionCount; ++b) {
            const auto first = static_cast<B::Action>(a), second = static_cast<B::Action>(b);
            EXPECT_TRUE(bindings.Key(first) == 0 || bindings.Key(first) != bindings.Key(second));
        }
    }
}

} // namespace
