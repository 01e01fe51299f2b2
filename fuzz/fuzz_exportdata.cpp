#include "fuzzsupport.h"

#include <kexportdatafile.h>

KFUZZ_INIT

// Whatever a data file holds, what is read from it is written back and read the same.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const KExportData read = kexportdata::parse(kfuzz::bytes(data, size));
    const QByteArray written = kexportdata::serialize(read);
    if (kexportdata::serialize(kexportdata::parse(written)) != written)
        std::abort();
    return 0;
}
