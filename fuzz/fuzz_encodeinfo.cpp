#include "fuzzsupport.h"

#include <infocollect.h>

KFUZZ_INIT

// Six bits a character: the length is fixed by the input's and only the alphabet appears.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const QByteArray alphabet("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz-_");
    const QByteArray encoded = encodeInfo(kfuzz::bytes(data, size));
    if (size_t(encoded.size()) != (size * 8 + 5) / 6)
        std::abort();
    for (char c : encoded)
        if (!alphabet.contains(c))
            std::abort();
    return 0;
}
