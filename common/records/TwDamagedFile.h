#pragma once
#include <string>

// What the game does with a player file that could be read only in part (a stray line, a
// file cut short): the records it could read are kept, the damaged file is copied beside
// the original as "<file>.damaged-<date>-<time>" before anything is written over it, and
// the player is told once, in their language, where the copy is.
class TwDamagedFile {
public:
    // Copies the file at `path` to a new "<path>.damaged-YYYYMMDD-HHMMSS" (a "-2", "-3", ...
    // follows when that name is taken). The copy's path, or empty when it could not be made.
    static std::string Keep(const std::string& path);

    // Tells the player once: the text of `messageKey` from the language table, then where
    // the copy is (or that none could be made when `copyPath` is empty).
    static void Tell(const std::string& messageKey, const std::string& copyPath);

    // Keep, then Tell; true when the copy was made (the caller may then write the records
    // it kept over the damaged file).
    static bool KeepAndTell(const std::string& path, const std::string& messageKey);
};
