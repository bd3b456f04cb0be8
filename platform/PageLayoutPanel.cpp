#include "platform/PageLayoutPanel.h"

#include "platform/DialogPresenter.h"

#include <QPageLayout>
#include <QPageSetupDialog>
#include <QPrinter>

#include <memory>

namespace platform {

namespace {

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

void PageLayoutPanel::beginSheetWithPrintInfo(const PrintInfo &printInfo, Window *window, Completion completion)
{
    // The dialog refers to the printer, so the printer lives as long as the dialog's end handler.
    auto printer = std::make_shared<QPrinter>();
    if (!printInfo.printerName().isEmpty())
        printer->setPrinterName(printInfo.printerName());
    printer->setFullPage(true);
    printer->setPageLayout(layoutOf(printInfo));
    auto *dialog = new QPageSetupDialog(printer.get());

    DialogPresenter::Responder answer;
    if (const Responder &stand = responder())
        answer = [stand, printer](QDialog &) { return stand(*printer); };
    DialogPresenter::present(dialog, window, answer, [printer, printInfo, completion](QDialog *, int result) {
        if (result != OKButton)
            completion(CancelButton, printInfo);
        else
            completion(OKButton, withLayout(printInfo, printer->pageLayout()));
    });
}

void PageLayoutPanel::setResponder(Responder responder) { platform::responder() = std::move(responder); }

} // namespace platform
