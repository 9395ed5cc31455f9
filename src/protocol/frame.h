#pragma once
// The wire format shared by every window: value bytes, frames, checksum, hexadecimal text.
// Byte strings are std::string holding raw bytes.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace Module1 {

// 255 - (sum of the bytes modulo 256).
int16_t CheckSum(std::string_view bytes);
// 8 characters "0"/"1", bit 7 first; the low 8 bits of larger values.
std::string DecBin(int value);
// Character k (1..8) adds its numeric value times 2^(8-k); blanks at both ends dropped.
int BinDec(std::string_view text);
// One byte: (length of data mod 8) * 32 + (address mod 32).
std::string ByteHeader(std::string_view data, int address);
// " FC 21 01 E1": a blank and two upper-case digits per byte.
std::string StringaHex(std::string_view bytes);

} // namespace Module1

// StringaHex without its leading blank: "FC 21 01 E1".
std::string HexText(std::string_view bytes);

// Bytes spelled by a hexadecimal text at character positions 1, 4, 7, ... (a program line or
// a reply text). A pair that is not hexadecimal reads as its leading hex digit, or 0.
std::string BytesOfHexText(std::string_view text, size_t maxBytes = SIZE_MAX);

// Why a value could not be turned into bytes.
struct ValueError {
    std::string what; // e.g. "256 does not fit one byte (0..255)"
};

// The value bytes for a command of ntx bytes and kind tipo (0 plain, 2 second value as a byte,
// 3 zero-at-flight). Other combinations give no bytes. A value whose bytes do not fit is an error.
struct ValueBytesResult {
    std::string bytes;
    std::optional<ValueError> error;
};
ValueBytesResult ValueBytes(int ntx, int tipo, double parametro1, double parametro2);

// The four-byte two's-complement form of a value (most significant first), if it fits 32 bits.
std::optional<std::string> FourBytes(double value);

// Frame around command data: FC header data checksum, or for address 99 FC 00 L data checksum.
std::string BuildFrame(int address, std::string_view data);
// Frame without a broadcast form: address 99 gives an empty frame (the polled transactions).
std::string BuildPolledFrame(int address, std::string_view data);

// The whole frame of a command: code byte plus value bytes, framed for the address.
struct CommandFrame {
    std::string frame;
    std::optional<ValueError> error;
};
CommandFrame MakeCommandFrame(int address, int code, double parametro1, double parametro2, int ntx, int tipo);
