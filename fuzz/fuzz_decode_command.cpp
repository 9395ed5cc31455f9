// Any program line (hand-edited files reach the decoder unchecked): describing it never crashes
// and reads at most 21 bytes.
#include "app/module1.h"
#include "protocol/catalog.h"
#include "protocol/linecodec.h"

#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    [[maybe_unused]] static const bool ready = (Module1::InitComandi(), true);
    std::string line(reinterpret_cast<const char*>(data), size);
    for (int16_t lingua : {1, 2, 3, 7}) {
        Module1::Lingua = lingua;
        int n = -1;
        (void)DecodeCommand(line, 1 + (size % 3), n);
    }
    return 0;
}
