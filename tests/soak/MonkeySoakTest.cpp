// Random input for the whole application: pointer moves, clicks of both buttons, held and
// released buttons, keys and typed characters, now and then a minimised window or a lost
// render device, across the menu, its dialogs and the game. Nothing may crash, and the
// application must still answer afterwards.
#include <cstdio>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "Game.h"
#include "GameAppHarness.h"
#include "SoakLength.h"
#include "gui/TwEventRouter.h"
#include "platform/os/TwRand.h"

namespace {

const std::vector<std::string>& KeyNames() {
    static const std::vector<std::string> keys = {
        "Escape", "Return", "Backspace", "Tab", "Space", "Left", "Right", "Up", "Down",
        "Delete", "Home",   "End",       "A",   "Z",     "Q",    "0",     "9",  "F1",
    };
    return keys;
}

// Characters a player might type, and some no name should keep.
const std::vector<std::string>& TypedTexts() {
    static const std::vector<std::string> texts = {
        "a", "Z", "7", " ", "/", ".", "\\", "%", "~", "\xc3\xa9", "\xe2\x82\xac", "..", "\t",
    };
    return texts;
}

int Pick(int count) {
    return TwRand() % count;
}

// One random window event, weighted towards what players do most: moving and clicking.
TwSyntheticEvent RandomEvent(int& heldButton) {
    using Kind = TwSyntheticEvent::Kind;
    TwSyntheticEvent event;
    event.x = Pick(800);
    event.y = Pick(600);
    const int roll = Pick(100);
    if (roll < 35) {
        event.kind = Kind::MouseMove;
    } else if (roll < 65) {
        // A press, or the release of the button held.
        if (heldButton != 0) {
            event.kind = Kind::ButtonUp;
            event.button = heldButton;
            heldButton = 0;
        } else {
            event.kind = Kind::ButtonDown;
            event.button = Pick(8) == 0 ? 2 : (Pick(3) == 0 ? 3 : 1);
            heldButton = event.button;
        }
    } else if (roll < 85) {
        event.kind = Pick(5) == 0 ? Kind::KeyRepeat : (Pick(2) ? Kind::KeyDown : Kind::KeyUp);
        event.key = KeyNames()[std::size_t(Pick(int(KeyNames().size())))];
    } else if (roll < 98) {
        event.kind = Kind::Text;
        event.text = TypedTexts()[std::size_t(Pick(int(TypedTexts().size())))];
    } else if (roll < 99) {
        event.kind = Pick(2) ? Kind::Minimize : Kind::Restore;
    } else {
        event.kind = Pick(4) == 0 ? Kind::DeviceReset : Kind::Close;
    }
    return event;
}

TEST(SoakMonkey, RandomInputAcrossEveryScreenNeverBreaksTheApplication) {
    zvtest::GameAppHarness app;
    app.WriteProfiles({"Soak"});
    ASSERT_TRUE(app.Start());
    TwSRand(7);

    const int events = soak::EventsToSend();
    int heldButton = 0;
    int gameFrames = 0, frames = 0;
    for (int sent = 0; sent < events;) {
        // A few events per frame, as a busy player produces them.
        const int burst = 1 + Pick(4);
        for (int i = 0; i < burst && sent < events; ++i, ++sent) {
            const TwSyntheticEvent event = RandomEvent(heldButton);
            ASSERT_TRUE(app.Push(event)) << "event kind " << int(event.kind) << " " << event.key;
        }
        app.Frame(20);
        if (++frames % 5000 == 0) {
            std::printf("%d events sent\n", sent);
            std::fflush(stdout);
        }
        if (app.App().Router()->Current() == app.RealGame()) {
            ++gameFrames;
        }
        // Leaving the window minimised would only pause everything.
        if (Pick(50) == 0) {
            TwSyntheticEvent restore;
            restore.kind = TwSyntheticEvent::Kind::Restore;
            app.Push(restore);
        }
    }
    // The application still runs frames and still has its screens.
    TwSyntheticEvent restore;
    restore.kind = TwSyntheticEvent::Kind::Restore;
    app.Push(restore);
    app.Frame(20);
    ASSERT_NE(app.App().Router()->Current(), nullptr);
    std::printf("%d events in %d frames, %d of them in the game, %d close requests\n", events,
                frames, gameFrames, app.QuitRequests());
}

} // namespace
