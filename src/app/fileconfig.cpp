#include "app/fileconfig.h"

#include "app/module1.h"
#include "base/numbers.h"
#include "base/textlines.h"

#include <QFile>
#include <QSaveFile>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr const char* FileName = "vdcfg.cfg";
constexpr std::string_view Header = "VARDELO CONFIGURATION FILE V1.0";

std::string_view TrimBlanks(std::string_view s) {
    while (!s.empty() && s.front() == ' ')
        s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ')
        s.remove_suffix(1);
    return s;
}

// Characters first..first+count-1 (counted from 1) of a line, as far as the line goes.
std::string_view Window(std::string_view line, size_t first, size_t count) {
    if (line.size() < first) return {};
    return line.substr(first - 1, count);
}

std::vector<std::string> Lines(const QByteArray& content) {
    std::vector<std::string> lines;
    for (std::string_view line : SplitLines({content.constData(), static_cast<size_t>(content.size())}))
        lines.emplace_back(line);
    return lines;
}

void Write() {
    using namespace Module1;
    const std::string text = std::string(Header) + "\r\n" + "BAUDRATE=" + std::to_string(BaudRate) + "\r\n" +
                             "COMPORT=" + std::to_string(ComPort) + "\r\n" +
                             "LANGUAGE=" + std::to_string(Lingua) + "\r\n";
    // Written beside the old file and renamed over it, so a failed write never leaves a
    // damaged or missing file behind.
    QSaveFile file(QString::fromLatin1(FileName));
    if (!file.open(QIODevice::WriteOnly)) return;
    if (file.write(text.data(), static_cast<qint64>(text.size())) != static_cast<qint64>(text.size())) {
        file.cancelWriting();
        return;
    }
    file.commit();
}

void Read() {
    QFile file(QString::fromLatin1(FileName));
    if (!file.exists()) {
        Write();
        return;
    }
    if (!file.open(QIODevice::ReadOnly)) return;
    const std::vector<std::string> lines = Lines(file.readAll());
    file.close();
    if (lines.empty() || TrimBlanks(lines[0]) != Header) return;

    struct Key {
        std::string_view name;
        size_t first, count;
        int16_t& global;
    };
    const Key keys[] = {
        {"BAUDRATE=", 10, 10, Module1::BaudRate},
        {"COMPORT=", 9, 5, Module1::ComPort},
        {"LANGUAGE=", 10, 5, Module1::Lingua},
    };
    for (size_t i = 1; i < lines.size(); ++i) {
        const std::string_view line = TrimBlanks(lines[i]);
        for (const Key& key : keys) {
            if (line.substr(0, key.name.size()) != key.name) continue;
            const std::optional<int16_t> value = ToInt16(Val(Window(line, key.first, key.count)));
            if (!value) return; // a number past 16 bits ends the reading here
            key.global = *value;
        }
    }
}

} // namespace

void FileConfig(const std::string& mode) {
    if (mode == "read")
        Read();
    else if (mode == "write")
        Write();
}
