#pragma once
// The readable description of a read command's reply (the RX description field).
#include <string>

// Empty when the code is not a read command, the reply's length is not the expected one, or the
// language code is not 1, 2 or 3.
std::string DescribeReply(int code, const std::string& reply, int lingua);
