#include "output/WordAccessCore.h"

#include <com/sun/star/container/XNameAccess.hpp>
#include <com/sun/star/container/XNamed.hpp>
#include <com/sun/star/lang/XMultiServiceFactory.hpp>
#include <com/sun/star/text/XBookmarksSupplier.hpp>
#include <com/sun/star/text/XText.hpp>
#include <com/sun/star/text/XTextContent.hpp>
#include <com/sun/star/text/XTextCursor.hpp>
#include <com/sun/star/text/XTextDocument.hpp>

#include "output/OfficeDocument.h"

namespace output {

using css::uno::Reference;
using css::uno::UNO_QUERY;
using css::uno::UNO_QUERY_THROW;

struct WordAccessCore::Impl {
    explicit Impl(OfficeRun& run) : document(run, OfficeError::Application::Writer) {}

    OfficeDocument document;
    Reference<css::text::XTextDocument> text;
};

WordAccessCore::WordAccessCore(OfficeRun& run) : impl_(std::make_unique<Impl>(run)) {}

WordAccessCore::~WordAccessCore() = default;

bool WordAccessCore::open(const QString& path) {
    close();
    OfficeDocument& document = impl_->document;
    if (!document.load(path, "private:factory/swriter"))
        return false;
    impl_->text.set(document.component(), UNO_QUERY);
    if (!impl_->text.is()) {
        document.fail(OfficeError::Kind::DocumentNotOpened, path,
                      QStringLiteral("not a text document"));
        close();
        return false;
    }
    return true;
}

bool WordAccessCore::isOpen() const {
    return impl_->document.isOpen();
}

const OfficeError& WordAccessCore::error() const {
    return impl_->document.error();
}

bool WordAccessCore::setBookmark(const QString& name, const QString& text) {
    return impl_->document.guard([&] {
        Reference<css::text::XBookmarksSupplier> supplier(impl_->text, UNO_QUERY_THROW);
        const Reference<css::container::XNameAccess> bookmarks = supplier->getBookmarks();
        const rtl::OUString bookmarkName = uno::ToOUString(name);
        if (!bookmarks->hasByName(bookmarkName))
            return;
        Reference<css::text::XTextContent> bookmark(bookmarks->getByName(bookmarkName),
                                                    UNO_QUERY_THROW);
        const Reference<css::text::XTextRange> anchor = bookmark->getAnchor();
        const Reference<css::text::XText> body = anchor->getText();
        const Reference<css::text::XTextCursor> cursor = body->createTextCursorByRange(anchor);
        cursor->setString(uno::ToOUString(text));
        // Writing over the marked text removes or collapses the bookmark: a new one of the
        // same name is put over the new text.
        body->removeTextContent(bookmark);
        Reference<css::lang::XMultiServiceFactory> factory(impl_->text, UNO_QUERY_THROW);
        Reference<css::text::XTextContent> renewed(
            factory->createInstance("com.sun.star.text.Bookmark"), UNO_QUERY_THROW);
        Reference<css::container::XNamed>(renewed, UNO_QUERY_THROW)->setName(bookmarkName);
        body->insertTextContent(Reference<css::text::XTextRange>(cursor.get()), renewed, true);
    });
}

bool WordAccessCore::saveAs(const QString& fileName) {
    return impl_->document.store(fileName, "MS Word 97");
}

void WordAccessCore::close() {
    impl_->text.clear();
    impl_->document.close();
}

}  // namespace output
