#pragma once
#include <functional>
#include <string>

// Messages to the player: a modal box with the caption "Error" and one OK button. Without a
// display the text goes to standard error. Tests replace the sink to collect the messages.
using TwMessageSink = std::function<void(const std::string& caption, const std::string& text)>;

// Shows `text` with the caption "Error" and waits for OK.
void TwShowErrorMessage(const std::string& text);
// Routes every later message to `sink`; an empty sink restores the message box.
void TwSetMessageSink(TwMessageSink sink);
