#include "ui/common/stopall.h"

#include "app/module1.h"
#include "line/driveline.h"
#include "ui/common/prompts.h"
#include "ui/common/texts.h"
#include "ui/main/form_main_texts.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QPushButton>

#include <utility>

namespace {
const Text3 kStopAll{"Ferma tutti i drive", "Stop all drives", "Alle Antriebe stoppen"};
const Text3 kSent{"STOP inviato a tutti i drive", "STOP sent to all drives",
                  "STOP an alle Antriebe gesendet"};
const Text3 kNotSent{"STOP NON inviato: ", "STOP NOT sent: ", "STOP NICHT gesendet: "};
} // namespace

StopAllDrives::StopAllDrives(DriveLine& line) : QObject(&line), line_(line), action_(new QAction(this)) {
    setObjectName("StopAllDrives");
    action_->setObjectName("VoceStopAll");
    connect(action_, &QAction::triggered, this, &StopAllDrives::trigger);
    // A filter on the application, not a shortcut: shortcuts of one window do not reach a modal
    // box or prompt, and a shortcut taken by a focused widget would never fire.
    qApp->installEventFilter(this);
    // A first frame held back for a drive's answer is told once it is out, or has failed.
    connect(&line_, &DriveLine::stopWritten, this, [this] {
        if (std::exchange(awaiting_, false)) emit reported(TextOrEnglish(kSent), true);
    });
    connect(&line_, &DriveLine::stopDone, this, [this](bool sent) {
        if (!sent && std::exchange(awaiting_, false)) failed(Outcome::LinkLost, line_.stopError());
    });
    setTexts();
}

StopAllDrives& StopAllDrives::Of(DriveLine& line) {
    if (auto* made = line.findChild<StopAllDrives*>(QString(), Qt::FindDirectChildrenOnly)) return *made;
    return *new StopAllDrives(line);
}

bool StopAllDrives::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress || static_cast<QKeyEvent*>(event)->key() != Qt::Key_F12)
        return QObject::eventFilter(watched, event);
    if (!static_cast<QKeyEvent*>(event)->isAutoRepeat()) trigger();
    return true; // taken here once: the key goes no further
}

void StopAllDrives::trigger() {
    awaiting_ = false;
    const Exchange ex = line_.stopAll({Module1::ComPort, Module1::BaudRate});
    if (ex.outcome == Outcome::Broadcast) {
        if (line_.stopFramesWritten() > 0)
            emit reported(TextOrEnglish(kSent), true);
        else
            awaiting_ = true;
        return;
    }
    if (ex.outcome == Outcome::Aborted) return; // the program is quitting
    failed(ex.outcome, ex.error);
}

void StopAllDrives::failed(Outcome outcome, const std::string& error) {
    const QString reason = QString::fromStdString(error);
    emit reported(TextOrEnglish(kNotSent) + reason, false);
    const Text3& opening = outcome == Outcome::OpenFailed ? MainTexts::PortFailed : MainTexts::LinkLost;
    UiPrompts().message(QApplication::activeWindow(), ErrorTitle(), MessageText(opening) + reason, true);
}

QPushButton* StopAllDrives::button(QWidget* parent) {
    auto* b = new QPushButton(parent);
    b->setObjectName("Command_StopAll");
    b->setAutoDefault(false);
    b->setStyleSheet("QPushButton { background-color: #c62828; color: white; font-weight: bold; }");
    b->setText(TextOrEnglish(kStopAll));
    b->setToolTip("F12");
    connect(b, &QPushButton::clicked, this, &StopAllDrives::trigger);
    buttons_.emplace_back(b);
    return b;
}

void StopAllDrives::setTexts() {
    action_->setText(TextOrEnglish(kStopAll) + "\tF12"); // the key is the filter's, shown as a shortcut
    for (const QPointer<QPushButton>& b : buttons_)
        if (b) b->setText(TextOrEnglish(kStopAll));
}
