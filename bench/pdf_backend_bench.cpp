// Imposing generated pages two-up through the PDF graphics context: source pages become form
// XObjects, optionally with a page number drawn through the QPdfWriter overlay on every sheet.

#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/PdfGraphicsContext.h"
#include "platform/pdf/PdfDocument.h"

#include "QpdfBytes.h"

#include <QBuffer>
#include <QGuiApplication>

#include <benchmark/benchmark.h>
#include <qpdf/QPDF.hh>

#include <string>

namespace {

// count A5 pages of a few lines of Helvetica text each, with resources shared through the file.
QByteArray generatedPdf(int count)
{
    QPDF pdf;
    pdf.emptyPDF();
    QPDFObjectHandle resources = pdf.makeIndirectObject(QPDFObjectHandle::parse(
        "<< /Font << /F1 << /Type /Font /Subtype /Type1 /BaseFont /Helvetica >> >> >>"));
    for (int number = 1; number <= count; ++number) {
        std::string content = "BT /F1 11 Tf 14 TL 50 540 Td";
        for (int line = 0; line < 30; ++line)
            content += " (Page " + std::to_string(number) + ", line " + std::to_string(line + 1)
                + ": the quick brown fox jumps over the lazy dog) '";
        content += " ET\n";
        QPDFObjectHandle page = QPDFObjectHandle::parse("<< /Type /Page /MediaBox [0 0 420 595] >>");
        page.replaceKey("/Resources", resources);
        page.replaceKey("/Contents", pdf.newStream(content));
        pdf.addPage(pdf.makeIndirectObject(page), false);
    }
    return bench::qpdfBytes(pdf);
}

void impose(benchmark::State &state, bool numbered)
{
    const int count = int(state.range(0));
    const QByteArray source = generatedPdf(count);
    const platform::TextAttributes number{QFont(QStringLiteral("DejaVu Sans"), 10)};
    qint64 written = 0;
    for (auto _ : state) {
        const std::optional<platform::PdfDocument> document = platform::PdfDocument::fromData(source, "generated");
        platform::PdfGraphicsContext context;
        for (int i = 0; i + 1 < count; i += 2) {
            context.beginPage({840, 595});
            context.drawPdfPage(*document->page(i));
            context.saveGState();
            context.translate(420, 0);
            context.drawPdfPage(*document->page(i + 1));
            context.restoreGState();
            if (numbered)
                context.drawText(QString::number(i / 2 + 1), QPointF(415, 20), number);
        }
        QBuffer output;
        output.open(QIODevice::WriteOnly);
        if (!context.write(output))
            state.SkipWithError("writing failed");
        written = output.size();
    }
    state.counters["pages"] = count;
    state.counters["output_MiB"] = double(written) / (1024 * 1024);
}

void BM_ImposeTwoUp(benchmark::State &state) { impose(state, false); }
void BM_ImposeTwoUpNumbered(benchmark::State &state) { impose(state, true); }

} // namespace

BENCHMARK(BM_ImposeTwoUp)->Arg(500)->Arg(2000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImposeTwoUpNumbered)->Arg(500)->Arg(2000)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
