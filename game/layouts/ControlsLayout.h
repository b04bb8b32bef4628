#pragma once

// Where the controls dialog's parts sit, in percent of its picture (600 x 500): the rows of
// actions, the action names, the keyboard and controller columns, the message line and the
// buttons. The asset generator draws the picture's stripes and insets from the same numbers
// the game places its texts and cells by, so the two cannot drift apart.
namespace ControlsLayout {

inline constexpr int kRows = 7;
inline constexpr float kFirstRowY = 26.0f;
inline constexpr float kRowStep = 8.0f;
inline constexpr float kNameX = 6.5f;
inline constexpr float kKeyColumnX = 56.5f;
inline constexpr float kPadColumnX = 83.5f;
inline constexpr float kMessageY = 83.5f;
inline constexpr float kButtonsY = 92.0f;

} // namespace ControlsLayout
