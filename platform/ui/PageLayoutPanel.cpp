#include "platform/ui/PageLayoutPanel.h"

#include "platform/ui/PrinterDialogPresenter.h"

#include <QPageLayout>
#include <QPageSetupDialog>
#include <QPointer>
#include <QPrinter>
#include <QPrinterInfo>
#include <QSignalBlocker>

namespace platform {

namespace {

// Qt's dialog copies the user's choices into its printer only on the way out of exec(), never
// when shown as a sheet. On acceptance it therefore goes once through exec(), which the queued
// acceptance ends on the next turn; the inner ending stays silent, so that the sheet ends once.
class PageSetupDialog : public QPageSetupDialog
{
public:
    using QPageSetupDialog::QPageSetupDialog;

    void done(int result) override
    {
        if (result == Accepted && !m_applying) {
            const QPointer<PageSetupDialog> alive(this);
            m_applying = true;
            const QSignalBlocker silent(this);
            QMetaObject::invokeMethod(this, [this] { QDialog::done(Accepted); }, Qt::QueuedConnection);
            result = QPageSetupDialog::exec();
            if (!alive)
                return;
            m_applying = false;
        }
        QPageSetupDialog::done(result);
    }

private:
    bool m_applying = false;
};

PageLayoutPanel::Responder &responder()
{
    static PageLayoutPanel::Responder shared;
    return shared;
}

// Qt names a paper by its upright size and turns it by the layout's orientation.
QPageLayout layoutOf(const PrintInfo &info)
{
    const QSizeF size = info.paperSize();
    const QSizeF upright(std::min(size.width(), size.height()), std::max(size.width(), size.height()));
    const QPageSize paper(upright, QPageSize::Point, QString(), QPageSize::FuzzyMatch);
    const auto orientation = info.orientation() == PrintInfo::Orientation::Landscape ? QPageLayout::Landscape
                                                                                     : QPageLayout::Portrait;
    const QMarginsF margins(info.leftMargin(), info.topMargin(), info.rightMargin(), info.bottomMargin());
    return QPageLayout(paper, orientation, margins, QPageLayout::Point);
}

PrintInfo withLayout(PrintInfo info, const QPageLayout &layout)
{
    QSizeF size = PrintInfo::pointsOf(layout.pageSize());
    if (layout.orientation() == QPageLayout::Landscape)
        size.transpose();
    info.setPaperName(layout.pageSize().key());
    info.setPaperSize(size);
    info.setOrientation(layout.orientation() == QPageLayout::Landscape ? PrintInfo::Orientation::Landscape
                                                                       : PrintInfo::Orientation::Portrait);
    const QMarginsF margins = layout.margins(QPageLayout::Point);
    info.setLeftMargin(margins.left());
    info.setTopMargin(margins.top());
    info.setRightMargin(margins.right());
    info.setBottomMargin(margins.bottom());
    return info;
}

} // namespace

static_assert(PageLayoutPanel::OKButton == QDialog::Accepted && PageLayoutPanel::CancelButton == QDialog::Rejected);

void PageLayoutPanel::beginSheetWithPrintInfo(const PrintInfo &printInfo, Window *window, Completion completion)
{
    const auto makeDialog = [&printInfo](QPrinter &printer) -> QDialog * {
        // The chosen printer's own papers; without a printer Qt knows, every paper Qt knows, as
        // for a booklet that is only exported.
        const bool chosen = !printInfo.printerName().isEmpty() && printer.printerName() == printInfo.printerName()
            && printer.outputFormat() == QPrinter::NativeFormat;
        if (!chosen)
            printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setFullPage(true);
        printer.setPageLayout(layoutOf(printInfo));
        return new PageSetupDialog(&printer);
    };
    const auto readBack = [](const PrintInfo &info, const QPrinter &printer) {
        return withLayout(info, printer.pageLayout());
    };
    PrinterDialogPresenter::present(printInfo, window, makeDialog, responder(), readBack, std::move(completion));
}

void PageLayoutPanel::setResponder(Responder responder) { platform::responder() = std::move(responder); }

} // namespace platform
