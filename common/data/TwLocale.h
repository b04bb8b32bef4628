#pragma once
#include <functional>
#include <string>
#include <vector>

// Which language the game speaks, from the desktop's locale. The language packs are
// "Data/Lang.Twr" (English) and "Data/Lang_<code>.Twr" for every other language, where the
// code is a language ("de") or a language and region ("pt_BR").
namespace TwLocale {

// Reads one environment variable; null or empty when unset.
using Environment = std::function<const char*(const char*)>;

// The language codes to try, most wanted first, from the LANGUAGE list (entries separated
// by ':'), then the first of LC_ALL, LC_MESSAGES and LANG that is set. Each locale name such
// as "pt_BR.UTF-8@euro" gives "pt_BR" then "pt"; English, "C" and "POSIX" give "", which
// ends the list (English is the game's own language). Norwegian ("no") and Nynorsk ("nn")
// are followed by Bokmål ("nb"). A name that is no locale name (say "../x") is passed over.
// The list always ends with "".
std::vector<std::string> Candidates(const Environment& env);

// True for a language code as the packs are named: "de", "pt_BR" (two or three lower-case
// letters, optionally '_' and a two-letter region in capitals).
bool IsLanguageCode(const std::string& code);

// The codes to try when the player chose `chosen` in the options: "en" is English alone;
// another language code comes first, before the desktop's list (so a chosen language whose
// pack is missing falls back to the desktop's choice); "" or anything else is the desktop's
// list unchanged.
std::vector<std::string> WithChoice(const std::string& chosen, std::vector<std::string> desktop);

// The pack of a language code: "Data//Lang_de.Twr"; "" gives the English "Data//Lang.Twr".
std::string PackName(const std::string& code);

} // namespace TwLocale
