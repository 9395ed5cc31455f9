#pragma once
// The configuration file vdcfg.cfg in the working directory: port, baud rate and language.
#include <string>

// "read" loads the file into the globals (creating it when missing), "write" saves them.
// Any other mode does nothing. Never shows a message.
void FileConfig(const std::string& mode);
