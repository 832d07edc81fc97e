#pragma once
// Where tests change what the page codec does. The product links
// CodecSeamsNone.cpp, whose ActiveCodecSeams answers null: no seam is in the
// product. A test program defines ActiveCodecSeams itself
// (tests/store/CodecTestSeams.cpp); the linker then never takes the
// library's definition, which is alone in its object for that reason.

#include <functional>
#include <string>

struct CodecSeams {
    bool providerUnavailable = false;
    int failRekeyAfter = -1; // a rekey fails after rewriting this many pages (-1: never)
    // After each write to a main database file (a rekey's page rewrites
    // included): its UTF-8 path and the writes made through that file so far.
    std::function<void(const std::string&, int)> writeObserver;
};

CodecSeams* ActiveCodecSeams();
