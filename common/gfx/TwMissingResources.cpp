#include "gfx/TwMissingResources.h"

#include <cstdio>

#include "data/TwLanguage.h"
#include "platform/window/TwMessageBox.h"

namespace {

int reported = 0;
bool silenced = false;

} // namespace

void TwMissingResources::Report(const std::string& message) {
    if (silenced) {
        ++reported;
        return;
    }
    if (reported++ == 0) {
        TwShowErrorMessage(message);
    } else {
        std::fprintf(stderr, "zorbit-volley: %s\n", message.c_str());
    }
}

void TwMissingResources::ReportFile(const std::string& name) {
    Report(TwLanguage::Instance().GetBoxText("FileMissing", "File '{file}' - Not Found!", name));
}

int TwMissingResources::Count() {
    return reported;
}

void TwMissingResources::Silence() {
    silenced = true;
}

void TwMissingResources::Reset() {
    reported = 0;
    silenced = false;
}
