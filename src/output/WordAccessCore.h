#pragma once

#include <QString>
#include <memory>

#include "output/OfficeError.h"

namespace output {

class OfficeRun;

// One word-processing document in the office of a run: bookmarks filled, the document saved
// in the Word 97 format (.doc). Failures end the object as they do for ExcelAccessCore.
class WordAccessCore {
public:
    explicit WordAccessCore(OfficeRun& run);
    ~WordAccessCore();
    WordAccessCore(const WordAccessCore&) = delete;
    WordAccessCore& operator=(const WordAccessCore&) = delete;

    // Opens the document `path` as a template (the file itself is never changed), or a new
    // document when the path is empty.
    bool open(const QString& path);
    bool isOpen() const;
    const OfficeError& error() const;

    // Replaces the text the bookmark marks (nothing, for a bookmark at one place) by `text`;
    // the bookmark then marks the new text. A document without the bookmark is left as it is,
    // and that counts as success.
    bool setBookmark(const QString& name, const QString& text);

    // Writes the document to `fileName` in the Word 97 format, replacing an existing file
    // without asking. A failed save closes the document.
    bool saveAs(const QString& fileName);
    // Closes the document without saving; the office itself stays for the rest of the run.
    void close();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace output
