#pragma once

#include "app/shell/VXDocumentController.h"

#include <QTest>
#include <QUrl>

#include <memory>
#include <optional>

class Document;

// Opens the file as the application does, away from the GUI thread, and waits for the opening to
// end: the document, or null when the file did not open (or the opening took longer than a minute).
inline Document *openedDocument(VXDocumentController &documents, const QUrl &url, bool display = true)
{
    const auto opened = std::make_shared<std::optional<Document *>>();
    documents.openDocumentWithContentsOfURL(url, display, [opened](Document *document) { *opened = document; });
    if (!QTest::qWaitFor([&] { return opened->has_value(); }, 60000))
        return nullptr;
    return opened->value_or(nullptr);
}
