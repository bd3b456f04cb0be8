#include "HostilePdf.h"

QByteArray HostilePdf::stream(const QByteArray &entries, const QByteArray &data)
{
    return "<< " + entries + " /Length " + QByteArray::number(data.size()) + " >>\nstream\n" + data + "\nendstream";
}

QByteArray HostilePdf::page(const QByteArray &resources, const QByteArray &content, const QList<QByteArray> &objects,
                            const QByteArray &pageEntries)
{
    const QList<QByteArray> all = QList<QByteArray>{"<< /Type /Catalog /Pages 2 0 R >>", "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
                                                    "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] /Resources " + resources
                                                        + " /Contents 4 0 R " + pageEntries + ">>",
                                                    stream({}, content)}
        + objects;
    QByteArray pdf = "%PDF-1.4\n";
    QList<qsizetype> offsets;
    for (qsizetype i = 0; i < all.size(); ++i) {
        offsets.append(pdf.size());
        pdf += QByteArray::number(i + 1) + " 0 obj\n" + all[i] + "\nendobj\n";
    }
    const qsizetype table = pdf.size();
    pdf += "xref\n0 " + QByteArray::number(all.size() + 1) + "\n0000000000 65535 f \n";
    for (qsizetype offset : offsets)
        pdf += QByteArray::number(offset).rightJustified(10, '0') + " 00000 n \n";
    pdf += "trailer\n<< /Size " + QByteArray::number(all.size() + 1) + " /Root 1 0 R >>\nstartxref\n" + QByteArray::number(table)
        + "\n%%EOF\n";
    return pdf;
}

QByteArray HostilePdf::imageObject(qint64 width, qint64 height, int dataBytes, const QByteArray &filter)
{
    return stream("/Type /XObject /Subtype /Image /Width " + QByteArray::number(width) + " /Height " + QByteArray::number(height)
                      + " /ColorSpace /DeviceGray /BitsPerComponent 8" + (filter.isEmpty() ? QByteArray() : " /Filter " + filter),
                  QByteArray(dataBytes, '\x80'));
}

QByteArray HostilePdf::image(qint64 width, qint64 height, int dataBytes, const QByteArray &filter)
{
    return page("<< /XObject << /Im0 5 0 R >> >>", "q 612 0 0 792 0 0 cm /Im0 Do Q", {imageObject(width, height, dataBytes, filter)});
}

QByteArray HostilePdf::tallImage() { return image(1, 2147483647); }

QByteArray HostilePdf::patternObject(double step, const QByteArray &entries)
{
    const QByteArray s = QByteArray::number(step, 'g', 6);
    const QByteArray half = QByteArray::number(step / 2, 'g', 6);
    return stream("/Type /Pattern /PatternType 1 /PaintType 1 /TilingType 1 /BBox [0 0 " + s + " " + s + "] /XStep " + s + " /YStep " + s
                      + " /Resources << >> " + entries,
                  "0 0 " + half + " " + half + " re f");
}

QByteArray HostilePdf::pattern(double step)
{
    return page("<< /Pattern << /P0 5 0 R >> >>", "/Pattern cs /P0 scn 0 0 612 792 re f", {patternObject(step)});
}

QByteArray HostilePdf::finePattern() { return pattern(0.01); }

QByteArray HostilePdf::busy(int squares)
{
    QByteArray content = "0 g 0 712.8 612 79.2 re f\n";
    // Each square fills on its own: one fill of them all would be one operation.
    for (int i = 0; i < squares; ++i)
        content += QByteArray::number(2 * (i % 300) + 3) + ' ' + QByteArray::number(789 - 2 * ((i / 300) % 390)) + " 1 1 re f\n";
    return page("<< >>", content);
}

QByteArray HostilePdf::unstoppable()
{
    const QByteArray size = "/Width 16 /Height 67108864 /ColorSpace /DeviceGray /BitsPerComponent 8";
    return page("<< /XObject << /Im0 5 0 R >> >>", "q 612 0 0 792 0 0 cm /Im0 Do Q",
                {stream("/Type /XObject /Subtype /Image " + size + " /SMask 6 0 R", QByteArray(16, '\x80')),
                 stream("/Type /XObject /Subtype /Image " + size, QByteArray(16, '\x80'))});
}
