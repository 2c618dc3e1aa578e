#pragma once

#include <gtest/gtest.h>

#include <QFile>
#include <QMap>
#include <QTemporaryDir>

#include "citizens/Scanner.h"

// The scanner library's own test backend, and nothing else: a private configuration folder
// whose dll.conf names only "test", so that no real scanner and no network is ever probed.
// The library reads the folder's name once per process, so every test of a process uses
// the same folder; each object writes its settings there, read at the next start of the
// library: those of test.conf below, with `overrides` (e.g. "read-delay" "true") in place of
// the defaults.
namespace scanner_testing {

inline const QTemporaryDir& ConfigFolder() {
    static const QTemporaryDir folder;
    // No trailing ":": the library then reads this folder alone.
    static const bool set = qputenv("SANE_CONFIG_DIR", folder.path().toUtf8());
    Q_UNUSED(set);
    return folder;
}

class TestBackend {
public:
    explicit TestBackend(const QMap<QString, QString>& overrides = {}) {
        QMap<QString, QString> settings = {
            {"number_of_devices", "2"},
            {"mode", "Gray"},
            {"depth", "8"},
            {"hand-scanner", "false"},
            {"three-pass", "false"},
            {"three-pass-order", "RGB"},
            {"resolution_min", "1.0"},
            {"resolution_max", "1200.0"},
            {"resolution_quant", "1.0"},
            {"resolution", "50.0"},
            {"test-picture", "\"Color pattern\""},
            {"invert-endianess", "false"},
            {"read-limit", "false"},
            {"read-limit-size", "1"},
            {"read-delay", "false"},
            {"read-delay-duration", "1000"},
            {"read-status-code", "\"Default\""},
            {"fuzzy-parameters", "false"},
            {"ppl-loss", "0"},
            {"non-blocking", "false"},
            {"select-fd", "false"},
            {"enable-test-options", "false"},
            {"geometry_min", "0.0"},
            {"geometry_max", "200.0"},
            {"geometry_quant", "1.0"},
            {"tl_x", "0.0"},
            {"tl_y", "0.0"},
            {"br_x", "60.0"},
            {"br_y", "80.0"},
        };
        for (auto it = overrides.cbegin(); it != overrides.cend(); ++it)
            settings[it.key()] = it.value();
        QByteArray conf;
        for (auto it = settings.cbegin(); it != settings.cend(); ++it)
            conf += it.key().toUtf8() + ' ' + it.value().toUtf8() + '\n';
        Write("dll.conf", "test\n");
        Write("test.conf", conf);
    }

    // Whether the test backend is installed: it then lists its devices.
    static bool Installed() {
        TestBackend backend;
        citizens::ScannerSession session;
        QList<citizens::ScannerDevice> devices;
        return session.ListDevices(devices) && !devices.isEmpty();
    }

    // A configuration in which the library finds no scanner at all.
    void ListNothing() { Write("dll.conf", ""); }

private:
    void Write(const char* name, const QByteArray& content) {
        QFile file(ConfigFolder().filePath(QString::fromLatin1(name)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(content);
    }
};

}  // namespace scanner_testing

#define SKIP_WITHOUT_SANE_TEST_BACKEND()                                           \
    do {                                                                           \
        if (!scanner_testing::TestBackend::Installed())                            \
            GTEST_SKIP() << "the scanner library's test backend is not installed"; \
    } while (false)
