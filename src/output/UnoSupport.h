#pragma once

// Small helpers for code that speaks UNO to the office. Only the office layer, the template
// generator and the office tests include this: it pulls in the SDK's headers.

#include <QString>
#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/uno/Any.hxx>
#include <com/sun/star/uno/Reference.hxx>
#include <com/sun/star/uno/Sequence.hxx>
#include <com/sun/star/uno/XComponentContext.hpp>
#include <initializer_list>
#include <rtl/ustring.hxx>
#include <utility>

namespace css = ::com::sun::star;

namespace output::uno {

rtl::OUString ToOUString(const QString& text);
QString ToQString(const rtl::OUString& text);
// The file URL the office expects for a local path (relative paths are taken from the current
// folder).
rtl::OUString FileUrl(const QString& path);

// The arguments of loadComponentFromURL, storeToURL and the like.
css::uno::Sequence<css::beans::PropertyValue> Properties(
    std::initializer_list<std::pair<const char*, css::uno::Any>> properties);

// The UNO runtime of this process, which reaches the office over the bridge. Made once from
// the office's type libraries in `programFolder`; empty, with the reason in `detail`, when
// they cannot be read (the office is not installed).
css::uno::Reference<css::uno::XComponentContext> LocalContext(const QString& programFolder,
                                                              QString* detail);

// The message of an exception that crossed the bridge.
QString ExceptionText(const css::uno::Exception& exception);

// Closes an office document without questions; an office that went away is ignored.
void CloseDocument(const css::uno::Reference<css::lang::XComponent>& document);

}  // namespace output::uno
