#include "fuzz/fuzzhandler.h"
#include "plugins/imageformats/raw/rawhandler.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    return fuzzImageHandler<RawHandler>(data, size);
}
