#pragma once

// The texts the game prints with its main font, with the widest line and the most lines
// their places take (in pixels, from the dialogs' pictures and layouts). The language tests
// check every language against them; the asset generator turns them into the room the
// translators are told of.
struct PrintedPlace {
    const char* key;
    int maxWidth;
    int maxLines;
};
inline constexpr PrintedPlace kPrintedPlaces[] = {
    // The question dialog is 640 wide; its body leaves 600 for a line.
    {"ConrirmStart", 600, 3},
    {"DifficultChange", 600, 3},
    {"ConfirmDeletePlayer", 600, 3},
    {"ConfirmClearTable", 600, 3},
    // The help page's text areas run from 5 % of its 760 pixels to the frame at 736, and
    // hold 8, 3 and 2 lines of 18 pixels.
    {"HelpRules", 690, 8},
    {"HelpRelaxMode", 690, 3},
    {"HelpTimeMode", 690, 2},
    // The greeting word leaves the name most of the 300-pixel greeting; the line beneath
    // stays inside the highlight drawn behind it.
    {"Welcome", 120, 1},
    {"ChangePlayer", 260, 1},
    // The controls dialog: action names run from 6.5 % of its 600 pixels to the key cells;
    // key and button names fit their 150-pixel cells (2 pixels either side); the line under
    // the table its 480-pixel frame (the taken line with an action's name after it is checked
    // by the language tests).
    {"ActionTurnLeft", 220, 1},
    {"ActionTurnRight", 220, 1},
    {"ActionFineTurn", 220, 1},
    {"ActionFire", 220, 1},
    {"ActionSwap", 220, 1},
    {"ActionPause", 220, 1},
    {"ActionMenu", 220, 1},
    {"KeyLeft", 146, 1},
    {"KeyRight", 146, 1},
    {"KeyUp", 146, 1},
    {"KeyDown", 146, 1},
    {"KeySpace", 146, 1},
    {"KeyEnter", 146, 1},
    {"KeyEscape", 146, 1},
    {"KeyShift", 146, 1},
    {"Paddpup", 146, 1},
    {"Paddpdown", 146, 1},
    {"Paddpleft", 146, 1},
    {"Paddpright", 146, 1},
    {"PressKey", 470, 1},
    {"PressButton", 470, 1},
    {"BindingRefused", 470, 1},
    // The notice of a save that failed, printed over the game screen.
    {"SaveFailed", 560, 2},
    // The language choice of the options: its label left of the 264-pixel cell (from the
    // dialog's edge), the choices inside it between the arrows, the note beneath across the
    // dialog. A language's own name is shown in the cell.
    {"LanguageLabel", 120, 1},
    {"LanguageDesktop", 210, 1},
    {"LanguageName", 210, 1},
    {"LanguageNextStart", 470, 1},
};
