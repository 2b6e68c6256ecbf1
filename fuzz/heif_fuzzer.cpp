#include "fuzz/fuzzhandler.h"
#include "plugins/imageformats/heif/heifhandler.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    return fuzzImageHandler<HeifHandler>(data, size);
}
