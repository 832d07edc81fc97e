#pragma once
// The page codec's seams as the tests set them. Linking
// CodecTestSeams.cpp into a test program gives the codec these seams in
// place of the product's none (store/CodecSeams.h).

#include <functional>
#include <string>

void SetCodecProviderUnavailableForTesting(bool unavailable);
// A rekey fails after rewriting this many pages (-1: never).
void SetCodecRekeyFailureForTesting(int afterPages);
// Called after each write to a main database file (a rekey's page rewrites
// included) with its UTF-8 path and the number of writes made through that
// file so far.
void SetCodecWriteObserverForTesting(std::function<void(const std::string&, int)> observer);
