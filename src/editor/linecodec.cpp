// Placeholder until the codec lands.
#include "editor/linecodec.h"

std::string StringaCmd(int, double, double, int, int) { return {}; }
std::string DecodeCommand(const std::string&, int&) { return {}; }
std::string DecodeCommand(const std::string& s) {
    int n = 0;
    return DecodeCommand(s, n);
}
