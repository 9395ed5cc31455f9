// Placeholder until the configuration file lands: keeps the defaults.
#include "app/fileconfig.h"

void FileConfig(const std::string&) {}
