#include "gfx/TwMissingResources.h"

#include <cstdio>

#include "platform/TwMessageBox.h"

namespace {

int reported = 0;

} // namespace

void TwMissingResources::Report(const std::string& message) {
    if (reported++ == 0) {
        TwShowErrorMessage(message);
    } else {
        std::fprintf(stderr, "zorbit-volley: %s\n", message.c_str());
    }
}

int TwMissingResources::Count() {
    return reported;
}

void TwMissingResources::Reset() {
    reported = 0;
}
