// The name entry dialog: which keys type, how far, and when OK, Enter and Cancel work.
#include <gtest/gtest.h>

#include <cctype>

#include "GuiTestSupport.h"
#include "data/TwEngineDefs.h"
#include "gfx/TwClip.h"
#include "gui/TwButton.h"
#include "gui/TwGuiSound.h"
#include "gui/TwTextDialogPanel.h"
#include "records/TwProfileStore.h"

using namespace guitest;

namespace {

// Layout of the dialog: names narrower than 50 pixels (four 10-pixel glyphs fit, five do
// not), OK at the left and Cancel at the right of the bottom row.
const char kLayout[] = "EnterNameDlg = {\n"
                       "    InputWidth = 50\n"
                       "    OkButtonPos = [25, 80, 0]\n"
                       "    CancelButtonPos = [75, 80, 0]\n"
                       "    TextPos = [400, 280, 0]\n"
                       "}\n";

class NameDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        TwProfileStore::Instance().Reset();
        TwEngineDefs().LoadFromMemory(kLayout, sizeof kLayout - 1);
        auto made = std::make_unique<TwTextDialogPanel>();
        ASSERT_TRUE(made->Create("Interface/Dialog"));
        dialog = screen.AddPanel("PlayerNameDlg", std::move(made));
        screen.OpenPanel("PlayerNameDlg");
        screen.SettleFades();
        screen.Frame();
        env.ClearSounds();
    }

    void TearDown() override {
        TwEngineDefs().LoadFromMemory("", 0);
        TwProfileStore::Instance().Reset();
    }

    // Each printable key as the window delivers it: a key-down, then the character.
    void Type(const std::string& text) {
        for (const char ch : text) {
            const auto byte = static_cast<unsigned char>(ch);
            screen.Send(KeyDown(static_cast<unsigned char>(std::toupper(byte))));
            screen.Send(Character(byte));
        }
    }
    // Escape, Enter and Backspace also come as a key-down followed by their character.
    bool Press(unsigned char key) {
        const bool used = screen.Send(KeyDown(key));
        screen.Send(Character(key));
        return used;
    }

    zvtest::ScopedUserDirs dirs;
    GuiEnvironment env;
    RecordingScreen screen;
    TwTextDialogPanel* dialog = nullptr;
};

TEST_F(NameDialogTest, ButtonsComeFromTheLayout) {
    EXPECT_EQ(dialog->InputWidth(), 50);
    ASSERT_NE(dialog->DefaultButton(), nullptr);
    ASSERT_NE(dialog->CancelButton(), nullptr);
    EXPECT_EQ(dialog->DefaultButton()->Name(), "PlayerNameDlg.Ok");
    EXPECT_EQ(dialog->CancelButton()->Name(), "PlayerNameDlg.Cancel");
    EXPECT_EQ(dialog->DefaultButton()->Position(), (TwVector{300, 360, 0}));
    EXPECT_EQ(dialog->CancelButton()->Position(), (TwVector{500, 360, 0}));
}

TEST_F(NameDialogTest, TypingStopsAtTheWidthButEveryLetterStillClicks) {
    Type("Zorbit");
    EXPECT_EQ(dialog->Text(), "Zorb");
    EXPECT_EQ(env.Played(TwGuiSounds::kType), 6);
    Type(" ");
    EXPECT_EQ(env.Played(TwGuiSounds::kType), 6) << "the space is silent";
}

TEST_F(NameDialogTest, OnlyLettersDigitsAndSpacesAreTyped) {
    Type("a/.");
    screen.Send(Character('\t'));
    screen.Send(Character(0xE9));
    EXPECT_EQ(dialog->Text(), "a");
    Type("1 2");
    EXPECT_EQ(dialog->Text(), "a1 2");
    EXPECT_TRUE(screen.Send(KeyDown(0x70))) << "other keys are swallowed by the dialog";
}

// Names such as O'Brien or the Ukrainian Mar'iana take an apostrophe after a letter, never
// at the start or twice in a row, so a name is never made of apostrophes alone.
TEST_F(NameDialogTest, AnApostropheFollowsALetterOnly) {
    Type("'");
    EXPECT_EQ(dialog->Text(), "");
    EXPECT_TRUE(dialog->DefaultButton()->IsDisabled());
    Type("O''B");
    EXPECT_EQ(dialog->Text(), "O'B");
    Type(" ");
    Type("'");
    EXPECT_EQ(dialog->Text(), "O'B ");
}

TEST_F(NameDialogTest, BackspaceRemovesTheLastCharacter) {
    Type("Ab");
    EXPECT_TRUE(Press(8));
    EXPECT_EQ(dialog->Text(), "A");
    Press(8);
    Press(8); // nothing left: harmless
    EXPECT_EQ(dialog->Text(), "");
    Type("Cd");
    EXPECT_EQ(dialog->Text(), "Cd");
}

TEST_F(NameDialogTest, EnterConfirmsAUsableNameOnly) {
    Type("  ");
    screen.Frame();
    EXPECT_TRUE(dialog->DefaultButton()->IsDisabled()) << "spaces alone are no name";
    EXPECT_EQ(dialog->DefaultButton()->Frame(), 2);
    TwInputEvent enter = KeyDown(13);
    EXPECT_FALSE(screen.HandleInput(enter));
    EXPECT_EQ(enter.eventClass, TwInputEvent::kKeyboard);
    screen.Frame();
    EXPECT_TRUE(screen.handled.empty());

    Type("Jo");
    screen.Frame();
    EXPECT_FALSE(dialog->DefaultButton()->IsDisabled());
    EXPECT_TRUE(Press(13));
    screen.Frame();
    EXPECT_EQ(screen.handled, std::vector<std::string>{"PlayerNameDlg.Ok"});
    EXPECT_EQ(dialog->Text(), "  Jo");
}

TEST_F(NameDialogTest, TheFirstNameCannotBeCancelled) {
    screen.Frame();
    EXPECT_TRUE(dialog->CancelButton()->IsDisabled());
    Press(27);
    screen.Frame();
    EXPECT_TRUE(screen.handled.empty());

    TwProfileStore::Instance().AddProfile("Ann");
    screen.Frame();
    EXPECT_FALSE(dialog->CancelButton()->IsDisabled());
    Press(27);
    screen.Frame();
    EXPECT_EQ(screen.handled.back(), "PlayerNameDlg.Cancel");
}

TEST_F(NameDialogTest, ClickingOkRaisesItsEvent) {
    Type("Max");
    screen.Frame();
    screen.Send(MouseMove(300, 360));
    screen.Send(LeftUp(300, 360));
    screen.Frame();
    EXPECT_EQ(screen.handled, std::vector<std::string>{"PlayerNameDlg.Ok"});
}

TEST_F(NameDialogTest, OpeningStartsAnEmptyNameAndTheCursorFollowsTheText) {
    Type("Ab");
    screen.Frame();
    // The text is centred on x 400: 20 pixels wide, so the pen ends at 410.
    ASSERT_NE(dialog->Cursor(), nullptr);
    EXPECT_EQ(dialog->Cursor()->x, 410.0f);
    EXPECT_EQ(dialog->Cursor()->y, 280.0f);

    screen.RemoveTopPanel();
    screen.OpenPanel("PlayerNameDlg");
    EXPECT_EQ(dialog->Text(), "");
}

} // namespace
