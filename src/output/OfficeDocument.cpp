#include "output/OfficeDocument.h"

#include <QFileInfo>
#include <com/sun/star/document/MacroExecMode.hpp>
#include <com/sun/star/frame/XStorable.hpp>

#include "output/OfficeProcess.h"
#include "output/OfficeRun.h"

namespace output {

using css::uno::Any;
using css::uno::Reference;

namespace {

OfficeError::Kind NotOpenedKind(OfficeError::Application application) {
    return application == OfficeError::Application::Calc ? OfficeError::Kind::WorkbookNotOpened
                                                         : OfficeError::Kind::DocumentNotOpened;
}

}  // namespace

OfficeDocument::OfficeDocument(OfficeRun& run, OfficeError::Application application)
    : run_(run), application_(application) {}

OfficeDocument::~OfficeDocument() {
    close();
}

bool OfficeDocument::load(const QString& path, const char* factoryUrl) {
    close();
    error_ = {};
    path_ = path;
    if (!path.isEmpty() && !QFileInfo(path).isFile())
        return fail(NotOpenedKind(application_), path, QStringLiteral("no such file"));
    QString detail;
    const std::shared_ptr<OfficeProcess> office = run_.office(&detail);
    if (!office)
        return fail(OfficeError::Kind::OfficeNotStarted, path, detail);
    office_ = office;
    try {
        const rtl::OUString url =
            path.isEmpty() ? rtl::OUString::createFromAscii(factoryUrl) : uno::FileUrl(path);
        // Hidden: the office has no windows to show. As a template: the file is only read.
        component_ = office->desktop()->loadComponentFromURL(
            url, rtl::OUString("_blank"), 0,
            uno::Properties(
                {{"Hidden", Any(true)},
                 {"AsTemplate", Any(!path.isEmpty())},
                 {"MacroExecutionMode", Any(css::document::MacroExecMode::NEVER_EXECUTE)}}));
    } catch (const css::uno::Exception& e) {
        return fail(NotOpenedKind(application_), path, uno::ExceptionText(e));
    }
    if (!component_.is())
        return fail(NotOpenedKind(application_), path, QStringLiteral("not loaded"));
    return true;
}

bool OfficeDocument::store(const QString& fileName, const char* filter) {
    if (!isOpen())
        return false;
    try {
        Reference<css::frame::XStorable> storable(component_, css::uno::UNO_QUERY_THROW);
        storable->storeToURL(
            uno::FileUrl(fileName),
            uno::Properties({{"FilterName", Any(rtl::OUString::createFromAscii(filter))},
                             {"Overwrite", Any(true)}}));
        return true;
    } catch (const css::uno::Exception& e) {
        return fail(OfficeError::Kind::SaveFailed, fileName, uno::ExceptionText(e));
    }
}

void OfficeDocument::close() {
    if (component_.is() && officeRunning())
        uno::CloseDocument(component_);
    component_.clear();
}

bool OfficeDocument::fail(OfficeError::Kind kind, const QString& file, const QString& detail) {
    error_ = {kind, application_, file, detail};
    qWarning("LibreOffice: %s: %s", qUtf8Printable(file), qUtf8Printable(detail));
    close();
    return false;
}

bool OfficeDocument::callFailed(const css::uno::Exception& exception, bool disposed) {
    if (disposed || !officeRunning())
        return fail(OfficeError::Kind::OfficeFailed, path_, uno::ExceptionText(exception));
    return false;
}

bool OfficeDocument::officeRunning() const {
    const std::shared_ptr<OfficeProcess> office = office_.lock();
    return office && office->isRunning();
}

}  // namespace output
