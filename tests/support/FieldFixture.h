#pragma once
#include <string>
#include <vector>

#include "BaseBubble.h"
#include "BubbleBanks.h"
#include "GameMap.h"
#include "GameSound.h"
#include "Launcher.h"
#include "PlayState.h"
#include "TestSupport.h"
#include "TwDrawList.h"
#include "data/TwSysConfig.h"
#include "platform/os/TwRand.h"
#include "platform/window/TwMessageBox.h"

#include <gtest/gtest.h>

namespace zvtest {

// The field layer's harness: field geometries, bubbles laid out from text, and a field with
// its launcher wired as the game screen wires them.

// A field of 12 columns and bubbles of radius 16, with the launcher at the bottom edge.
inline FieldGeometry StandardGeometry(int rows = 13) {
    FieldGeometry g;
    g.columns = 12;
    g.rows = rows;
    g.radius = 16;
    g.xPlayerPos = 400;
    g.yPlayerPos = 570;
    return g;
}

// The field the game ships with: 12 columns and 12 rows of bubbles of radius 18.
inline FieldGeometry ShippedGeometry() {
    FieldGeometry g;
    g.columns = 12;
    g.rows = 12;
    g.radius = 18;
    g.xPlayerPos = 400;
    g.yPlayerPos = 539;
    return g;
}

// Puts bubbles into the field from rows of text: a digit is a bubble of that colour, anything
// else leaves the cell as it is. Row 0 first. The colours are counted as during the reveal,
// so laying out a field never counts as losing a colour.
inline void LayOutBubbles(GameMap& field, const std::vector<std::string>& rows) {
    for (int k = 0; k < static_cast<int>(rows.size()); ++k) {
        for (int c = 0; c < static_cast<int>(rows[k].size()); ++c) {
            const char cell = rows[k][c];
            if (cell >= '0' && cell <= '9') {
                ASSERT_TRUE(field.PlaceNewBubble(c, k, cell - '0'));
            }
        }
    }
    const int state = field.MapState;
    field.MapState = GameMap::kIntro;
    field.RecountColours();
    field.MapState = state;
}

// The field's colours, one text per row ('.' for empty), for messages.
inline std::string FieldPicture(const GameMap& field) {
    std::string text;
    for (int k = 0; k < field.Rows(); ++k) {
        for (int c = 0; c < field.Columns(); ++c) {
            const BaseBubble* bubble = field.Bubble(c, k);
            text += bubble != nullptr ? static_cast<char>('0' + bubble->Colour()) : '.';
        }
        text += '\n';
    }
    return text;
}

// A field with its launcher, wired as the game screen wires them, with a seeded generator,
// Easy difficulty and every effect request recorded.
class FieldTest : public ::testing::Test {
protected:
    explicit FieldTest(int rows = 13) : field(banks, StandardGeometry(rows)) {
        TwSetMessageSink([](const std::string&, const std::string&) {});
        TwSRand(1234);
        field.SetState(PlayState::kPlaying);
        field.SetSoundSink([this](int id) { sounds.push_back(id); });
        field.InitPacing();
        launcher.SetField(&field);
        field.SetLauncher(&launcher);
        field.Reset(false);
        field.MapState = GameMap::kReady;
    }
    ~FieldTest() override { TwSetMessageSink(nullptr); }

    // Fills the field from rows of text (see LayOutBubbles).
    void Layout(const std::vector<std::string>& rows) { LayOutBubbles(field, rows); }

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
