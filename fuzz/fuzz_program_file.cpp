// Any program file text: the loader never crashes, never writes outside the store, and what it
// stores saves and loads back the same.
#include "protocol/catalog.h"
#include "model/prgfile.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    PrgFileContent content = ParsePrgFile(text);
    if (!content.headerOk) return 0;
    // Lines holding line breaks cannot survive a file of lines; everything else must.
    for (const Program& p : content.store)
        for (const std::string& l : p)
            if (l.find_first_of("\r\n") != std::string::npos) return 0;
    PrgFileContent again = ParsePrgFile(FormatPrgFile(content.store));
    if (!again.headerOk) std::abort();
    for (int p = 0; p < NumPrograms; ++p)
        for (int l = 0; l < LinesPerProgram; ++l) {
            const std::string& a = content.store[p][l];
            const std::string& b = again.store[p][l];
            // A stored line that is blank-only or a marker look-alike may be read back differently.
            if (a != b && a.find_first_not_of(" \t") != std::string::npos && a.rfind("--", 0) != 0)
                std::abort();
        }
    return 0;
}
