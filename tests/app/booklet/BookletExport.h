#pragma once

#include "app/booklet/VXBookletPrintView.h"
#include "app/booklet/VXCreepFilter.h"
#include "app/booklet/VXPDFInputFilter.h"
#include "platform/pdf/PdfDocument.h"
#include "platform/printing/PrintInfo.h"
#include "platform/printing/PrintOperation.h"

#include "support/PdfFixture.h"

#include <QBuffer>
#include <QRegularExpression>

#include <poppler-qt6.h>

#include <memory>

// Generated pages imposed through the print view and printed into a PDF in memory, and what
// poppler reads back from it. The paper is 400 x 300, so 200 x 300 pages fill their halves.
struct BookletExport
{
    explicit BookletExport(const QByteArray &pdf)
    {
        const std::optional<platform::PdfDocument> document = platform::PdfDocument::fromData(pdf, "fixture");
        for (int i = 0; document && i < document->pageCount(); ++i)
            input.addPage(VXPage::pageForPDFPage(*document->page(i)));
        creep.setInput(&input);
        view.setPagesProvider(&creep);
        view.setInputPages(&input);
        view.setPageSize({400, 300});
    }

    static QList<PdfFixturePage> portraitPages(int count, QColor fill = Qt::white)
    {
        QList<PdfFixturePage> pages = PdfFixture::numbered(count);
        for (PdfFixturePage &page : pages) {
            page.mediaSize = {200, 300};
            page.fill = fill;
        }
        return pages;
    }

    QByteArray print()
    {
        platform::PrintInfo info;
        info.setPaperSize(view.pageSize());
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        platform::PrintOperation(view, info).writePdf(buffer);
        return buffer.data();
    }

    // Every printed page as "(left|right)" by the numbers of the fixture pages whose labels lie on its halves.
    static QString halves(const QByteArray &pdf)
    {
        const std::unique_ptr<Poppler::Document> document = Poppler::Document::loadFromData(pdf);
        QStringList sides;
        for (int i = 0; document && i < document->numPages(); ++i) {
            const std::unique_ptr<Poppler::Page> page = document->page(i);
            const QSizeF half(page->pageSizeF().width() / 2, page->pageSizeF().height());
            const auto label = [&](double x) {
                const QRegularExpressionMatch match = QRegularExpression("Page (\\d+)").match(page->text(QRectF({x, 0}, half)));
                return match.hasMatch() ? match.captured(1) : QStringLiteral("-");
            };
            sides << QStringLiteral("(%1|%2)").arg(label(0), label(half.width()));
        }
        return sides.join(u' ');
    }

    VXPDFInputFilter input;
    VXCreepFilter creep;
    VXBookletPrintView view;
};
