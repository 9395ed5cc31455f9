#pragma once
// Reading programs back from a drive, program by program, for read-programs and verify: an
// absent drive is noticed at its first unanswered read, not after every program's full wait.
#include "jobs/transfer.h"

#include <string>

// How long a read looks for the drive's first byte, per look (11 looks): an absent drive is
// given up after about 3 s, while a present one answers within the first 50 ms.
constexpr double ShortReadSeconds = 0.2;

struct ProgramRead {
    enum class Kind {
        Answered,    // `instring` holds the reply ("15" for an empty program)
        NoAnswer,    // nothing at all came back
        PortTrouble, // the port could not be opened or was lost (the report knows why)
        Interrupted, // the program is quitting
    };
    Kind kind = Kind::NoAnswer;
    std::string instring; // hex text, as the transfer's replies
    int reads = 0;        // "read program" frames sent
    bool agreed = true;   // ReadProgramAgreed: two reads gave the same reply
};

// One read of `program` (F2 p). A reply long enough to have run into the short look's bound is
// read again with the full time, so a long program is never taken cut short.
ProgramRead ReadProgramOnce(const TransferIo& io, int program);
// Reads `program` until two replies agree, at most three times; stops at the first read that
// gets no answer or meets port trouble.
ProgramRead ReadProgramAgreed(const TransferIo& io, int program);
