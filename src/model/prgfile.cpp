#include "model/prgfile.h"

#include "base/textlines.h"

#include <QFile>
#include <QSaveFile>
#include <QString>
#include <algorithm>

namespace {

constexpr const char* Eol = "\r\n";
constexpr int NoProgram = -1;
constexpr int ProgramAboveStore = -2;

// The number formed by every decimal digit of the line, in order; large numbers are capped since
// anything above 16 is only counted.
int ProgramNumber(std::string_view line) {
    int n = 0;
    for (char c : line)
        if (c >= '0' && c <= '9') n = std::min(n * 10 + (c - '0'), 100000);
    return n;
}

} // namespace

std::string FormatPrgFile(const PrgStore& store) {
    std::string out = std::string(PrgFileHeader) + Eol;
    for (int p = 0; p < NumPrograms; ++p) {
        out += "--PRG" + std::to_string(p) + "--" + Eol;
        for (const std::string& line : store[p])
            if (!line.empty()) out += line + Eol;
        out += std::string("--ENDPRG--") + Eol;
    }
    return out;
}

PrgFileContent ParsePrgFile(std::string_view text) {
    PrgFileContent result;
    int program = NoProgram;
    int index = 0;
    int lineNo = -1;
    for (std::string_view line : SplitLines(text)) {
        ++lineNo;
        if (lineNo == 0) {
            if (line != PrgFileHeader) {
                result.headerOk = false;
                return result;
            }
            continue;
        }
        if (line.empty()) continue;
        if (line.size() >= 6 && line.substr(0, 5) == "--PRG") {
            int n = ProgramNumber(line);
            program = n < NumPrograms ? n : ProgramAboveStore;
            index = 0;
            continue;
        }
        if (line == "--ENDPRG--") continue;
        if (program == NoProgram) continue;
        if (program == ProgramAboveStore) {
            ++result.skippedHighProgram;
        } else if (index >= LinesPerProgram) {
            ++result.skippedPastEnd;
        } else {
            result.store[program][index++] = std::string(line);
        }
    }
    return result;
}

std::string SkippedLinesText(const PrgFileContent& content) {
    std::string text;
    if (content.skippedHighProgram > 0)
        text += std::to_string(content.skippedHighProgram) + " line(s) of programs above 16 skipped\r\n";
    if (content.skippedPastEnd > 0)
        text += std::to_string(content.skippedPastEnd) + " line(s) past line 51 of a program skipped\r\n";
    return text;
}

std::optional<std::string> SavePrgFile(const std::string& path, const PrgStore& store) {
    QSaveFile file(QString::fromStdString(path));
    // Unbuffered: a buffered write that fails only when flushed at commit goes unnoticed, and the
    // short file would replace the old one.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) return file.errorString().toStdString();
    const std::string text = FormatPrgFile(store);
    if (file.write(text.data(), static_cast<qint64>(text.size())) != static_cast<qint64>(text.size()) ||
        file.error() != QFileDevice::NoError) {
        std::string reason = file.errorString().toStdString();
        file.cancelWriting();
        return reason;
    }
    if (!file.commit()) return file.errorString().toStdString();
    return std::nullopt;
}

PrgFileLoad LoadPrgFile(const std::string& path) {
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly)) return {std::nullopt, file.errorString().toStdString()};
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) return {std::nullopt, file.errorString().toStdString()};
    return {ParsePrgFile(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size()))), {}};
}
