#pragma once
#include <string>

#include "ControlBindings.h"
#include "ControlsPanel.h"

class TwBitmapFont;

// The help screen's lines about the controls: the keyboard's keys, then the controller's
// buttons, each action with its key ("fire Space"), in the player's language, wrapped into
// lines of at most `maxWidth` pixels of `font` ('#' between lines, as every help text).
std::string ControlsHelpText(const ControlBindings& bindings, const TwBitmapFont& font,
                             int maxWidth, const TextLookup& lookup = GameText);
