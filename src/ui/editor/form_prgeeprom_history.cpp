// The program editor's undo and redo, its changed-programs mark and the store kept between
// sessions.
#include "model/keptstore.h"
#include "ui/common/prompts.h"
#include "ui/common/texts.h"
#include "ui/editor/form_prgeeprom.h"
#include "ui/editor/prghistory.h"

#include <QKeySequence>
#include <QPushButton>
#include <QShortcut>

namespace {

const Text3 UndoText{"Annulla", "Undo",
                     "R\xc3\xbc"
                     "ckg\xc3\xa4ngig"};
const Text3 RedoText{"Ripeti", "Redo", "Wiederholen"};
const Text3 ChangedText{"Programmi modificati: ", "Changed programs: ", "Ge\xc3\xa4nderte Programme: "};
const Text3 KeptQuestion{
    "Sono stati conservati programmi non salvati di una sessione precedente (programmi %1). Ripristinarli?",
    "Unsaved programs of an earlier session were kept (programs %1). Restore them?",
    "Ungespeicherte Programme einer fr\xc3\xbc"
    "heren Sitzung wurden aufbewahrt (Programme %1). Wiederherstellen?"};
const Text3 KeptDamaged{"I programmi conservati non sono leggibili e sono stati messi da parte: ",
                        "The kept programs cannot be read and were set aside: ",
                        "Die aufbewahrten Programme sind nicht lesbar und wurden beiseitegelegt: "};
const Text3 KeepFailed{"Impossibile conservare i programmi in ", "Cannot keep the programs in ",
                       "Programme k\xc3\xb6nnen nicht aufbewahrt werden in "};

} // namespace

void Form_PrgEeprom::BuildHistory() {
    history_ = new PrgHistory(
        grid_.PrgLines, [this](int p) { ShowChangedPrg(p); }, KeptStorePath(), this);
    QUndoStack& stack = history_->Stack();
    Command_Undo->setEnabled(false);
    Command_Redo->setEnabled(false);
    connect(&stack, &QUndoStack::canUndoChanged, Command_Undo, &QPushButton::setEnabled);
    connect(&stack, &QUndoStack::canRedoChanged, Command_Redo, &QPushButton::setEnabled);
    connect(history_, &PrgHistory::changed, this, &Form_PrgEeprom::UpdateTitle);
    connect(history_, &PrgHistory::keepFailed, this, [this](const QString& reason) {
        AppendStatus((TextOrEnglish(KeepFailed) + reason + "\r\n").toStdString());
    });
    const struct {
        QKeySequence keys;
        void (Form_PrgEeprom::*handler)();
    } keys[] = {{QKeySequence(Qt::CTRL | Qt::Key_Z), &Form_PrgEeprom::Undo},
                {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), &Form_PrgEeprom::Redo},
                {QKeySequence(Qt::CTRL | Qt::Key_Y), &Form_PrgEeprom::Redo}};
    for (const auto& k : keys)
        connect(new QShortcut(k.keys, this), &QShortcut::activated, this, k.handler);
}

void Form_PrgEeprom::ShowChangedPrg(int p) {
    grid_.PrgActive = static_cast<int16_t>(p);
    ShowPrg(p);
}

void Form_PrgEeprom::SetHistoryTexts() {
    SetControlText(Command_Undo, ForLanguage(UndoText).value_or(Command_Undo->text()));
    SetControlText(Command_Redo, ForLanguage(RedoText).value_or(Command_Redo->text()));
}

QString Form_PrgEeprom::ChangedProgramsLine() const {
    const std::vector<int> changed = history_->ChangedPrograms();
    if (changed.empty()) return {};
    return "\n" + TextOrEnglish(ChangedText) + QString::fromStdString(ProgramNumbersText(changed));
}

void Form_PrgEeprom::Undo() {
    if (!StoreFree()) return;
    history_->Stack().undo();
}

void Form_PrgEeprom::Redo() {
    if (!StoreFree()) return;
    history_->Stack().redo();
}

void Form_PrgEeprom::OfferKeptStore() {
    const std::string& path = history_->KeptPath();
    if (path.empty() || !NonEmptyPrograms(grid_.PrgLines).empty()) return;
    const KeptStoreRead kept = ReadKeptStore(path);
    if (kept.status == KeptStoreRead::Status::Missing) return;
    if (kept.status == KeptStoreRead::Status::Damaged) {
        const std::optional<std::string> aside = SetAsideKeptStore(path);
        UiPrompts().message(this, ErrorTitle(),
                            TextOrEnglish(KeptDamaged) + QString::fromStdString(aside.value_or(path)) + "\n" +
                                QString::fromStdString(kept.reason),
                            true);
        return;
    }
    const std::vector<int> programs = NonEmptyPrograms(kept.store);
    if (programs.empty()) return;
    const QString numbers = QString::fromStdString(ProgramNumbersText(programs));
    if (!UiPrompts().questionDefaultNo(this, AppTitle, TextOrEnglish(KeptQuestion).arg(numbers))) return;
    ChangeScope change(*history_, grid_.PrgLines);
    grid_.PrgLines = kept.store;
    ShowChangedPrg(programs.front());
}
