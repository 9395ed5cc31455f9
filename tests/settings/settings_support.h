#pragma once
// Each test runs in a fresh empty working directory, where vdcfg.cfg lives.
#include "app/module1.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <string>

class InTempDir : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        old_ = QDir::currentPath();
        ASSERT_TRUE(QDir::setCurrent(dir_.path()));
        Module1::ResetGlobals();
    }
    void TearDown() override {
        QDir::setCurrent(old_);
        Module1::ResetGlobals();
    }
    static void WriteFile(const std::string& content) {
        QFile f("vdcfg.cfg");
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(content.data(), static_cast<qint64>(content.size()));
    }
    static std::string ReadFile() {
        QFile f("vdcfg.cfg");
        if (!f.open(QIODevice::ReadOnly)) return "<missing>";
        return f.readAll().toStdString();
    }

  private:
    QTemporaryDir dir_;
    QString old_;
};
