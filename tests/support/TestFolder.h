#pragma once

#include <QString>
#include <QTemporaryDir>

// A fresh temporary folder made the working folder for the life of the object, as the
// program's start folder is; the previous working folder comes back afterwards.
class TestFolder {
public:
    TestFolder();
    ~TestFolder();
    TestFolder(const TestFolder&) = delete;
    TestFolder& operator=(const TestFolder&) = delete;

    const QString& path() const { return path_; }
    QString file(const QString& name) const { return path_ + QLatin1Char('/') + name; }

    // Copies a file of tests/data into the folder, under `as` or its own name.
    void copyFixture(const QString& fixture, const QString& as = {}) const;
    // Writes bytes into a file of the folder.
    void write(const QString& name, const QByteArray& bytes) const;
    QByteArray read(const QString& name) const;

private:
    QTemporaryDir dir_;
    QString path_;
    QString previous_;
};

// The path of a file of tests/data.
QString FixturePath(const QString& name);
