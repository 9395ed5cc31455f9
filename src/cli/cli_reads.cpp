#include "cli/cli_reads.h"

#include "model/replyscan.h"

#include <QElapsedTimer>
#include <algorithm>

namespace {

std::string ReadCommand(int program) {
    return {static_cast<char>(0xF2), static_cast<char>(program)};
}

ProgramRead Exchanged(const PolledExchange& ex) {
    ProgramRead r;
    r.reads = 1;
    r.instring = ex.instring;
    switch (ex.outcome) {
    case Outcome::OpenFailed:
    case Outcome::LinkLost:
        r.kind = ProgramRead::Kind::PortTrouble;
        break;
    case Outcome::Aborted:
        r.kind = ProgramRead::Kind::Interrupted;
        break;
    default:
        r.kind = ex.instring.empty() ? ProgramRead::Kind::NoAnswer : ProgramRead::Kind::Answered;
    }
    return r;
}

// A reply that can stand as it came: a whole program or the empty program's 15h.
bool Settled(const std::string& instring) {
    return instring == "15" || ScanProgramReply(instring).ready();
}

} // namespace

ProgramRead ReadProgramOnce(const TransferIo& io, int program) {
    QElapsedTimer clock;
    clock.start();
    PolledExchange ex = EepromExchange(io, ReadCommand(program), ShortReadSeconds, {}, ReplyEnd::QuietGap);
    const double look = (EepromTimeout::FirstLook + ShortReadSeconds) * io.line->waitScale();
    const bool mayBeCut = ex.outcome == Outcome::Reply && !ex.instring.empty() && ex.instring != "15" &&
                          static_cast<double>(clock.nsecsElapsed()) / 1e9 >= look;
    if (!mayBeCut) return Exchanged(ex);
    io.line->unsettle(); // the rest of the reply is not the next read's answer
    ProgramRead again =
        Exchanged(EepromExchange(io, ReadCommand(program), EepromTimeout::Read, {}, ReplyEnd::QuietGap));
    again.reads = 2;
    return again;
}

ProgramRead ReadProgramAgreed(const TransferIo& io, int program) {
    std::vector<std::string> seen;
    int reads = 0;
    while (seen.size() < 3) {
        ProgramRead r = ReadProgramOnce(io, program);
        reads += r.reads;
        r.reads = reads;
        if (r.kind != ProgramRead::Kind::Answered) return r;
        if (!Settled(r.instring)) io.line->unsettle();
        if (std::find(seen.begin(), seen.end(), r.instring) != seen.end()) return r;
        seen.push_back(r.instring);
    }
    ProgramRead differ;
    differ.kind = ProgramRead::Kind::Answered;
    differ.instring = seen.back();
    differ.reads = reads;
    differ.agreed = false;
    return differ;
}
