#include "tests/store/CodecTestSeams.h"

#include <utility>

#include "store/CodecSeams.h"

namespace {

CodecSeams& Seams() {
    static CodecSeams seams;
    return seams;
}

} // namespace

CodecSeams* ActiveCodecSeams() {
    return &Seams();
}

void SetCodecProviderUnavailableForTesting(bool unavailable) {
    Seams().providerUnavailable = unavailable;
}
void SetCodecRekeyFailureForTesting(int afterPages) {
    Seams().failRekeyAfter = afterPages;
}
void SetCodecWriteObserverForTesting(std::function<void(const std::string&, int)> observer) {
    Seams().writeObserver = std::move(observer);
}
