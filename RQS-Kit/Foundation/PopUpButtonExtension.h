#pragma once

#include <QString>
#include <QStringList>

class QComboBox;

// Pop-up buttons are combo boxes.
namespace rqs {

// One row per entry, so that row index equals entry index, titled by the override table. "-" adds a
// separator. A title ending in "-" opens a category: a disabled heading without the dash. Following
// titles that begin with the category are added under it (addEntryWithTitle), indented one level;
// any other title closes the category.
void addEntries(QComboBox *popUp, const QStringList &entries);

// A row titled with the whole title, as lists elsewhere name the entry; the category it begins with
// is drawn in light grey.
void addEntryWithTitle(QComboBox *popUp, const QString &title, const QString &category = {});

} // namespace rqs
