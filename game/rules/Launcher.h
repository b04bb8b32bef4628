#pragma once
#include <cstdint>
#include <functional>
#include <memory>

#include "TwVector.h"

class BaseBubble;
class GameMap;

// The launcher at the bottom of the field: the mouse aims it (never so flat that the aim line
// meets a side wall below y = 490), a left click fires the loaded bubble and a right click
// swaps it with the next bubble. Firing kicks the launcher back along a short curve and
// starts a 500 ms reload. The launcher is the rules' alone: the game screen draws it
// (its picture at Position, turned along Direction).
class Launcher {
public:
    static constexpr int kReloadTime = 500;
    static constexpr float kLowestWallAim = 490.0f;
    // Window messages and button values the launcher reacts to.
    static constexpr int kMouseMove = 512;
    static constexpr int kLeftReleased = 1;
    static constexpr int kRightReleased = 2;

    Launcher();
    ~Launcher();
    Launcher(const Launcher&) = delete;
    Launcher& operator=(const Launcher&) = delete;

    // Back at rest with nothing loaded; a bubble still held is given up (and deleted).
    void Reset();
    // Reload countdown, the loaded bubble's own animation and the recoil kick.
    void Update(int elapsedMs);
    // Aims, fires and swaps from the fields of one input record: event class, button,
    // window message, position, key.
    void HandleInput(int eventClass, int button, int messageId, const TwVector& position, int key);

    // Turns the launcher towards a mouse position. True when the aim line meets a side wall
    // (the event may then also carry a button).
    bool Aim(const TwVector& mouse);
    // True when Fire would fire now: a bubble loaded, none in flight, reloaded, and the
    // field ready with no row on its way.
    bool CanFire() const { return MayAct() && !flying_ && reloadRemaining_ == 0; }
    // Fires the loaded bubble when allowed. True when it left.
    bool Fire();
    // Exchanges the loaded bubble with the field's next bubble when allowed. True when done.
    bool Swap();
    // Where a shot fired now would start: the muzzle along the aim.
    TwVector Muzzle() const;
    // Turns the loaded bubble like the launcher and places it at the muzzle.
    void PlaceLoadedBubble();

    void SetField(GameMap* field) { field_ = field; }
    GameMap* Field() const { return field_; }

    BaseBubble* Loaded() const { return loaded_.get(); }
    // Loads a bubble, giving up (and deleting) the one held before.
    void SetLoaded(std::unique_ptr<BaseBubble> bubble);
    std::unique_ptr<BaseBubble> TakeLoaded();
    bool Flying() const { return flying_; }
    void SetFlying(bool flying) { flying_ = flying; }

    TwVector Direction() const { return direction_; }
    void SetDirection(const TwVector& direction) { direction_ = direction; }
    // Where the launcher picture is now (it moves while recoiling).
    TwVector Position() const;
    TwVector RestPosition() const { return rest_; }
    int ReloadRemaining() const { return reloadRemaining_; }
    bool Recoiling() const { return recoilActive_; }

    // Told of every shot and swap as it happens, before the launcher changes (the game's
    // recording keeps them with the aim they were made at).
    enum class Action { kFire, kSwap };
    void SetActionSink(std::function<void(Action)> sink) { actionSink_ = std::move(sink); }

    // The tint of a bubble colour as ARGB, full alpha; white for an unknown colour.
    static std::uint32_t ColourTint(int colour);

private:
    bool MayAct() const;
    void DropLoaded();

    std::unique_ptr<BaseBubble> loaded_;
    bool flying_ = false;
    TwVector position_{400.0f, 570.0f, 0.0f};
    GameMap* field_ = nullptr;
    int reloadTime_ = kReloadTime;
    int reloadRemaining_ = 0;
    TwVector direction_{0.0f, -1.0f, 0.0f};
    TwVector rest_{400.0f, 570.0f, 0.0f};
    TwVector recoilPoint_;
    float recoilProgress_ = 0.0f;
    bool recoilActive_ = false;
    std::function<void(Action)> actionSink_;
};
