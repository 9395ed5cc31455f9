// Any reply bytes to any command code: the RX description never crashes.
#include "protocol/decoder.h"

#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    int code = data[0];
    std::string reply(reinterpret_cast<const char*>(data + 1), size - 1);
    for (int lingua : {1, 2, 3, 0})
        (void)DescribeReply(code, reply, lingua);
    return 0;
}
