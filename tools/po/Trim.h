#pragma once
#include <string>

// `s` without the spaces, tabs and carriage returns at either end (a line of a table or a
// PO file, whichever line ends it was saved with).
inline std::string Trim(const std::string& s) {
    const std::size_t first = s.find_first_not_of(" \t\r");
    if (first == std::string::npos) {
        return "";
    }
    return s.substr(first, s.find_last_not_of(" \t\r") - first + 1);
}
