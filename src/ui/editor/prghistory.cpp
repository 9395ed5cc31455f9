#include "ui/editor/prghistory.h"

#include "model/keptstore.h"

#include <QFile>
#include <QUndoCommand>

// One change of the store: the programs it touched, as they were before and after. Only changed
// programs are held, so hundreds of steps cost little.
class StoreStep : public QUndoCommand {
  public:
    StoreStep(PrgHistory& history, const PrgStore& before, const PrgStore& after,
              const std::vector<int>& programs)
        : history_(history), programs_(programs) {
        for (int p : programs) {
            before_.push_back(before[p]);
            after_.push_back(after[p]);
        }
    }
    void undo() override { history_.Apply(programs_, before_); }
    void redo() override {
        // Pushed after the change was made: the first redo has nothing to do.
        if (done_) {
            done_ = false;
            return;
        }
        history_.Apply(programs_, after_);
    }

  private:
    PrgHistory& history_;
    std::vector<int> programs_;
    std::vector<Program> before_, after_;
    bool done_ = true;
};

PrgHistory::PrgHistory(PrgStore& store, std::function<void(int program)> show, std::string keptPath,
                       QObject* parent)
    : QObject(parent), store_(store), clean_(store), show_(std::move(show)), keptPath_(std::move(keptPath)) {
    stack_.setUndoLimit(UndoLimit);
}

void PrgHistory::Record(const PrgStore& before) {
    const std::vector<int> programs = ::ChangedPrograms(before, store_);
    if (programs.empty()) {
        emit changed(); // the clean state may have moved
        return;
    }
    stack_.push(new StoreStep(*this, before, store_, programs));
    Keep();
    emit changed();
}

void PrgHistory::Apply(const std::vector<int>& programs, const std::vector<Program>& lines) {
    for (size_t i = 0; i < programs.size(); ++i)
        store_[programs[i]] = lines[i];
    if (!programs.empty()) show_(programs.front());
    Keep();
    emit changed();
}

void PrgHistory::MarkClean(int program) {
    clean_[program] = store_[program];
    emit changed();
}

std::vector<int> PrgHistory::ChangedPrograms() const {
    return ::ChangedPrograms(store_, clean_);
}

std::optional<std::string> PrgHistory::Keep() {
    if (keptPath_.empty()) return std::nullopt;
    std::optional<std::string> error = WriteKeptStore(keptPath_, store_);
    if (error && !keepFailing_) emit keepFailed(QString::fromStdString(keptPath_ + ": " + *error));
    keepFailing_ = error.has_value();
    kept_ = kept_ || !error;
    return error;
}

void PrgHistory::ForgetKept() {
    if (!keptPath_.empty() && kept_ && !Modified()) QFile::remove(QString::fromStdString(keptPath_));
}
