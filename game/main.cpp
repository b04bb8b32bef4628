// Zorbit Volley: process entry.
#include "GameStartup.h"

int main() {
    return RunZorbitVolley();
}
