#pragma once
// The program editor's history: undo and redo of every change of the store, the programs changed
// since the last file or drive state, and the store kept on disk after each change.
#include "model/prgstore.h"

#include <QObject>
#include <QUndoStack>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class PrgHistory : public QObject {
    Q_OBJECT
  public:
    // Steps kept for undo; the oldest go beyond this.
    static constexpr int UndoLimit = 500;

    // `store` is the editor's store; `show` puts program p on show after an undo or redo.
    // `keptPath` is where the store is kept ("" keeps nothing).
    PrgHistory(PrgStore& store, std::function<void(int program)> show, std::string keptPath,
               QObject* parent = nullptr);

    QUndoStack& Stack() { return stack_; }

    // Ends an operation that began with the store as `before`: when the store differs, one undo
    // step holds the change and the store is kept on disk.
    void Record(const PrgStore& before);

    // The store (or one program of it) now matches a file or a drive.
    void MarkClean() {
        clean_ = store_;
        emit changed();
    }
    void MarkClean(int program);
    std::vector<int> ChangedPrograms() const;
    bool Modified() const { return !ChangedPrograms().empty(); }

    // Writes the kept store now; the reason when that failed.
    std::optional<std::string> Keep();
    // Drops the kept store when this session wrote it and every program is saved or on a drive:
    // nothing in it would be lost. A store kept by an earlier session and not taken stays.
    void ForgetKept();
    const std::string& KeptPath() const { return keptPath_; }

  signals:
    // The store or its clean state changed: the title and the kept store follow.
    void changed();
    // Keeping the store failed (reported once per failure streak).
    void keepFailed(const QString& reason);

  private:
    friend class StoreStep;
    // Puts the programs of a step into the store and shows the first of them.
    void Apply(const std::vector<int>& programs, const std::vector<Program>& lines);

    PrgStore& store_;
    PrgStore clean_;
    std::function<void(int)> show_;
    std::string keptPath_;
    bool keepFailing_ = false;
    bool kept_ = false; // this session wrote the kept store
    QUndoStack stack_;
};

// Records what the handler it lives in did to the store as one undo step.
class ChangeScope {
  public:
    ChangeScope(PrgHistory& history, const PrgStore& store) : history_(history), before_(store) {}
    ~ChangeScope() { history_.Record(before_); }
    ChangeScope(const ChangeScope&) = delete;
    ChangeScope& operator=(const ChangeScope&) = delete;

  private:
    PrgHistory& history_;
    const PrgStore before_;
};
