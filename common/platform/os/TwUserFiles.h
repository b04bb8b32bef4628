#pragma once
#include <string>
#include <string_view>
#include <vector>

// Where the player's files live, and how they are written.
//
// The game names its files as "Data/TwConfig.Cfg", "Data/Profiles.Txt",
// "Data/Save/<name>.Tws", "Data/Classic.Twt". On Linux the settings go to
// $XDG_CONFIG_HOME/zorbit-volley/ and everything else to $XDG_DATA_HOME/zorbit-volley/
// (defaults ~/.config and ~/.local/share). The environment is read on every call so
// tests can point it at temporary directories.

// $XDG_CONFIG_HOME/zorbit-volley (no trailing slash).
std::string TwConfigDir();
// $XDG_DATA_HOME/zorbit-volley (no trailing slash).
std::string TwDataDir();

// Maps a game file name onto its place on disk: "Data/TwConfig.Cfg" into the
// configuration directory, any other "Data/..." name into the data directory.
// Names outside "Data/" are returned unchanged.
std::string TwUserPath(std::string_view gameName);

// Creates a directory and its parents (mode 0755). True when it exists afterwards.
bool TwMakeDirs(const std::string& dir);

// Writes the bytes to a temporary file beside `path`, flushes it to disk and renames it
// over `path`, so a crash or a full disk never leaves half a file. The parent directory
// is created when missing. False, with the old file untouched, on any failure.
// Nothing is written through a link: the temporary file is created exclusively under a
// name nobody can guess, a link at `path` is replaced (its target untouched), and inside
// the game's own folders no folder below them is reached through a link.
bool TwWriteFileAtomic(const std::string& path, std::string_view bytes);

// The size of a regular file this process can read; -1 for anything else (missing,
// unreadable, a FIFO or a device), found without waiting on it.
long long TwReadableFileSize(const std::string& path);

// Reads a whole regular file. False when it cannot be opened or read, or is not a regular
// file (a FIFO or device there would block or never end).
bool TwReadFile(const std::string& path, std::string& out);
