#include "gfx/RCObject.h"

bool RCObject::Release() {
    if (--refCount_ > 0) {
        return false;
    }
    delete this;
    return true;
}
