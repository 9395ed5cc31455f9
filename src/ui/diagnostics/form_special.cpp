#include "ui/diagnostics/form_special.h"

#include "app/module1.h"
#include "jobs/special_tests.h"
#include "ui/common/prompts.h"
#include "ui/common/stopall.h"

#include <QCloseEvent>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QPointer<Form_SPECIAL> g_window;

QString Shown(const std::string& text) {
    QString s = QString::fromStdString(text);
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return s;
}

// The drive picked in the main window, on the port of the settings: each test keeps it to its end.
DriveAt CurrentDrive() {
    return {{Module1::ComPort, Module1::BaudRate}, Module1::Indirizzo};
}

} // namespace

void ShowDiagnostics(QWidget* /*owner*/, DriveLine& line) {
    // A window of its own, not a child of the main window: it must outlive nothing it waits on.
    if (!g_window) g_window = new Form_SPECIAL(line);
    g_window->show();
    g_window->raise();
    g_window->activateWindow();
}

Form_SPECIAL* DiagnosticsWindow() {
    return g_window.data();
}

Form_SPECIAL::Form_SPECIAL(DriveLine& line, QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("Form_SPECIAL"));
    setWindowTitle(QStringLiteral("SPECIAL"));
    setAttribute(Qt::WA_DeleteOnClose);

    auto makeButton = [this](const char* name, const char* text) {
        auto* b = new QPushButton(QString::fromLatin1(text), this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        b->setMinimumWidth(110);
        return b;
    };
    Command_Loop = makeButton("Command_Loop", "Test loop");
    Command_testenc = makeButton("Command_testenc", "Test Encoder");
    Command_teststep = makeButton("Command_teststep", "Test Step");
    Command_Stop = makeButton("Command_Stop", "Stop");

    Text1 = new QPlainTextEdit(QStringLiteral("Text1"), this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setReadOnly(true);
    Text1->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    Text1->setMinimumSize(360, 140);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Command_Loop);
    buttons->addWidget(Command_testenc);
    buttons->addWidget(Command_teststep);
    buttons->addSpacing(16);
    buttons->addStretch(1);
    buttons->addWidget(Command_Stop);
    buttons->addWidget(StopAllDrives::Of(line).button(this));
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(Text1, 1);

    QPointer<QPlainTextEdit> text = Text1;
    tests_ = std::make_shared<SpecialTests>(line, [text](const std::string& s) {
        if (text) text->setPlainText(Shown(s));
    });

    connect(Command_Loop, &QPushButton::clicked, this, &Form_SPECIAL::Command_Loop_Click);
    connect(Command_testenc, &QPushButton::clicked, this, &Form_SPECIAL::Command_testenc_Click);
    connect(Command_teststep, &QPushButton::clicked, this, &Form_SPECIAL::Command_teststep_Click);
    connect(Command_Stop, &QPushButton::clicked, this, &Form_SPECIAL::Command_Stop_Click);
}

Form_SPECIAL::~Form_SPECIAL() {
    // Should the window go while a test waits, the test ends after its current transaction.
    tests_->requestStop();
}

template <typename Run> void Form_SPECIAL::runTest(Run run) {
    std::shared_ptr<SpecialTests> tests = tests_;
    QPointer<Form_SPECIAL> self = this;
    SpecialTests::End end = run(*tests);
    if (end == SpecialTests::End::Busy) {
        UiPrompts().beep();
        return;
    }
    if (self && self->closePending_) self->close();
}

void Form_SPECIAL::Command_testenc_Click() {
    runTest([](SpecialTests& t) { return t.RunEncoderTest(CurrentDrive()); });
}

void Form_SPECIAL::Command_Loop_Click() {
    runTest([](SpecialTests& t) { return t.RunLoop(CurrentDrive()); });
}

void Form_SPECIAL::Command_teststep_Click() {
    runTest([](SpecialTests& t) { return t.RunStepTest(CurrentDrive()); });
}

void Form_SPECIAL::Command_Stop_Click() {
    tests_->requestStop();
}

void Form_SPECIAL::closeEvent(QCloseEvent* event) {
    if (tests_->running()) {
        // Never go away under a wait: stop the test, and close once it has ended.
        tests_->requestStop();
        closePending_ = true;
        event->ignore();
        return;
    }
    event->accept();
}
