#pragma once

#include <QString>
#include <functional>

#include "dictionaries/ReferenceLists.h"

namespace dictionaries {

// The seven reference files, as they lie in the start folder.
inline constexpr char kCountriesFile[] = "countries.xml";
inline constexpr char kProfessionsFile[] = "professions.xml";
inline constexpr char kTerritoriesFile[] = "territories.xml";
inline constexpr char kRegionsFile[] = "regions.xml";
inline constexpr char kDistrictsFile[] = "district.xml";
inline constexpr char kPrefixesFile[] = "professions_prefix.xml";
inline constexpr char kGenitiveProfessionsFile[] = "professions_case.xml";

// Where the loading reports its progress: the text of the progress line, and a request to
// show the window now (the loading runs without the message loop).
struct LoadingProgress {
    std::function<void(const QString&)> showText;
    std::function<void()> repaint;
};

// Reads the seven reference files of `folder` into `lists`, in a fixed order, reporting
// progress as it goes. Each file may be in any encoding it declares. A file that cannot be
// parsed gives an empty list and no error. An entry that lacks an attribute it needs, or
// whose "id", "region_id" or "case" is not an integer, stops the loading: the result is
// false, `error` names the file and the entry, and `lists` is left as it was.
// No external entity or document is ever loaded.
bool LoadReferenceLists(const QString& folder, ReferenceLists& lists,
                        const LoadingProgress& progress, QString* error = nullptr);

}  // namespace dictionaries
