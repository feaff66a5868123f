// The libFuzzer entry of one target; QM_FUZZ_TARGET names its function.

#include "FuzzTargets.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    qmfuzz::Prepare();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // A copy, not a view: readers may keep the bytes they were given.
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    qmfuzz::QM_FUZZ_TARGET(bytes);
    return 0;
}
