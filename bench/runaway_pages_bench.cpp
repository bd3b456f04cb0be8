// Previews of pages whose drawing would hold poppler for minutes (an image of 1 x 2147483647
// pixels, a tiling pattern of 0.01-point cells), against a page of text, each from a file read
// afresh, so that every preview looks at the page before drawing it once more.

#include "app/booklet/VXPage.h"
#include "platform/pdf/PdfDocument.h"

#include "QpdfBytes.h"

#include <QGuiApplication>

#include <benchmark/benchmark.h>
#include <qpdf/QPDF.hh>

#include <string>

namespace {

// One letter-sized page of the content, with the resources given, and a stream object /X0 in
// them when its dictionary is given.
QByteArray onePage(const std::string &content, const std::string &resources, const std::string &object = {},
                   const std::string &objectData = {})
{
    QPDF pdf;
    pdf.emptyPDF();
    QPDFObjectHandle page = QPDFObjectHandle::parse("<< /Type /Page /MediaBox [0 0 612 792] >>");
    QPDFObjectHandle held = QPDFObjectHandle::parse(resources);
    if (!object.empty()) {
        QPDFObjectHandle stream = pdf.newStream(objectData);
        stream.replaceDict(QPDFObjectHandle::parse(object));
        held.getKey(held.hasKey("/XObject") ? "/XObject" : "/Pattern").replaceKey("/X0", stream);
    }
    page.replaceKey("/Resources", held);
    page.replaceKey("/Contents", pdf.newStream(content));
    pdf.addPage(pdf.makeIndirectObject(page), false);
    return bench::qpdfBytes(pdf);
}

QByteArray tallImage()
{
    return onePage("q 612 0 0 792 0 0 cm /X0 Do Q", "<< /XObject << >> >>",
                   "<< /Type /XObject /Subtype /Image /Width 1 /Height 2147483647 /ColorSpace /DeviceGray /BitsPerComponent 8 >>",
                   std::string(16, '\x80'));
}

QByteArray finePattern()
{
    return onePage("/Pattern cs /X0 scn 0 0 612 792 re f", "<< /Pattern << >> >>",
                   "<< /Type /Pattern /PatternType 1 /PaintType 1 /TilingType 1 /BBox [0 0 0.01 0.01] /XStep 0.01 /YStep 0.01 "
                   "/Resources << >> >>",
                   "0 0 0.005 0.005 re f");
}

QByteArray text()
{
    std::string content = "BT /F1 11 Tf 14 TL 50 760 Td";
    for (int line = 0; line < 50; ++line)
        content += " (Line " + std::to_string(line + 1) + ": the quick brown fox jumps over the lazy dog) '";
    return onePage(content + " ET", "<< /Font << /F1 << /Type /Font /Subtype /Type1 /BaseFont /Helvetica >> >> >>");
}

void preview(benchmark::State &state, const QByteArray &pdf)
{
    for (auto _ : state) {
        const std::optional<platform::PdfDocument> document = platform::PdfDocument::fromData(pdf, "generated");
        const VXPagePtr page = VXPage::pageForPDFPage(*document->page(0));
        if (!page->calcPreview())
            state.SkipWithError("no preview");
    }
}

void BM_PreviewTallImage(benchmark::State &state) { preview(state, tallImage()); }
void BM_PreviewFinePattern(benchmark::State &state) { preview(state, finePattern()); }
void BM_PreviewText(benchmark::State &state) { preview(state, text()); }

} // namespace

BENCHMARK(BM_PreviewTallImage)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PreviewFinePattern)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PreviewText)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
