#pragma once
#include <memory>

class TwClip;

// The game's own mouse pointer: the picture "Cursor", drawn centred on the pointer position
// over the game window. The game tints it with the colour of the bubble about to be fired.
class TwCursor {
public:
    TwCursor();
    ~TwCursor();

    // Loads the "Cursor" picture as a single frame.
    void Load();
    void SetPosition(float x, float y, float z);
    void Draw();

    TwClip* Clip() const { return clip_.get(); }

private:
    std::unique_ptr<TwClip> clip_;
};
