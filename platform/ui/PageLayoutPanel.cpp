#include "platform/ui/PageLayoutPanel.h"

#include "platform/ui/PrinterDialogPresenter.h"
#include "platform/ui/QtDialogParts.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QPageLayout>
#include <QPageSetupDialog>
#include <QPointer>
#include <QPrinter>
#include <QPrinterInfo>
#include <QRadioButton>
#include <QSignalBlocker>

#include <algorithm>
#include <cmath>
#include <utility>

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

// Qt's dialog warns that it "Cannot be used on non-native printers" whenever it is made on a
// printer that writes a PDF file, which is what keeps the document's paper as it is (and all there
// is without a printer); its Unix dialog edits such a printer as its print dialog edits the PDF
// printer. That one warning is kept out of the log while the dialog is made.
class NonNativePrinterWarningFilter
{
public:
    NonNativePrinterWarningFilter() { previous = qInstallMessageHandler(filter); }
    ~NonNativePrinterWarningFilter() { qInstallMessageHandler(std::exchange(previous, nullptr)); }
    NonNativePrinterWarningFilter(const NonNativePrinterWarningFilter &) = delete;
    NonNativePrinterWarningFilter &operator=(const NonNativePrinterWarningFilter &) = delete;

private:
    static void filter(QtMsgType type, const QMessageLogContext &context, const QString &message)
    {
        if (type == QtWarningMsg && message == QLatin1String("QPageSetupDialog: Cannot be used on non-native printers"))
            return;
        if (previous)
            previous(type, context, message);
    }

    static inline QtMessageHandler previous = nullptr;
};

PageLayoutPanel::Responder &responder()
{
    static PageLayoutPanel::Responder shared;
    return shared;
}

// Qt names a paper by its upright size and turns it by the layout's orientation. A size that is
// no paper's to the point stays the custom size it is.
QPageLayout layoutOf(const PrintInfo &info)
{
    const QSizeF size = info.paperSize();
    const QSizeF upright(std::min(size.width(), size.height()), std::max(size.width(), size.height()));
    const QPageSize paper(upright, QPageSize::Point, QString(), QPageSize::ExactMatch);
    const auto orientation = info.orientation() == PrintInfo::Orientation::Landscape ? QPageLayout::Landscape
                                                                                     : QPageLayout::Portrait;
    const QMarginsF margins(info.leftMargin(), info.topMargin(), info.rightMargin(), info.bottomMargin());
    return QPageLayout(paper, orientation, margins, QPageLayout::Point);
}

// The dialog lists every paper Qt knows: only the printer's own stay, with the document's paper
// and a custom size. Without papers of a printer, every paper.
void offerOnly(QPageSetupDialog &dialog, const QList<QPageSize> &offered, const QPageSize &documents)
{
    auto *papers = dialog.findChild<QComboBox *>(QStringLiteral("pageSizeCombo"));
    if (!papers || offered.isEmpty())
        return;
    // A printer's paper that Qt knows by name is that one of the list; one it does not, any of
    // its size.
    const auto isOffered = [&](const QPageSize &listed) {
        return listed.id() == documents.id() || std::any_of(offered.begin(), offered.end(), [&](const QPageSize &paper) {
                   return paper.id() == QPageSize::Custom ? paper.isEquivalentTo(listed) : paper.id() == listed.id();
               });
    };
    for (int item = 0; item < papers->count(); ++item) {
        const QVariant paper = papers->itemData(item);
        if (paper.isValid() && !isOffered(paper.value<QPageSize>()))
            withholdComboBoxRow(*papers, item);
    }
}

// A paper Qt does not list leaves the dialog on the first one it does. The document's paper is
// chosen again in the dialog's controls as the user would: one of the list, else a custom size.
void showPaperOf(QPageSetupDialog &dialog, const QPageLayout &layout)
{
    auto *papers = dialog.findChild<QComboBox *>(QStringLiteral("pageSizeCombo"));
    auto *units = dialog.findChild<QComboBox *>(QStringLiteral("unitCombo"));
    auto *width = dialog.findChild<QDoubleSpinBox *>(QStringLiteral("pageWidth"));
    auto *height = dialog.findChild<QDoubleSpinBox *>(QStringLiteral("pageHeight"));
    auto *landscape = dialog.findChild<QRadioButton *>(QStringLiteral("landscape"));
    auto *portrait = dialog.findChild<QRadioButton *>(QStringLiteral("portrait"));
    if (!papers || !units || !width || !height || !landscape || !portrait)
        return;
    int custom = -1;
    int named = -1;
    for (int item = 0; item < papers->count(); ++item) {
        const QVariant paper = papers->itemData(item);
        if (!paper.isValid())
            custom = item;
        else if (named < 0 && paper.value<QPageSize>().isEquivalentTo(layout.pageSize()))
            named = item;
    }
    if (named >= 0) {
        papers->setCurrentIndex(named);
    } else if (custom >= 0) {
        papers->setCurrentIndex(custom);
        const auto unit = units->currentData().value<QPageLayout::Unit>();
        const QSizeF size = layout.fullRect(unit).size();
        width->setValue(size.width());
        height->setValue(size.height());
    }
    QRadioButton *lying = layout.orientation() == QPageLayout::Landscape ? landscape : portrait;
    if (!lying->isChecked())
        lying->click();
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

bool isUnchanged(const PrintInfo &edited, const PrintInfo &info)
{
    const auto near = [](double a, double b) { return std::abs(a - b) <= 3.0; };
    return edited.orientation() == info.orientation() && near(edited.paperSize().width(), info.paperSize().width())
        && near(edited.paperSize().height(), info.paperSize().height()) && near(edited.leftMargin(), info.leftMargin())
        && near(edited.topMargin(), info.topMargin()) && near(edited.rightMargin(), info.rightMargin())
        && near(edited.bottomMargin(), info.bottomMargin());
}

} // namespace

static_assert(PageLayoutPanel::OKButton == QDialog::Accepted && PageLayoutPanel::CancelButton == QDialog::Rejected);

void PageLayoutPanel::beginSheetWithPrintInfo(const PrintInfo &printInfo, Window *window, Completion completion)
{
    const auto makeDialog = [&printInfo](QPrinter &printer) -> QDialog * {
        // The papers of the printer the document prints on; without a printer Qt knows, every
        // paper, as for a booklet that is only exported.
        const bool chosen = !printInfo.printerName().isEmpty() && printer.printerName() == printInfo.printerName()
            && printer.outputFormat() == QPrinter::NativeFormat;
        const QList<QPageSize> offered = chosen ? QPrinterInfo(printer).supportedPageSizes() : QList<QPageSize>();
        // On a printer of its own Qt's dialog starts on the printer's paper and takes no paper,
        // turn or margin the printer cannot print; on a PDF file it keeps the document's as they are.
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setFullPage(true);
        const QPageLayout layout = layoutOf(printInfo);
        printer.setPageLayout(layout);
        PageSetupDialog *dialog = nullptr;
        {
            const NonNativePrinterWarningFilter quiet;
            dialog = new PageSetupDialog(&printer);
        }
        offerOnly(*dialog, offered, layout.pageSize());
        showPaperOf(*dialog, layout);
        hidePagesPerSheet(*dialog);
        return dialog;
    };
    // Qt's fields keep hundredths of their unit, and Qt takes a size within 3 points of a paper
    // it knows for that paper: what comes back that close to the document's paper, turned and
    // bordered alike, is the document's paper unchanged.
    const auto readBack = [](const PrintInfo &info, const QPrinter &printer) {
        const PrintInfo edited = withLayout(info, printer.pageLayout());
        return isUnchanged(edited, info) ? info : edited;
    };
    PrinterDialogPresenter::present(printInfo, window, makeDialog, responder(), readBack, std::move(completion));
}

void PageLayoutPanel::setResponder(Responder responder) { platform::responder() = std::move(responder); }

} // namespace platform
