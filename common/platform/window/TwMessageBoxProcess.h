#pragma once
#include <string>

// Message boxes shown by a process of their own: a fresh copy of the game's program, started
// in a hidden mode for one box. SDL shows an X11 box from a forked copy of the whole game,
// which kept every open file of the game (the single-instance lock too) and lived on when the
// game was killed. The box's process is started from the program anew (close-on-exec files,
// the lock among them, stay behind), ends when the game ends however it ends, and the game
// waits for the box to be closed.

// True when the command line asks this process to show one box (argv as given to main).
bool TwIsMessageBoxProcess(int argc, char** argv);
// Shows that box and returns the process's exit code: 0 once it was closed, 1 when no box
// could be shown.
int TwRunMessageBoxProcess(int argc, char** argv);

// From now on this program shows its boxes in a process of their own. Only the game's own
// program calls it: the box's process is a copy of the running program.
void TwShowMessageBoxesApart();
bool TwMessageBoxesApart();
// Shows the box from a copy of the program and waits until it is closed. `ownerWindow` is
// the X11 window the box belongs to (0 for none). False when no box could be shown.
bool TwShowMessageBoxApart(const std::string& caption, const std::string& text,
                           unsigned long ownerWindow);
