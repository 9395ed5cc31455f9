// `cmake --install` into a temporary prefix puts every file where the desktop entry and the
// icon theme expect it (the package check starts the installed program).
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(Install, FilesLandWhereTheDesktopEntrySays) {
    QTemporaryDir prefix;
    ASSERT_TRUE(prefix.isValid());
    QProcess install;
    install.start("cmake", {"--install", VARDELO_BUILD_DIR, "--prefix", prefix.path()});
    ASSERT_TRUE(install.waitForFinished(120000));
    ASSERT_EQ(install.exitCode(), 0) << install.readAllStandardError().toStdString();

    const QDir root(prefix.path());
    const QString entry = root.filePath("share/applications/vardelo.desktop");
    ASSERT_TRUE(QFileInfo::exists(entry));

    const QSettings desktop(entry, QSettings::IniFormat);
    const QString exec = desktop.value("Desktop Entry/Exec").toString();
    ASSERT_FALSE(exec.isEmpty());
    QFileInfo program(root.filePath("bin/" + exec.section(' ', 0, 0)));
    EXPECT_TRUE(program.isExecutable()) << program.filePath().toStdString();
    EXPECT_TRUE(QFileInfo(root.filePath("bin/kmd-sim")).isExecutable());
    EXPECT_TRUE(QFileInfo(root.filePath("bin/vardelo-cli")).isExecutable());

    const QString icon = desktop.value("Desktop Entry/Icon").toString();
    EXPECT_TRUE(QFileInfo::exists(root.filePath("share/icons/hicolor/scalable/apps/" + icon + ".svg")));
    EXPECT_TRUE(QFileInfo::exists(root.filePath("share/icons/hicolor/64x64/apps/" + icon + ".png")));
    EXPECT_TRUE(QFileInfo::exists(root.filePath("share/doc/vardelo/README.md")));
    EXPECT_TRUE(QFileInfo::exists(root.filePath("share/doc/vardelo/LICENSE")));
}
