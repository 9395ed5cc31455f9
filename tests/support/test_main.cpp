#ifdef VARDELO_WIDGET_TESTS
#include <QApplication>
using TestApplication = QApplication;
#else
// The core's test programs: no widgets.
#include <QCoreApplication>
using TestApplication = QCoreApplication;
#endif
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // Data the program keeps (the editor's unsaved programs) go there too.
    QTemporaryDir data;
    qputenv("XDG_DATA_HOME", data.path().toLocal8Bit());
    TestApplication app(argc, argv);
    // The application's settings go to a directory of the run, never the user's own.
    QTemporaryDir settings;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings.path());
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
