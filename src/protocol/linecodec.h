#pragma once
// A program line: a command's code and data bytes as hexadecimal text ("A8 0F A0").
#include <string>

// Builds the line of a catalog command with its value (ntx = NtxCmd, tipo = TipoCmd or 0).
// Values are rounded to the nearest integer (halves to even). A code or value that does not fit
// its bytes gives an empty text instead of wrapped bytes; callers check the catalog limits first.
std::string StringaCmd(int comando, double parametro1, double parametro2, int tipoComando, int ntx);
// The description of a line in language `lingua` (1 Italian, 2 English, 3 German); NbytesCmd
// receives the catalog row's NtxCmd when the code is known. Reads at most 21 bytes of the line.
std::string DecodeCommand(const std::string& cmdStrHex, int lingua, int& nbytesCmd);
std::string DecodeCommand(const std::string& cmdStrHex, int lingua);
