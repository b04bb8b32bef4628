#pragma once
#include "app/TwBaseApplication.h"

// Zorbit Volley's application: the engine's application with the game's load step and the
// per-frame work of the current screen.
class GameApplication : public TwBaseApplication {
public:
    GameApplication() = default;
    ~GameApplication() override;

    // The load step, run once after the loading screen first showed 20 percent: brings up
    // fonts and the pointer while the loading screen counts up to 90 percent.
    virtual void LoadData();

    // The current screen handles its pending event, moves on by the averaged frame delta and
    // draws itself.
    void UpdateAndDraw() override;
};
