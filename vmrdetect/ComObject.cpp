#include "vmrdetect/ComObject.h"

namespace {
volatile LONG g_liveObjects = 0;
}

LONG LiveComponentObjects() {
    return g_liveObjects;
}
void ComponentObjectCreated() {
    InterlockedIncrement(&g_liveObjects);
}
void ComponentObjectDestroyed() {
    InterlockedDecrement(&g_liveObjects);
}
