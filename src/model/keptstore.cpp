#include "model/keptstore.h"

#include "model/prgfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

std::vector<int> ChangedPrograms(const PrgStore& store, const PrgStore& reference) {
    std::vector<int> changed;
    for (int p = 0; p < NumPrograms; ++p)
        if (store[p] != reference[p]) changed.push_back(p);
    return changed;
}

std::string ProgramNumbersText(const std::vector<int>& programs) {
    std::string text;
    for (int p : programs)
        text += (text.empty() ? "" : ", ") + std::to_string(p);
    return text;
}

std::vector<int> NonEmptyPrograms(const PrgStore& store) {
    std::vector<int> programs;
    for (int p = 0; p < NumPrograms; ++p)
        for (const std::string& line : store[p])
            if (IsProgramLine(line)) {
                programs.push_back(p);
                break;
            }
    return programs;
}

std::string KeptStorePath() {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    return QDir(folder).filePath(QStringLiteral("programs-kept.txt")).toStdString();
}

std::optional<std::string> WriteKeptStore(const std::string& path, const PrgStore& store) {
    const QString folder = QFileInfo(QString::fromStdString(path)).absolutePath();
    if (!QDir().mkpath(folder)) return "cannot create the folder " + folder.toStdString();
    return SavePrgFile(path, store);
}

KeptStoreRead ReadKeptStore(const std::string& path) {
    KeptStoreRead result;
    QFile file(QString::fromStdString(path));
    if (!file.exists()) return result;
    result.status = KeptStoreRead::Status::Damaged;
    if (!file.open(QIODevice::ReadOnly)) {
        result.reason = file.errorString().toStdString();
        return result;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        result.reason = file.errorString().toStdString();
        return result;
    }
    const std::string text(bytes.constData(), static_cast<size_t>(bytes.size()));
    const PrgFileContent content = ParsePrgFile(text);
    // Written back, the store must give the very same bytes: a cut or altered file never passes.
    if (!content.headerOk || FormatPrgFile(content.store) != text) {
        result.reason = "not a complete program file";
        return result;
    }
    result.status = KeptStoreRead::Status::Found;
    result.store = content.store;
    return result;
}

std::optional<std::string> SetAsideKeptStore(const std::string& path) {
    const QString from = QString::fromStdString(path);
    const QString to = from + QStringLiteral(".damaged");
    QFile::remove(to);
    if (QFile::rename(from, to)) return to.toStdString();
    QFile::remove(from);
    return std::nullopt;
}
