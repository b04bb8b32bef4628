#include "FieldFixture.h"
#include "GfxTestSupport.h"

#include "BubbleDestroy.h"
#include "gfx/TwRenderDevice.h"

#include <cmath>

using zvtest::FieldTest;

namespace {
// Places a bubble of colour 0 at a point, as a grid bubble at rest there.
BaseBubble* PutAt(GameMap& field, int column, int row, const TwVector& p) {
    EXPECT_TRUE(field.PlaceNewBubble(column, row, 0));
    BaseBubble* b = field.Bubble(column, row);
    b->PlaceAt(p);
    b->SetRestPosition(p);
    return b;
}
} // namespace

TEST_F(FieldTest, ShakeIsHandedOnAtHalfStrength) {
    BaseBubble* a = PutAt(field, 0, 0, TwVector(300, 100));
    BaseBubble* b = PutAt(field, 1, 0, TwVector(332, 100));
    BaseBubble* c = PutAt(field, 2, 0, TwVector(364, 100));
    a->Push(TwVector(260, 100), 16.0);
    int elapsed = 0;
    while (b->WobbleState() == BaseBubble::kStill && elapsed < 400) {
        field.UpdateWobbles(16);
        elapsed += 16;
    }
    // Handed on once the swing has passed a quarter turn, about 126 ms in.
    EXPECT_NEAR(elapsed, 128, 16);
    EXPECT_DOUBLE_EQ(b->Amplitude(), 8.0);
    EXPECT_EQ(c->WobbleState(), BaseBubble::kStill); // 64 px away from the first
    while (c->WobbleState() == BaseBubble::kStill && elapsed < 800) {
        field.UpdateWobbles(16);
        elapsed += 16;
    }
    EXPECT_DOUBLE_EQ(c->Amplitude(), 4.0);
    // The first bubble ignored the push handed back to it: it is still on its own shake.
    EXPECT_DOUBLE_EQ(a->Amplitude(), 16.0);
    // Every shake dies away on the rest position after 1280 ms.
    for (int t = 0; t < 2000; t += 16) {
        field.UpdateWobbles(16);
    }
    for (BaseBubble* bubble : {a, b, c}) {
        EXPECT_EQ(bubble->WobbleState(), BaseBubble::kStill);
        EXPECT_NEAR((bubble->Position() - bubble->RestPosition()).Length(), 0.0f, 1.5f);
        EXPECT_FALSE(bubble->HandedOn());
    }
}

TEST_F(FieldTest, YoungShakeIgnoresNewPushesAndAnOldOneRestarts) {
    BaseBubble* a = PutAt(field, 0, 0, TwVector(300, 100));
    a->Push(TwVector(260, 100), 16.0);
    field.UpdateWobbles(400); // phase 5
    a->Push(TwVector(300, 60), 8.0);
    EXPECT_DOUBLE_EQ(a->Amplitude(), 16.0);
    field.UpdateWobbles(100); // phase 6.25
    a->Push(TwVector(300, 60), 8.0);
    EXPECT_DOUBLE_EQ(a->Amplitude(), 8.0);
    EXPECT_DOUBLE_EQ(a->Phase(), 0.0);
    EXPECT_NEAR(a->PushDirection().y, 1.0f, 0.05f);
}

TEST_F(FieldTest, BurstsFlingTwoToEightFragments) {
    std::set<int> counts;
    for (int i = 0; i < 200; ++i) {
        auto bubble = field.NewBubbleOfColour(i % 6);
        bubble->PlaceAt(TwVector(300, 200));
        banks.Scene().Clear();
        bubble->Burst();
        ASSERT_EQ(banks.Scene().Size(), 1u);
        const MoveObj& entry = banks.Scene().Entries().front();
        auto* effect = dynamic_cast<BubbleDestroy*>(entry.object);
        ASSERT_NE(effect, nullptr);
        EXPECT_EQ(effect->tag, 1);
        EXPECT_EQ(effect->z, 16.0f);
        EXPECT_TRUE(entry.top && entry.update);
        const int n = effect->Count();
        counts.insert(n);
        const int shared = effect->Particle(0).choice;
        EXPECT_TRUE(shared == 0 || shared == 1);
        for (int p = 0; p < n; ++p) {
            EXPECT_EQ(effect->Particle(p).choice, p < 3 ? shared : -1);
            EXPECT_EQ(effect->Particle(p).colour.alpha, 255.0f);
            EXPECT_GE(effect->Particle(p).life, 384);
            EXPECT_LE(effect->Particle(p).life, 896);
            EXPECT_EQ(effect->Particle(p).position, TwVector(300, 200));
        }
    }
    EXPECT_EQ(*counts.begin(), 2);
    EXPECT_EQ(*counts.rbegin(), 8);
}

TEST_F(FieldTest, DrawListSortsByDepthDrawsAndForgetsFinishedEffects) {
    TwDrawList& scene = banks.Scene();
    scene.Clear();
    auto front = field.NewBubbleOfColour(1);
    auto back = field.NewBubbleOfColour(2);
    auto middle = field.NewBubbleOfColour(3);
    front->z = 5;
    scene.Add(front.get());
    scene.Add(back.get());
    scene.AddOnTop(middle.get(), false);
    auto effect = banks.NewBurst(0);
    effect->emitPosition = TwVector(100, 100);
    effect->Emit(3);
    effect->z = 16;
    scene.AddOnTop(std::unique_ptr<TwClip>(std::move(effect)), true);
    scene.Draw();
    ASSERT_EQ(scene.Size(), 4u);
    EXPECT_EQ(scene.Entries()[0].object, back.get()); // equal depths keep their order
    EXPECT_EQ(scene.Entries()[1].object, middle.get());
    EXPECT_EQ(scene.Entries()[2].object, front.get());
    // A list in order stays as it is; one whose depths changed is sorted again when asked,
    // equal depths keeping the order they had.
    const auto place = [&scene](const TwClip* object) {
        for (std::size_t i = 0; i < scene.Size(); ++i) {
            if (scene.Entries()[i].object == object) {
                return i;
            }
        }
        return scene.Size();
    };
    back->z = 20;
    scene.Draw();
    EXPECT_EQ(place(back.get()), 0u);
    scene.RequestSort();
    scene.Draw();
    EXPECT_EQ(place(back.get()), 3u);
    EXPECT_LT(place(middle.get()), place(front.get()));
    back->z = 0;
    scene.RequestSort();
    scene.Draw();
    EXPECT_LT(place(middle.get()), place(back.get()));
    EXPECT_LT(place(back.get()), place(front.get()));
    // Only flagged top-layer objects are advanced: the effect's fragments age and die.
    middle->Animation().finished = false;
    for (int t = 0; t < 1000; t += 50) {
        scene.Update(50);
    }
    EXPECT_EQ(middle->Frame(), 0);
    scene.Draw();
    EXPECT_EQ(scene.Size(), 3u);
    scene.ClearTop(middle.get());
    EXPECT_FALSE(scene.OnTop(middle.get()));
    scene.Remove(front.get());
    EXPECT_FALSE(scene.Contains(front.get()));
    scene.Clear();
    EXPECT_EQ(scene.Size(), 0u);
}

// Bubbles drawn for real on the off-screen screen, from pictures made here.
TEST(BubbleDrawing, ShadowShowsTheBubblesFrameAtAlphaEighty) {
    ASSERT_TRUE(zvtest::EnsureHeadlessScreen());
    zvtest::CapturedMessages messages;
    zvtest::ScopedPack pack;
    // Nine 32 x 32 frames. The bubble's frames are red on their right half only; the
    // shadow is white on frame 3 only.
    zvtest::Pixels bubble(288, 32);
    zvtest::Pixels shadow(288, 32);
    for (int f = 0; f < 9; ++f) {
        bubble.Fill(f * 32 + 16, 0, f * 32 + 32, 32, 0xFF0000FF);
    }
    shadow.Fill(3 * 32, 0, 4 * 32, 32, 0xFFFFFFFF);
    pack.Add("Data/Textures/Bubbles/Shadow.Tga", zvtest::MakeTga(shadow, 2, 32, true));
    for (int c = 0; c < 6; ++c) {
        pack.Add("Data/Textures/Bubbles/" + std::to_string(c) + ".Tga",
                 zvtest::MakeTga(bubble, 2, 32, true));
    }
    ASSERT_TRUE(pack.Open());

    BubbleBanks banks;
    banks.Build();
    EXPECT_EQ(FieldGeometry::Shared().radius, 16);
    auto b = banks.NewBubble(4);
    b->SetFrame(3);
    b->PlaceAt(TwVector(400, 300));
    banks.Scene().Add(b.get());
    TwRenderDevice::Instance().StartScene();
    banks.Scene().Draw();
    const auto screen = zvtest::ReadScreen();
    // Left half: only the shadow, white at alpha 80 over black.
    const std::uint32_t left = zvtest::ScreenPixel(screen, 390, 300);
    EXPECT_NEAR(static_cast<int>((left >> 16) & 0xFF), 80, 2);
    EXPECT_NEAR(static_cast<int>(left & 0xFF), 80, 2);
    // Right half: the bubble over its shadow.
    EXPECT_EQ(zvtest::ScreenPixel(screen, 410, 300), 0xFFFF0000u);
    banks.Scene().Clear();
}
