#include "ui/common/prompts.h"

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>

namespace {

class QtPrompts : public Prompts {
  public:
    void message(QWidget* parent, const QString& title, const QString& text, bool error) override {
        QMessageBox box(error ? QMessageBox::Warning : QMessageBox::NoIcon, title, text, QMessageBox::Ok,
                        parent);
        box.exec();
    }
    bool question(QWidget* parent, const QString& title, const QString& text) override {
        return QMessageBox::question(parent, title, text, QMessageBox::Yes | QMessageBox::No) ==
               QMessageBox::Yes;
    }
    bool questionDefaultNo(QWidget* parent, const QString& title, const QString& text) override {
        return QMessageBox::question(parent, title, text, QMessageBox::Yes | QMessageBox::No,
                                     QMessageBox::No) == QMessageBox::Yes;
    }
    QString input(QWidget* parent, const QString& prompt, const QString& title) override {
        bool ok = false;
        QString text = QInputDialog::getText(parent, title, prompt, QLineEdit::Normal, QString(), &ok);
        return ok ? text : QString();
    }
    void beep() override { QApplication::beep(); }
    QString openFileName(QWidget* parent, const QString& filter) override {
        return QFileDialog::getOpenFileName(parent, QString(), QString(), filter);
    }
    QString saveFileName(QWidget* parent, const QString& filter) override {
        return QFileDialog::getSaveFileName(parent, QString(), QString(), filter);
    }
    bool printDialog(QWidget* parent, QPrinter& printer) override {
        QPrintDialog dialog(&printer, parent);
        return dialog.exec() == QDialog::Accepted;
    }
    void printPreview(QWidget* parent, QPrinter& printer,
                      const std::function<void(QPrinter*)>& paint) override {
        QPrintPreviewDialog dialog(&printer, parent);
        QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog, paint);
        dialog.exec();
    }
    int runDialog(QDialog& dialog) override { return dialog.exec(); }
};

Prompts* g_override = nullptr;

} // namespace

Prompts& UiPrompts() {
    static QtPrompts qt;
    return g_override ? *g_override : qt;
}

void SetUiPrompts(Prompts* prompts) {
    g_override = prompts;
}
