#pragma once
#include <cstddef>
#include <map>
#include <string>
#include <vector>

#include "TwVector.h"

// A text definition file: the one syntax every data file of the game is written in (map
// geometry, fonts, dialog layouts, language texts, settings, profiles, score tables, saved
// games). Held as a flat dictionary from dotted key names ("ScoreDlg.OkPos") to raw value
// texts exactly as written ("[1,2,0]", "\"Name\"", "12"), ordered byte-wise by key.
// The syntax is described in docs/formats/text-definitions.md.
//
// Getters never fail for the caller: a missing key gives the caller's default and sets the
// failed flag, which every getter clears before its lookup. Numbers are always read and
// written in the C locale.
class TwDefFile {
public:
    // What a load does at a syntax error: stop there (keys read before it stay available), or
    // drop the damaged line and read on (the player's own files, so that one bad line never
    // costs the records around it).
    enum class OnError { Stop, SkipLine };
    // Empties the object, then reads and parses a file. 0 on success, 1 when the file cannot
    // be opened or has a syntax error (see OnError for the keys that stay available).
    int LoadFromFile(const std::string& path, OnError onError = OnError::Stop);
    // As LoadFromFile, from bytes in memory (a resource out of a pack). The text ends at the
    // first NUL byte.
    int LoadFromMemory(const char* bytes, std::size_t count);
    // Writes every key, regrouped into nested blocks, atomically (temporary file, then
    // rename). 0 on success, 1 on failure with the previous file left untouched.
    int Save(const std::string& path);

    int GetInt(const std::string& key, int def);
    float GetFloat(const std::string& key, float def);
    // A quoted value without its quotes, escapes decoded; embedded NULs are kept.
    std::string GetString(const std::string& key, const std::string& def = "");
    // As GetString, but ending at the first decoded NUL, as a C string would.
    // A missing key gives the default (an empty text for nullptr).
    std::string GetCString(const std::string& key, const char* def = nullptr);
    // A bracketed list of numbers split at runs of `sep`; empty when the key is missing.
    std::vector<float> GetFloatList(const std::string& key, char sep);
    // The first three numbers of a list; missing components are -1024.
    TwVector GetVector3(const std::string& key, char sep);
    // A grid of cells ("{[a b][c d]}"): the rows concatenated, short rows padded with `sep`.
    // A missing key gives `def` (or an empty text), width 1 and height 1. A grid that would
    // exceed four million cells once padded is damaged: empty, width 0, height 0.
    std::string GetCharGrid(const std::string& key, int& width, int& height, char sep,
                            const char* def = nullptr);

    void SetInt(const std::string& key, int value);
    void SetFloat(const std::string& key, float value);
    void SetString(const std::string& key, const std::string& value);
    // `cells` holds rowCount rows of rowLength cells each.
    void SetCharGrid(const std::string& key, const std::string& cells, int rowLength, int rowCount,
                     char sep);

    // 1 when the last getter missed its key or the last load or save failed.
    int Failed() const { return failed_; }
    // The line of the first syntax error of the last load (1-based); 0 when the text parsed
    // cleanly or the file could not be read at all.
    int ErrorLine() const { return errorLine_; }
    // The line (from 1) where a loaded key was written; 0 for a key not read from a text.
    int KeyLine(const std::string& key) const;
    const std::map<std::string, std::string>& Values() const { return values_; }
    // True when the key is present (does not touch the failed flag).
    bool Has(const std::string& key) const { return values_.count(key) != 0; }

    // The text Save would write, without writing it.
    std::string Serialize() const;

private:
    int Parse(OnError onError);
    const std::string* Find(const std::string& key);

    int failed_ = 0;
    int errorLine_ = 0;
    std::map<std::string, std::size_t> positions_; // where each loaded key was written
    std::map<std::string, std::string> values_;
    std::string text_;
};
