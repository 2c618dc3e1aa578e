#include "support/TestFolder.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

TestFolder::TestFolder() : path_(dir_.path()), previous_(QDir::currentPath()) {
    // The program names files by the canonical start folder.
    path_ = QFileInfo(path_).canonicalFilePath();
    QDir::setCurrent(path_);
}

TestFolder::~TestFolder() {
    QDir::setCurrent(previous_);
}

void TestFolder::copyFixture(const QString& fixture, const QString& as) const {
    const QString target = file(as.isEmpty() ? QFileInfo(fixture).fileName() : as);
    QDir().mkpath(QFileInfo(target).path());
    ASSERT_TRUE(QFile::copy(FixturePath(fixture), target)) << fixture.toStdString();
    QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner);
}

void TestFolder::write(const QString& name, const QByteArray& bytes) const {
    QDir().mkpath(QFileInfo(file(name)).path());
    QFile out(file(name));
    ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
    out.write(bytes);
}

QByteArray TestFolder::read(const QString& name) const {
    QFile in(file(name));
    return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
}

QString FixturePath(const QString& name) {
    return QStringLiteral(VELTAR_TEST_DATA_DIR) + QLatin1Char('/') + name;
}
