#include "ControlsHelp.h"

#include <vector>

#include "gfx/TwBitmapFont.h"

namespace {

constexpr const char* kGap = "   ";

// "turn Left / Right", "finer Shift", "fire Space", ... for one device.
std::vector<std::string> Items(const ControlBindings& bindings, bool pad, const TextLookup& word) {
    auto name = [&](ControlBindings::Action action) {
        return pad ? PadLabel(bindings.Pad(action), word) : KeyLabel(bindings.Key(action), word);
    };
    using B = ControlBindings;
    return {word("HelpTurn") + " " + name(B::kTurnLeft) + " / " + name(B::kTurnRight),
            word("HelpFiner") + " " + name(B::kFineTurn),
            word("HelpFire") + " " + name(B::kFire),
            word("HelpSwap") + " " + name(B::kSwap),
            word("HelpPause") + " " + name(B::kPause),
            word("HelpMenu") + " " + name(B::kMenu)};
}

// Adds one device's items after its heading, starting a new line and wrapping greedily.
void Wrap(std::vector<std::string>& lines, const std::string& heading,
          const std::vector<std::string>& items, const TwBitmapFont& font, int maxWidth) {
    std::string line = heading;
    for (const std::string& item : items) {
        std::string longer = line;
        longer.append(kGap).append(item);
        // The game measures a printed line with its closing '#'.
        if (font.TextWidth(longer + "#") <= maxWidth) {
            line = longer;
        } else {
            lines.push_back(line);
            line = item;
        }
    }
    lines.push_back(line);
}

} // namespace

std::string ControlsHelpText(const ControlBindings& bindings, const TwBitmapFont& font,
                             int maxWidth, const TextLookup& word) {
    std::vector<std::string> lines;
    Wrap(lines, word("HelpKeyboard"), Items(bindings, false, word), font, maxWidth);
    Wrap(lines, word("HelpGamepad"), Items(bindings, true, word), font, maxWidth);
    std::string text;
    for (const std::string& line : lines) {
        text += (text.empty() ? "" : "#") + line;
    }
    return text;
}
