#include "gfx/TwScreenSize.h"

TwScreenSize& TwScreenSize::Instance() {
    static TwScreenSize size;
    return size;
}
