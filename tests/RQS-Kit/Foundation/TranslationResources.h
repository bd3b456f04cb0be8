#pragma once

#include "support/MainBundleScope.h"
#include "support/StringsTables.h"

#include <QTemporaryDir>

#include <memory>

// A German user's main bundle with German and English strings tables for the translation tests. "Drucken"
// has an entry of its own so that a text translated twice would show.
class TranslationResources
{
public:
    TranslationResources()
    {
        const QString root = m_folder.path();
        m_written = writeStringsTable(root, "de", "Localizable",
                                      {{"Greeting", "Hallo"}, {"Cancel", "Abbrechen"}})
            && writeStringsTable(root, "de", "Controls",
                                 {{"Print", "Drucken"}, {"Drucken", "twice translated"}, {"Print the booklet", "Das Heft drucken"},
                                  {"Pages", "Seiten"}, {"Sheets", "Bögen"}, {"Booklet", "Heft"}, {"Your name", "Ihr Name"}})
            && writeStringsTable(root, "de", "Menu",
                                 {{"File", "Ablage"}, {"Export", "Exportieren"}, {"As PDF", "Als PDF"}})
            && writeStringsTable(root, "en", "Controls", {{"Only English", "English only"}})
            && writeStringsTable(root, "en", "Menu", {{"File", "File from the English table"}})
            && writeStringsTable(root, "es", "Controls", {{"Print", "Imprimir"}});
        m_bundle = std::make_unique<MainBundleScope>(root);
    }

    bool isValid() const { return m_folder.isValid() && m_written; }

private:
    QTemporaryDir m_folder;
    bool m_written = false;
    std::unique_ptr<MainBundleScope> m_bundle;
    LanguageScope m_german{"de_DE"};
};
