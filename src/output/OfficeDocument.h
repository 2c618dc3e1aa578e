#pragma once

#include <QString>
#include <com/sun/star/lang/DisposedException.hpp>
#include <memory>

#include "output/OfficeError.h"
#include "output/UnoSupport.h"

namespace output {

class OfficeProcess;
class OfficeRun;

// What a workbook and a document object share: the document loaded in the office of the run,
// the first failure that ended it, and the guard that turns exceptions from the bridge into
// failures.
class OfficeDocument {
public:
    OfficeDocument(OfficeRun& run, OfficeError::Application application);
    ~OfficeDocument();
    OfficeDocument(const OfficeDocument&) = delete;
    OfficeDocument& operator=(const OfficeDocument&) = delete;

    // Loads `path` as a template (its file stays untouched), or a new document of
    // `factoryUrl` when the path is empty. A missing or unreadable file fails with
    // `notOpened`, an office that does not start with OfficeNotStarted.
    bool load(const QString& path, const char* factoryUrl);
    // Writes the document to `fileName` through the export filter, replacing a file there.
    // A failure closes the document.
    bool store(const QString& fileName, const char* filter);
    void close();

    bool isOpen() const { return component_.is(); }
    const css::uno::Reference<css::lang::XComponent>& component() const { return component_; }
    const OfficeError& error() const { return error_; }

    // Ends the document with the failure; always false.
    bool fail(OfficeError::Kind kind, const QString& file, const QString& detail);

    // Runs `operation` on the open document. An exception fails the call; when the office or
    // the document went away with it, the document is ended.
    template <typename Operation>
    bool guard(Operation&& operation) {
        if (!isOpen())
            return false;
        try {
            operation();
            return true;
        } catch (const css::lang::DisposedException& e) {
            return callFailed(e, true);
        } catch (const css::uno::Exception& e) {
            return callFailed(e, false);
        }
    }

private:
    bool callFailed(const css::uno::Exception& exception, bool disposed);
    bool officeRunning() const;

    OfficeRun& run_;
    OfficeError::Application application_;
    std::weak_ptr<OfficeProcess> office_;
    css::uno::Reference<css::lang::XComponent> component_;
    QString path_;
    OfficeError error_;
};

}  // namespace output
