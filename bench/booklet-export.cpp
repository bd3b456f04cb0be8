// Exports a PDF as a booklet the way a document does, for measuring and testing:
//   booklet-export IN OUT [--paper auto|WxH] [--straight] [--reverse] [--split N] [--blank-sheets]
//                  [--creep-mm X] [--numbers FIRST,START,LAST,X,Y] [--number-font NAME]
//                  [--number-size PT] [--staples N] [--rasterize DPI]
// Exits 0 when OUT was written; otherwise non-zero after a line "Error: ...".

#include "app/core/VXBookletPrintView.h"
#include "app/core/VXCreepFilter.h"
#include "app/core/VXPDFInputFilter.h"
#include "app/core/VXPageNumberFilter.h"
#include "app/core/VXReverseFilter.h"
#include "app/core/VXSplitFilter.h"
#include "app/core/VXStaplesFilter.h"
#include "platform/Log.h"
#include "platform/PdfDocument.h"
#include "platform/PrintInfo.h"
#include "platform/PrintOperation.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QStringList>
#include <QUrl>

#include <optional>

namespace {

// Points per millimetre as the document counts them for creep.
constexpr double pointsPerMillimetre = 2.8346464646;

struct Options
{
    QString input;
    QString output;
    std::optional<QSizeF> paper; // nullopt: twice the first page's width at its height
    bool straight = false;
    bool reverse = false;
    std::optional<quint64> split;
    bool blankSheets = false;
    double creepMM = 0;
    bool numbers = false;
    qint64 numbersFirst = 1;
    qint64 numbersStart = 1;
    qint64 numbersLast = 0;
    double numbersX = 0.0;
    double numbersY = 0.9;
    std::optional<QString> numberFont;
    double numberSize = 12.0;
    std::optional<quint64> staples;
    std::optional<double> rasterizeDPI;
};

struct Failure
{
    QString message;
};

double positiveNumber(const QString &option, const QString &text, bool zeroAllowed = false)
{
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok || !std::isfinite(value) || value < 0 || (value == 0 && !zeroAllowed))
        throw Failure{QStringLiteral("%1 needs a %2 number, not \"%3\"").arg(option, zeroAllowed ? "non-negative" : "positive", text)};
    return value;
}

quint64 wholeNumber(const QString &option, const QString &text)
{
    bool ok = false;
    const quint64 value = text.toULongLong(&ok);
    if (!ok)
        throw Failure{QStringLiteral("%1 needs a whole number, not \"%2\"").arg(option, text)};
    return value;
}

Options parse(const QStringList &arguments)
{
    Options options;
    QStringList files;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        auto value = [&]() -> QString {
            if (i + 1 >= arguments.size())
                throw Failure{QStringLiteral("%1 needs a value").arg(argument)};
            return arguments[++i];
        };
        if (argument == "--paper") {
            const QString paper = value();
            if (paper != "auto") {
                const QRegularExpressionMatch match =
                    QRegularExpression(QStringLiteral("^([0-9.]+)x([0-9.]+)$")).match(paper);
                if (!match.hasMatch())
                    throw Failure{QStringLiteral("--paper needs auto or WIDTHxHEIGHT in points, not \"%1\"").arg(paper)};
                options.paper = QSizeF(positiveNumber("--paper", match.captured(1)),
                                       positiveNumber("--paper", match.captured(2)));
            }
        } else if (argument == "--straight") {
            options.straight = true;
        } else if (argument == "--reverse") {
            options.reverse = true;
        } else if (argument == "--split") {
            options.split = wholeNumber(argument, value());
        } else if (argument == "--blank-sheets") {
            options.blankSheets = true;
        } else if (argument == "--creep-mm") {
            options.creepMM = positiveNumber(argument, value(), true);
        } else if (argument == "--numbers") {
            const QString text = value();
            const QStringList parts = text.split(u',');
            bool ok[5] = {};
            if (parts.size() == 5) {
                options.numbersFirst = parts[0].toLongLong(&ok[0]);
                options.numbersStart = parts[1].toLongLong(&ok[1]);
                options.numbersLast = parts[2].toLongLong(&ok[2]);
                options.numbersX = parts[3].toDouble(&ok[3]);
                options.numbersY = parts[4].toDouble(&ok[4]);
            }
            if (!(ok[0] && ok[1] && ok[2] && ok[3] && ok[4]))
                throw Failure{QStringLiteral("--numbers needs FIRST,START,LAST,X,Y, not \"%1\"").arg(text)};
            options.numbers = true;
        } else if (argument == "--number-font") {
            options.numberFont = value();
        } else if (argument == "--number-size") {
            options.numberSize = positiveNumber(argument, value());
        } else if (argument == "--staples") {
            options.staples = wholeNumber(argument, value());
        } else if (argument == "--rasterize") {
            options.rasterizeDPI = positiveNumber(argument, value());
        } else if (argument.startsWith("--")) {
            throw Failure{QStringLiteral("unknown option %1").arg(argument)};
        } else {
            files.append(argument);
        }
    }
    if (files.size() != 2)
        throw Failure{QStringLiteral("usage: booklet-export IN OUT [options]")};
    options.input = files[0];
    options.output = files[1];
    return options;
}

// The document's filters, wired as its chain is: input, optionally reversed, then the split
// filter when splitting in saddle-stitch order, else the creep filter; staples before numbers.
struct Booklet
{
    VXPDFInputFilter input;
    VXReverseFilter reverseFilter;
    VXCreepFilter creepFilter;
    VXSplitFilter splitFilter;
    VXStaplesFilter staplesFilter;
    VXPageNumberFilter pageNumberFilter;
    VXOutputFilter *output = nullptr;
    QList<VXDoublePageFilter *> decorations;

    void updateChain(const Options &options)
    {
        VXFilter *source = &input;
        if (options.reverse) {
            reverseFilter.setInput(&input);
            source = &reverseFilter;
        }
        creepFilter.setStraightOrder(options.straight);
        output = options.split && !options.straight ? static_cast<VXOutputFilter *>(&splitFilter) : &creepFilter;
        splitFilter.setInput(source);
        output->setInput(source);
        if (options.staples)
            decorations.append(&staplesFilter);
        if (options.numbers)
            decorations.append(&pageNumberFilter);
    }
};

void exportBooklet(const Options &options)
{
    const std::optional<platform::PdfDocument> document = platform::PdfDocument::open(options.input);
    if (!document)
        throw Failure{}; // the reason is logged already

    Booklet booklet;
    for (int i = 0; i < document->pageCount(); ++i)
        booklet.input.addPage(VXPage::pageForPDFPage(*document->page(i)));

    QSizeF paper;
    if (options.paper) {
        paper = *options.paper;
    } else {
        const VXPagePtr first = booklet.input[0];
        if (document->pageCount() == 0 || first->size().isEmpty())
            throw Failure{QStringLiteral("\"%1\" has no first page to take the paper size from").arg(options.input)};
        paper = QSizeF(2 * first->size().width(), first->size().height());
    }

    booklet.updateChain(options);
    if (options.split) {
        booklet.splitFilter.setSplitPages(*options.split);
        booklet.splitFilter.setSplitPages(std::min(booklet.splitFilter.splitPages(), booklet.input.count()));
    }
    booklet.splitFilter.setAddEmptyPages(options.blankSheets);
    const double creep = options.creepMM / (paper.width() / pointsPerMillimetre * 0.5);
    booklet.creepFilter.setCreep(creep);
    booklet.splitFilter.setCreep(creep);

    if (options.staples)
        booklet.staplesFilter.setNumberOfStaples(*options.staples);
    VXPageNumberFilter &numbers = booklet.pageNumberFilter;
    numbers.setFirstPage(options.numbersFirst);
    numbers.setFirstNo(options.numbersStart);
    numbers.setLastPage(options.numbersLast);
    numbers.setX(options.numbersX);
    numbers.setY(options.numbersY);
    numbers.setFontSize(options.numberSize);
    if (options.numberFont) {
        const std::optional<QFont> font = VXPageNumberFilter::fontNamed(*options.numberFont, options.numberSize);
        if (!font)
            throw Failure{QStringLiteral("there is no font named \"%1\"").arg(*options.numberFont)};
        numbers.setFont(*font);
    }

    VXBookletPrintView view;
    view.setPagesProvider(booklet.output);
    view.setInputPages(&booklet.input);
    view.setCenter(QPointF(0, 0));
    view.setZoom(1.0);
    view.setPageSize(paper);
    view.setFilters(booklet.decorations);
    view.setRasterizeDPI(options.rasterizeDPI.value_or(300.0));
    view.setUseRasterization(options.rasterizeDPI.has_value());
    view.setRotate(false);
    view.setPrintPages(VXBookletPrintView::AllSides);
    view.setReverse(false);

    platform::PrintInfo printInfo;
    printInfo.setPaperSize(paper);
    printInfo.setJobDisposition(platform::PrintInfo::JobDisposition::Save);
    printInfo.setJobSavingUrl(QUrl::fromLocalFile(QFileInfo(options.output).absoluteFilePath()));
    if (!platform::PrintOperation(view, printInfo).run())
        throw Failure{}; // logged by the print operation
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    try {
        exportBooklet(parse(application.arguments().mid(1)));
    } catch (const Failure &failure) {
        if (!failure.message.isEmpty())
            platform::logError(failure.message);
        return 1;
    }
    return 0;
}
