// Any hand-edited configuration file: reading it never crashes and the program always starts
// with 16-bit values in its settings.
#include "app/fileconfig.h"
#include "app/module1.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    [[maybe_unused]] static const bool ready = [] {
        auto dir =
            std::filesystem::temp_directory_path() / ("vardelo-fuzz-config-" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir);
        std::filesystem::current_path(dir);
        return true;
    }();
    if (FILE* f = std::fopen("vdcfg.cfg", "wb")) {
        std::fwrite(data, 1, size, f);
        std::fclose(f);
    }
    Module1::ResetGlobals();
    FileConfig("read");
    return 0;
}
