// Exports a PDF or a picture as a booklet through a document without a window, as a batch
// factory task does, for measuring and testing:
//   booklet-export IN OUT [--settings FILE.json] [--paper auto|WxH] [--straight] [--reverse]
//                  [--split N] [--blank-sheets] [--creep-mm X] [--numbers FIRST,START,LAST,X,Y]
//                  [--number-font NAME] [--number-size PT] [--staples N] [--rasterize DPI]
// FILE.json is a settings dictionary: a JSON object of any of the 26 booklet settings, with
// "printSettings" in its dictionary form ({"NSPrintPaperSize": "{842, 595}", "NSPrintOrientation": 1, ...}).
// The options after it are settings too and win over the file. Everything not given is a new
// user's default (the paper of the locale, landscape): the run reads and writes none of the
// user's own settings.
// Exits 0 when OUT was written; otherwise non-zero after a line "Error: ...".

#include "BenchSession.h"

#include "app/booklet/Document.h"
#include "platform/foundation/Log.h"
#include "platform/pdf/PdfDrawingLimit.h"
#include "platform/printing/PrintInfo.h"

#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QStringList>
#include <QUrl>

#include <chrono>
#include <cstdlib>
#include <optional>

namespace {

struct Options
{
    QString input;
    QString output;
    QVariantMap settings;
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

QVariantMap settingsFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Failure{QStringLiteral("Could not read the settings \"%1\": %2").arg(path, file.errorString())};
    QJsonParseError error;
    const QJsonDocument json = QJsonDocument::fromJson(file.readAll(), &error);
    if (!json.isObject())
        throw Failure{QStringLiteral("The settings \"%1\" are no JSON object%2")
                          .arg(path, error.error == QJsonParseError::NoError ? QString() : ": " + error.errorString())};
    return json.object().toVariantMap();
}

Options parse(const QStringList &arguments)
{
    Options options;
    QVariantMap given;
    QStringList files;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        auto value = [&]() -> QString {
            if (i + 1 >= arguments.size())
                throw Failure{QStringLiteral("%1 needs a value").arg(argument)};
            return arguments[++i];
        };
        if (argument == "--settings") {
            options.settings = settingsFile(value());
        } else if (argument == "--paper") {
            const QString paper = value();
            given.insert("autoPaperSize", paper == "auto");
            if (paper != "auto") {
                const QRegularExpressionMatch match =
                    QRegularExpression(QStringLiteral("^([0-9.]+)x([0-9.]+)$")).match(paper);
                if (!match.hasMatch())
                    throw Failure{QStringLiteral("--paper needs auto or WIDTHxHEIGHT in points, not \"%1\"").arg(paper)};
                const double width = positiveNumber("--paper", match.captured(1));
                const double height = positiveNumber("--paper", match.captured(2));
                given.insert("printSettings", QVariantMap{{platform::PrintInfo::PaperSizeKey,
                                                           QStringLiteral("{%1, %2}").arg(width).arg(height)}});
            }
        } else if (argument == "--straight") {
            given.insert("straightOrder", true);
        } else if (argument == "--reverse") {
            given.insert("reverseOrder", true);
        } else if (argument == "--split") {
            given.insert("splitBooklet", true);
            given.insert("splitIntoXPage", wholeNumber(argument, value()));
        } else if (argument == "--blank-sheets") {
            given.insert("splitAddingEmpty", true);
        } else if (argument == "--creep-mm") {
            given.insert("creepCompensation", true);
            given.insert("creepCompensationType", 7); // manual: no preset replaces the thickness
            given.insert("creepCompensationMM", positiveNumber(argument, value(), true));
        } else if (argument == "--numbers") {
            const QString text = value();
            const QStringList parts = text.split(u',');
            bool ok[5] = {};
            if (parts.size() == 5) {
                given.insert("pageNumbersFirst", parts[0].toInt(&ok[0]));
                given.insert("pageNumbersStart", parts[1].toInt(&ok[1]));
                given.insert("pageNumbersLast", parts[2].toInt(&ok[2]));
                given.insert("pageNumbersX", parts[3].toDouble(&ok[3]));
                given.insert("pageNumbersY", parts[4].toDouble(&ok[4]));
            }
            if (!(ok[0] && ok[1] && ok[2] && ok[3] && ok[4]))
                throw Failure{QStringLiteral("--numbers needs FIRST,START,LAST,X,Y, not \"%1\"").arg(text)};
            given.insert("showPageNumbers", true);
        } else if (argument == "--number-font") {
            const QString name = value();
            if (!VXPageNumberFilter::fontNamed(name, 12))
                throw Failure{QStringLiteral("there is no font named \"%1\"").arg(name)};
            given.insert("pageNumbersFontName", name);
        } else if (argument == "--number-size") {
            given.insert("pageNumbersFontSize", positiveNumber(argument, value()));
        } else if (argument == "--staples") {
            given.insert("showStaples", true);
            given.insert("staplesCount", double(wholeNumber(argument, value())));
        } else if (argument == "--rasterize") {
            options.rasterizeDPI = positiveNumber(argument, value());
            given.insert("rasterizeDPI", *options.rasterizeDPI);
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
    options.settings.insert(given);
    return options;
}

void exportBooklet(const Options &options)
{
    Document document;
    const QUrl input = QUrl::fromLocalFile(QFileInfo(options.input).absoluteFilePath());
    const QString type = Document::typeForContentsOfURL(input);
    if (type.isEmpty() || !document.openURL(input, type))
        throw Failure{}; // the reason is logged already
    if (!document.setSettingsDictionary(options.settings))
        throw Failure{}; // the refused setting is logged
    document.setUseRasterization(options.rasterizeDPI.has_value());
    if (!document.exportBookletToURL(QUrl::fromLocalFile(QFileInfo(options.output).absoluteFilePath())))
        throw Failure{}; // logged by the export
}

int run(int argc, char **argv)
{
    const bench::Session session;
    if (!session.isValid())
        return 1;
    const QStringList arguments = bench::toolArguments(argc, argv);
    int programNameOnly = 1;
    QGuiApplication application(programNameOnly, argv);
    try {
        exportBooklet(parse(arguments));
    } catch (const Failure &failure) {
        if (!failure.message.isEmpty())
            platform::logError(failure.message);
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    const int status = run(argc, argv);
    // A page given up while poppler still draws it would have what it uses torn down under it.
    if (!platform::PdfDrawingLimit::processMayTearDown())
        std::_Exit(status);
    return status;
}
