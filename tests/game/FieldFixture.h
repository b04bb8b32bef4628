#pragma once
#include <string>
#include <vector>

#include "BaseBubble.h"
#include "BubbleBanks.h"
#include "GameMap.h"
#include "GameSound.h"
#include "GameState.h"
#include "Launcher.h"
#include "TestSupport.h"
#include "TwDrawList.h"
#include "app/TwSysConfig.h"
#include "platform/TwMessageBox.h"
#include "platform/TwRand.h"

#include <gtest/gtest.h>

namespace zvtest {

// The field size the game ships with: 12 columns, radius 16.
inline FieldGeometry StandardGeometry(int rows = 13) {
    FieldGeometry g;
    g.columns = 12;
    g.rows = rows;
    g.radius = 16;
    g.xPlayerPos = 400;
    g.yPlayerPos = 570;
    return g;
}

// A field with its launcher, wired as the game screen wires them, with a seeded generator,
// Easy difficulty and every effect request recorded.
class FieldTest : public ::testing::Test {
protected:
    explicit FieldTest(int rows = 13) : field(banks, StandardGeometry(rows)) {
        TwSetMessageSink([](const std::string&, const std::string&) {});
        TwSRand(1234);
        TwSysConfig::Instance().DifficultLevel = 0;
        GameState::Set(GameState::kPlaying);
        GameMap::SetBurstSoundToggle(false);
        GameSound::SetListener([this](int id) { sounds.push_back(id); });
        field.InitPacing();
        launcher.SetField(&field);
        field.SetLauncher(&launcher);
        field.Reset(false);
        field.MapState = GameMap::kReady;
    }
    ~FieldTest() override {
        GameSound::SetListener(nullptr);
        TwSetMessageSink(nullptr);
    }

    // Fills the field from rows of text: a digit is a bubble of that colour, anything else
    // an empty cell. Row 0 first.
    void Layout(const std::vector<std::string>& rows) {
        for (int k = 0; k < static_cast<int>(rows.size()); ++k) {
            for (int c = 0; c < static_cast<int>(rows[k].size()); ++c) {
                const char cell = rows[k][c];
                if (cell >= '0' && cell <= '9') {
                    ASSERT_TRUE(field.PlaceNewBubble(c, k, cell - '0'));
                }
            }
        }
        // Counted as during the intro, so placing bubbles never counts as losing colours.
        const int state = field.MapState;
        field.MapState = GameMap::kIntro;
        field.RecountColours();
        field.MapState = state;
    }

    // Loads a bubble of the given colour into the launcher and a next bubble.
    void Load(int colour, int nextColour = 5) {
        auto bubble = field.NewBubbleOfColour(colour);
        bubble->PlaceAt(TwVector(400.0f, 570.0f));
        launcher.SetLoaded(std::move(bubble));
        field.SetNextBubble(field.NewBubbleOfColour(nextColour));
    }

    // Aims at a point and fires; the bubble starts from the muzzle.
    bool FireAt(const TwVector& target) {
        launcher.Aim(target);
        launcher.PlaceLoadedBubble();
        return launcher.Fire();
    }

    // Runs whole frames of `step` ms until the shot has landed (at most `limit` frames).
    int FlyUntilLanded(int step = 16, int limit = 2000) {
        int frames = 0;
        while (launcher.Flying() && frames < limit) {
            field.Update(step);
            ++frames;
        }
        return frames;
    }

    int Count(int id) const {
        int n = 0;
        for (int s : sounds) {
            n += s == id;
        }
        return n;
    }

    BubbleBanks banks;
    GameMap field;
    Launcher launcher;
    std::vector<int> sounds;
};

} // namespace zvtest
