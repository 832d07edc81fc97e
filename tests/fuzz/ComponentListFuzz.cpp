// The component's list file: any text is read or refused; a text read is
// written back and read again to the same lists; changes made after reading
// agree with a plain model of the two lists and survive a write and a read,
// and the file brought up to date by an update (a block appended to it, or
// written whole) reads as the same lists.

#include <fuzzer/FuzzedDataProvider.h>

#include <map>
#include <string>

#include "intake/Digest.h"
#include "tests/fuzz/FuzzSupport.h"
#include "vmrdetect/SignatureTable.h"

namespace {

// One of a few MD5s, so that changes meet each other.
std::string SomeMd5(FuzzedDataProvider& input) {
    const unsigned char seed[16] = {input.ConsumeIntegralInRange<unsigned char>(0, 7)};
    char text[kMd5TextLength + 1];
    BytesToHex(seed, sizeof seed, text);
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const std::size_t changes = input.ConsumeIntegralInRange<std::size_t>(0, 16);
    std::string ops = input.ConsumeBytesAsString(changes * 2);
    const std::string text = input.ConsumeRemainingBytesAsString();

    SignatureTable table;
    if (!table.Parse(text)) {
        FUZZ_CHECK(table.Size() == 0);
        return 0;
    }
    const std::string written = table.Serialize();
    SignatureTable again;
    FUZZ_CHECK(again.Parse(written));
    FUZZ_CHECK(again.Size() == table.Size());
    FUZZ_CHECK(again.Serialize() == written);

    std::map<std::string, SignatureListKind> model;
    FuzzedDataProvider opInput(reinterpret_cast<const unsigned char*>(ops.data()), ops.size());
    for (std::size_t i = 0; i < changes && opInput.remaining_bytes() > 0; ++i) {
        const bool put = opInput.ConsumeBool();
        const SignatureListKind kind = opInput.ConsumeBool() ? kSignatureTrusted : kSignatureBlack;
        const std::string md5 = SomeMd5(opInput);
        if (model.count(md5) == 0)
            model[md5] = table.Find(md5);
        if (put) {
            FUZZ_CHECK(table.Put(md5, kind) == (model[md5] != kind));
            model[md5] = kind;
        } else {
            FUZZ_CHECK(table.Remove(md5, kind) == (model[md5] == kind));
            if (model[md5] == kind)
                model[md5] = kSignatureNone;
        }
    }
    SignatureTable reread;
    FUZZ_CHECK(reread.Parse(table.Serialize()));
    // The file brought up to date as an update does, appended or whole.
    const SignatureTable::FileUpdate update = table.Update();
    const std::string updated =
        update.append ? text.substr(0, table.FileBytes()) + update.text : update.text;
    SignatureTable next;
    FUZZ_CHECK(next.Parse(updated));
    for (const auto& [md5, kind] : model) {
        FUZZ_CHECK(table.Find(md5) == kind);
        FUZZ_CHECK(reread.Find(md5) == kind);
        FUZZ_CHECK(next.Find(md5) == kind);
    }
    FUZZ_CHECK(reread.Size() == table.Size());
    FUZZ_CHECK(next.Size() == table.Size());
    return 0;
}
