#pragma once
#include <memory>
#include <string>

class BubbleBanks;
class GameMap;
class Launcher;
class TwClip;

// Draws a field as the game screen shows it, from the field's and the launcher's state: the
// mode's background, the scene of bubbles and bursts, the next bubble, the launcher turned
// along its aim with the loaded bubble at its muzzle, the moves indicator under it, and in a
// Puzzle level the lowered ceiling. The rules never draw; this is their picture.
class FieldPainter {
public:
    FieldPainter();
    ~FieldPainter();
    FieldPainter(const FieldPainter&) = delete;
    FieldPainter& operator=(const FieldPainter&) = delete;

    // Loads the launcher and ceiling pictures ("Zorbit", "Ceiling").
    void Load();
    // Shows the named picture, still and centred on the screen, behind the field.
    void SetBackground(const std::string& name);
    TwClip* Background() const { return background_.get(); }

    // The background and the scene, then the launcher side and the ceiling. Places the next
    // and the loaded bubble where they are shown.
    void Draw(GameMap& field, Launcher* launcher) const;

private:
    void DrawLauncher(GameMap& field, Launcher& launcher) const;
    void DrawMovesIndicator(const GameMap& field) const;
    void DrawCeiling(const GameMap& field) const;

    std::unique_ptr<TwClip> background_;
    std::unique_ptr<TwClip> launcher_;
    std::unique_ptr<TwClip> ceiling_;
};
