#include "store/CodecSeams.h"

CodecSeams* ActiveCodecSeams() {
    return nullptr;
}
