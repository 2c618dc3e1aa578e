#include "output/UnoSupport.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>
#include <com/sun/star/util/XCloseable.hpp>
#include <cppuhelper/bootstrap.hxx>
#include <rtl/bootstrap.hxx>

namespace output::uno {

using css::uno::Reference;
using css::uno::UNO_QUERY;

rtl::OUString ToOUString(const QString& text) {
    return rtl::OUString(reinterpret_cast<const sal_Unicode*>(text.utf16()),
                         static_cast<sal_Int32>(text.size()));
}

QString ToQString(const rtl::OUString& text) {
    return QString(reinterpret_cast<const QChar*>(text.getStr()), text.getLength());
}

rtl::OUString FileUrl(const QString& path) {
    const QString absolute = QFileInfo(path).absoluteFilePath();
    return ToOUString(QUrl::fromLocalFile(absolute).toString(QUrl::FullyEncoded));
}

css::uno::Sequence<css::beans::PropertyValue> Properties(
    std::initializer_list<std::pair<const char*, css::uno::Any>> properties) {
    css::uno::Sequence<css::beans::PropertyValue> sequence(
        static_cast<sal_Int32>(properties.size()));
    css::beans::PropertyValue* out = sequence.getArray();
    for (const auto& [name, value] : properties) {
        out->Name = rtl::OUString::createFromAscii(name);
        out->Value = value;
        ++out;
    }
    return sequence;
}

Reference<css::uno::XComponentContext> LocalContext(const QString& programFolder, QString* detail) {
    // The runtime can be bootstrapped only once per process; a failed attempt (no office
    // installed) is tried again on the next use.
    static Reference<css::uno::XComponentContext> context;
    if (context.is())
        return context;
    const QString unorc = programFolder + QStringLiteral("/unorc");
    if (!QFileInfo::exists(unorc) || !QFileInfo::exists(programFolder + "/types/offapi.rdb")) {
        if (detail)
            *detail = QStringLiteral("no LibreOffice type libraries in %1").arg(programFolder);
        return {};
    }
    try {
        // The office's own bootstrap file resolves the type and service libraries.
        rtl::Bootstrap::set(rtl::OUString("URE_BOOTSTRAP"),
                            ToOUString(QStringLiteral("vnd.sun.star.pathname:") + programFolder +
                                       QStringLiteral("/fundamentalrc")));
        context = cppu::defaultBootstrap_InitialComponentContext(FileUrl(unorc));
    } catch (const css::uno::Exception& e) {
        if (detail)
            *detail = ExceptionText(e);
    }
    return context;
}

QString ExceptionText(const css::uno::Exception& exception) {
    return ToQString(exception.Message);
}

void CloseDocument(const Reference<css::lang::XComponent>& document) {
    if (!document.is())
        return;
    try {
        Reference<css::util::XCloseable> closeable(document, UNO_QUERY);
        if (closeable.is())
            closeable->close(true);
        else
            document->dispose();
    } catch (const css::uno::Exception&) {
        // The office went away or refused: nothing more can be done with the document.
    }
}

}  // namespace output::uno
