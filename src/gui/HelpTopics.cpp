#include "gui/HelpTopics.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QDir>
#include <QPointer>
#include <QShortcut>

#include "gui/THelpForm.h"

namespace gui {

namespace {

// Created on the first request; it goes when the message loop ends, while the application
// object that every window needs still exists.
THelpForm& HelpWindow() {
    static QPointer<THelpForm> window;
    if (!window) {
        window = new THelpForm;
        QObject::connect(qApp, &QCoreApplication::aboutToQuit, qApp, [] { delete window.data(); });
    }
    return *window;
}

}  // namespace

QStringList AllHelpTopics() {
    QStringList topics;
    for (const char* page :
         {topic::kAbout, topic::kCitizenWithoutVisa, topic::kCitizenWithVisa,
          topic::kPaymentDocument, topic::kTerritories, topic::kCitizenSearch, topic::kPhoto,
          topic::kPermit, topic::kPermitSearch, topic::kOrganisation, topic::kPackage,
          topic::kPackageSearch, topic::kRegistrationAddress, topic::kRegion})
        topics << QString::fromLatin1(page);
    return topics;
}

QString HelpFilePath(const QString& startFolder) {
    return QDir(startFolder).filePath(QStringLiteral("veltar_help.chm"));
}

void ShowHelpTopic(const QString& startFolder, const QString& topic) {
    HelpWindow().showTopic(HelpFilePath(startFolder), topic);
}

void InstallHelp(QWidget* window, QAbstractButton* button, const QString& startFolder,
                 const QString& topic) {
    InstallHelp(window, button, startFolder, [topic] { return topic; });
}

void InstallHelp(QWidget* window, QAbstractButton* button, const QString& startFolder,
                 HelpTopicSource topic) {
    const auto showTopic = [startFolder, topic = std::move(topic)] {
        ShowHelpTopic(startFolder, topic());
    };
    // A window shortcut is matched before the focused control gets the key.
    auto* key = new QShortcut(QKeySequence(Qt::Key_F1), window);
    key->setObjectName(QStringLiteral("HelpKey"));
    key->setContext(Qt::WindowShortcut);
    QObject::connect(key, &QShortcut::activated, window, showTopic);
    if (button)
        QObject::connect(button, &QAbstractButton::clicked, window, showTopic);
}

void ConnectHelpButton(QAbstractButton* button, const QString& startFolder, const QString& topic) {
    QObject::connect(button, &QAbstractButton::clicked, button,
                     [startFolder, topic] { ShowHelpTopic(startFolder, topic); });
}

}  // namespace gui
