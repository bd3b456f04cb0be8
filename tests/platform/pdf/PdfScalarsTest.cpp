#include "platform/graphics/PdfGraphicsContext.h"
#include "platform/pdf/PdfPageFormCache.h"
#include "platform/pdf/PdfScalars.h"
#include "platform/pdf/PdfSource.h"

#include "support/PdfFixture.h"

#include <QBuffer>
#include <QColor>
#include <QMutexLocker>
#include <QRegularExpression>

#include <gtest/gtest.h>
#include <qpdf/QPDF.hh>

#include <stdexcept>

namespace {

QByteArray written(const QList<platform::PdfPage> &pages)
{
    platform::PdfGraphicsContext context;
    context.beginPage(QSizeF(400, 300));
    for (const platform::PdfPage &page : pages)
        context.drawPdfPage(page);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(context.write(buffer));
    return buffer.data();
}

QByteArray withoutId(const QByteArray &pdf)
{
    return QString::fromLatin1(pdf).remove(QRegularExpression(QStringLiteral("/ID ?\\[[^]]*\\]"))).toLatin1();
}

QPDFObjectHandle imageOf(QPDFObjectHandle pageOrForm)
{
    QPDFObjectHandle resources = pageOrForm.isStream() ? pageOrForm.getDict().getKey("/Resources")
                                                       : pageOrForm.getKey("/Resources");
    return resources.getKey("/XObject").getKey("/Im0");
}

// The dictionary as written, without the length that each writer works out for itself.
std::string dictionaryOf(QPDFObjectHandle stream)
{
    QPDFObjectHandle dictionary = stream.getDict().shallowCopy();
    dictionary.removeKey("/Length");
    return dictionary.unparseResolved();
}

} // namespace

// One object per value and kind: 1 and 1.0 and /1 stay apart, and each is written as it was.
TEST(PdfScalars, OneObjectPerValueAndKind)
{
    platform::PdfScalars scalars;
    QPDFObjectHandle name = scalars.of(QPDFObjectHandle::newName("/DCTDecode"));
    EXPECT_TRUE(scalars.name("/DCTDecode").isSameObjectAs(name));
    QPDFObjectHandle integer = scalars.integer(1);
    EXPECT_TRUE(scalars.of(QPDFObjectHandle::parse("1")).isSameObjectAs(integer));
    QPDFObjectHandle real = scalars.of(QPDFObjectHandle::parse("1.0"));
    QPDFObjectHandle otherReal = scalars.of(QPDFObjectHandle::parse("1.00"));
    QPDFObjectHandle truth = scalars.of(QPDFObjectHandle::newBool(true));
    EXPECT_FALSE(real.isSameObjectAs(integer));
    EXPECT_FALSE(otherReal.isSameObjectAs(real));
    EXPECT_TRUE(scalars.of(QPDFObjectHandle::newBool(true)).isSameObjectAs(truth));
    EXPECT_FALSE(scalars.of(QPDFObjectHandle::newBool(false)).isSameObjectAs(truth));
    EXPECT_EQ(name.unparse(), "/DCTDecode");
    EXPECT_EQ(integer.unparse(), "1");
    EXPECT_EQ(real.unparse(), "1.0");
    EXPECT_EQ(otherReal.unparse(), "1.00");
    EXPECT_EQ(truth.unparse(), "true");
}

TEST(PdfScalars, OnlyDirectNamesNumbersAndBooleansAreShared)
{
    QPDF pdf;
    pdf.emptyPDF();
    platform::PdfScalars scalars;
    EXPECT_FALSE(platform::PdfScalars::shareable(pdf.makeIndirectObject(QPDFObjectHandle::newInteger(5))));
    EXPECT_FALSE(platform::PdfScalars::shareable(QPDFObjectHandle::newString("text")));
    EXPECT_FALSE(platform::PdfScalars::shareable(QPDFObjectHandle::newArray()));
    EXPECT_FALSE(platform::PdfScalars::shareable(QPDFObjectHandle()));
    EXPECT_THROW(scalars.of(QPDFObjectHandle::newDictionary()), std::logic_error);
    EXPECT_THROW(scalars.of(pdf.makeIndirectObject(QPDFObjectHandle::newName("/A"))), std::logic_error);
}

// Forms of pages that each show a picture: the pictures' dictionaries share their names and
// numbers, the forms their own keys, and a form is made no more once the forms are finished.
TEST(PdfPageFormCache, CopiedDictionariesShareTheirNamesAndNumbers)
{
    const QList<platform::PdfPage> pages = PdfFixture::pdfPages(PdfFixture::picturesOnly({Qt::red, Qt::green, Qt::blue}));
    ASSERT_EQ(pages.size(), 3);
    QMutexLocker locker(&platform::PdfSource::qpdfLock());
    QPDF output;
    output.emptyPDF();
    platform::PdfPageFormCache forms(output);
    std::vector<QPDFObjectHandle> images;
    std::vector<QPDFObjectHandle> dictionaries;
    for (const platform::PdfPage &page : pages) {
        QPDFObjectHandle form = forms.formFor(page).xobject;
        images.push_back(imageOf(form));
        dictionaries.push_back(form.getDict());
    }
    for (const char *key : {"/Type", "/Subtype", "/Width", "/Height", "/ColorSpace", "/BitsPerComponent"}) {
        EXPECT_TRUE(images[1].getDict().getKey(key).isSameObjectAs(images[0].getDict().getKey(key))) << key;
        EXPECT_TRUE(images[2].getDict().getKey(key).isSameObjectAs(images[0].getDict().getKey(key))) << key;
    }
    for (const char *key : {"/Type", "/Subtype", "/FormType"})
        EXPECT_TRUE(dictionaries[2].getKey(key).isSameObjectAs(dictionaries[0].getKey(key))) << key;
    EXPECT_EQ(images[0].getDict().getKey("/Subtype").unparse(), "/Image");
    EXPECT_EQ(dictionaries[0].getKey("/FormType").unparse(), "1");
    forms.finish();
    EXPECT_THROW(forms.formFor(pages[0]), std::logic_error);
    EXPECT_THROW(forms.formOf(images[0], QRectF(0, 0, 10, 10)), std::logic_error);
}

// The written pictures are the sources' own: the same bytes, filters and dictionary entries. Writing
// the same pages again, after the source's values were shared, writes the same file.
TEST(PdfPageFormCache, PicturesAreWrittenUntouchedAndASecondWriteIsTheSame)
{
    const QByteArray source = PdfFixture::picturesOnly({Qt::red, Qt::green, Qt::blue, Qt::yellow});
    const QList<platform::PdfPage> pages = PdfFixture::pdfPages(source);
    ASSERT_EQ(pages.size(), 4);
    const QByteArray first = written(pages);
    const QByteArray second = written(pages);
    EXPECT_EQ(withoutId(first), withoutId(second));

    QPDF in;
    in.processMemoryFile("source", source.constData(), std::size_t(source.size()));
    QPDF out;
    out.processMemoryFile("written", first.constData(), std::size_t(first.size()));
    std::vector<QPDFObjectHandle> inPages = in.getAllPages();
    std::vector<QPDFObjectHandle> sides = out.getAllPages();
    ASSERT_EQ(sides.size(), 1u);
    int found = 0;
    for (auto &[name, form] : sides[0].getKey("/Resources").getKey("/XObject").ditems()) {
        const int index = std::stoi(name.substr(3)) - 1;
        ASSERT_TRUE(index >= 0 && index < int(inPages.size())) << name;
        QPDFObjectHandle original = imageOf(inPages[std::size_t(index)]);
        QPDFObjectHandle copy = imageOf(form);
        ASSERT_TRUE(copy.isStream()) << name;
        EXPECT_EQ(copy.getRawStreamData()->getSize(), original.getRawStreamData()->getSize()) << name;
        EXPECT_EQ(std::string(reinterpret_cast<const char *>(copy.getRawStreamData()->getBuffer()),
                              copy.getRawStreamData()->getSize()),
                  std::string(reinterpret_cast<const char *>(original.getRawStreamData()->getBuffer()),
                              original.getRawStreamData()->getSize()))
            << name;
        EXPECT_EQ(dictionaryOf(copy), dictionaryOf(original)) << name;
        ++found;
    }
    EXPECT_EQ(found, 4);
}
