#pragma once
#include <array>
#include <memory>

class BaseBubble;
class BubbleDestroy;
class TwClip;
class TwDrawList;

// The pictures every bubble and burst is copied from, built once for the game screen: one
// bubble prototype and one burst prototype per colour, the shared shadow, the five symbols
// of the moves indicator, and the draw list they all end up in.
class BubbleBanks {
public:
    static constexpr int kColours = 6;
    static constexpr int kMoveSymbols = 5;

    // Empty banks with a draw list and no pictures; Build loads them.
    BubbleBanks();
    ~BubbleBanks();
    BubbleBanks(const BubbleBanks&) = delete;
    BubbleBanks& operator=(const BubbleBanks&) = delete;

    // Loads every picture: "Bubbles/Shadow", "Bubbles/0".."5", "ExpBubbles/0".."5" with
    // their extra strips "ExpBubbles/c/0" and "ExpBubbles/c/1", and "Moves/0".."4".
    // A bubble picture that cannot be loaded shows "Error Loading Bubbles..." and building
    // goes on. The bubble radius shared by the fields becomes half a bubble frame's width.
    void Build();

    TwDrawList& Scene() { return *scene_; }
    TwClip* Shadow() const { return shadow_.get(); }
    // Null for a colour without a prototype (anything but 0 to 5).
    const BaseBubble* BubblePrototype(int colour) const;
    const BubbleDestroy* BurstPrototype(int colour) const;
    TwClip* MovesClip(int index) const;

    // A new bubble or burst copied from the prototype of that colour; null without one.
    std::unique_ptr<BaseBubble> NewBubble(int colour) const;
    std::unique_ptr<BubbleDestroy> NewBurst(int colour) const;

private:
    std::unique_ptr<TwDrawList> scene_;
    std::unique_ptr<TwClip> shadow_;
    std::array<std::unique_ptr<BaseBubble>, kColours> bubbles_;
    std::array<std::unique_ptr<BubbleDestroy>, kColours> bursts_;
    std::array<std::unique_ptr<TwClip>, kMoveSymbols> moves_;
};
