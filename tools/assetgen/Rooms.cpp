#include "Rooms.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>
#include <vector>

#include "Canvas.h"
#include "Pictures.h"
#include "PrintedPlaces.h"
#include "Words.h"

namespace rooms {

namespace {

struct Room {
    int characters = 0;
    int pixels = 0;
};

struct State {
    bool enabled = false;
    std::vector<std::pair<std::string, std::string>> pending; // words not yet placed
    std::map<std::string, Room> rooms;                        // "Picture.<key>" -> room
};

State& Recorder() {
    static State state;
    return state;
}

int Characters(const std::string& utf8) {
    return static_cast<int>(SplitCharacters(utf8).size());
}

// How many characters as wide as the average of `sample` fit in `pixels`.
int CharactersIn(cairo_t* cr, const std::string& sample, const TextStyle& style, double pixels) {
    const double width = TextWidth(cr, sample, style);
    if (width <= 0 || sample.empty()) {
        return 0;
    }
    return std::max(1, static_cast<int>(std::floor(pixels * Characters(sample) / width)));
}

void Keep(const std::string& key, int characters, int pixels) {
    auto [it, added] = Recorder().rooms.emplace(key, Room{characters, pixels});
    if (!added && characters < it->second.characters) {
        it->second = Room{characters, pixels}; // a word shown twice has its narrower room
    }
}

} // namespace

void Enable() {
    Recorder().enabled = true;
}

void NoteWord(const std::string& key, const std::string& word) {
    if (Recorder().enabled) {
        Recorder().pending.emplace_back(key, word);
    }
}

void NotePlace(const std::string& text, const TextStyle& style, double maxWidth) {
    State& state = Recorder();
    if (!state.enabled) {
        return;
    }
    Canvas scratch(4, 4);
    auto& pending = state.pending;
    // The word drawn alone: the latest one looked up with this text.
    for (auto it = pending.rbegin(); it != pending.rend(); ++it) {
        if (it->second == text) {
            Keep("Picture." + it->first, CharactersIn(scratch.Cr(), text, style, maxWidth),
                 static_cast<int>(maxWidth));
            pending.erase(std::next(it).base());
            return;
        }
    }
    // Words joined into a longer line: each has the room the rest of the line leaves.
    const double whole = TextWidth(scratch.Cr(), text, style);
    for (auto it = pending.begin(); it != pending.end();) {
        if (it->second.empty() || text.find(it->second) == std::string::npos) {
            ++it;
            continue;
        }
        const double room = maxWidth - (whole - TextWidth(scratch.Cr(), it->second, style));
        Keep("Picture." + it->first, CharactersIn(scratch.Cr(), it->second, style, room),
             static_cast<int>(room));
        it = pending.erase(it);
    }
}

bool Write(const std::string& file) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    for (const auto& [key, room] : Recorder().rooms) {
        out << key << '\t' << room.characters << "\t1\t" << room.pixels << "\tword\n";
    }
    Canvas scratch(4, 4);
    for (const PrintedPlace& place : kPrintedPlaces) {
        std::string text = words::Text(place.key);
        std::replace(text.begin(), text.end(), '#', ' ');
        const int characters = CharactersIn(scratch.Cr(), text, MainStyle(), place.maxWidth);
        if (characters == 0) {
            std::fprintf(stderr, "assetgen: no English text for %s\n", place.key);
            return false;
        }
        out << place.key << '\t' << characters << '\t' << place.maxLines << '\t' << place.maxWidth
            << "\tprinted\n";
    }
    if (!out.flush()) {
        std::fprintf(stderr, "assetgen: cannot write %s\n", file.c_str());
        return false;
    }
    return true;
}

} // namespace rooms
