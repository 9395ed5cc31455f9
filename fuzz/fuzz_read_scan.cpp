// Any reply to "read program": the scanner never crashes and its lines stay within the reply.
#include "protocol/catalog.h"
#include "model/replyscan.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    [[maybe_unused]] static const bool ready = (Module1::InitComandi(), true);
    std::string instring(reinterpret_cast<const char*>(data), size);
    ProgramScan scan = ScanProgramReply(instring);
    size_t total = 0;
    for (const std::string& line : scan.lines)
        total += line.size();
    if (total > instring.size()) std::abort();
    return 0;
}
