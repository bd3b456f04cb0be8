#include "platform/foundation/Log.h"
#include "platform/printing/PrintInfo.h"
#include "platform/printing/PrintOperation.h"
#include "booklet/BookletExport.h"
#include "support/PdfFixture.h"

#include <QFile>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>

namespace {

// The address space this process has mapped, in bytes.
qint64 mappedBytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmSize:"))
            return line.mid(7).trimmed().split(' ').first().toLongLong() * 1024;
    }
    return -1;
}

// Lets this process map no more than it maps now and the margin, as a system short of memory
// would; answers the limit it had.
rlimit limitAddressSpace(qint64 margin)
{
    rlimit before{};
    getrlimit(RLIMIT_AS, &before);
    const rlimit limited{rlim_t(mappedBytes() + margin), before.rlim_max};
    setrlimit(RLIMIT_AS, &limited);
    return before;
}

// Ends the death test's child: status 0 when the check held, else 1 with the log on stderr. A
// child that hangs (a deadlock) is ended by the alarm and fails the test.
[[noreturn]] void endChild(bool held, const platform::LogCapture &log)
{
    std::fprintf(stderr, "%s\n", qPrintable(log.lines().join(u'\n')));
    std::fflush(stderr);
    std::_Exit(held ? 0 : 1);
}

// A booklet drawn through bitmaps at the resolution, saved over the booklet a former export left.
struct RasterisedSave
{
    explicit RasterisedSave(double dpi)
        : booklet(PdfFixture::pages(BookletExport::portraitPages(4)))
    {
        booklet.view.setUseRasterization(true);
        booklet.view.setRasterizeDPI(dpi);
        output = PdfFixture::write(folder.path(), "out.pdf", "the booklet exported before");
    }

    bool save()
    {
        platform::PrintInfo info;
        info.setPaperSize(booklet.view.pageSize());
        info.setJobDisposition(platform::PrintInfo::JobDisposition::Save);
        info.setJobSavingUrl(QUrl::fromLocalFile(output));
        return platform::PrintOperation(booklet.view, info).run();
    }

    bool formerFileKept() const { return PdfFixture::read(output) == "the booklet exported before"; }
    bool saved() const { return PdfFixture::read(output).startsWith("%PDF"); }

    BookletExport booklet;
    QTemporaryDir folder;
    QString output;
};

class RasterExportLimits : public ::testing::Test
{
protected:
    void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
};

// An export under an address space with only 2 MB to spare fails with the line, keeps the booklet
// exported before, and saves once the space is back.
void expectFailsUnderTightMemoryAndSavesAfter(double dpi, const QString &line)
{
    RasterisedSave save(dpi);
    EXPECT_EXIT(
        {
            alarm(60);
            platform::LogCapture log;
            const rlimit before = limitAddressSpace(2 * 1024 * 1024);
            const bool saved = save.save();
            setrlimit(RLIMIT_AS, &before);
            const bool held = !saved && log.contains(line) && save.formerFileKept() && save.save() && save.saved();
            endChild(held, log);
        },
        testing::ExitedWithCode(0), line.mid(int(qstrlen("Error: "))).toStdString());
}

} // namespace

// With no address space left for a thread's stack, the workers cannot start: the export ends
// with an error rather than waiting for them, and the booklet saves once the space is back.
TEST_F(RasterExportLimits, AWorkerThatCannotStartEndsTheExportWithAnError)
{
    expectFailsUnderTightMemoryAndSavesAfter(10, QStringLiteral("Error: Could not start a worker to draw pages through bitmaps"));
}

// Bitmaps that cannot fit (a page at 300 dpi needs 4 MB) are refused before a page is drawn: the
// export fails with "not enough memory" rather than ending the program, the former booklet stays,
// and the booklet saves once the memory is back.
TEST_F(RasterExportLimits, AnExportThatRunsOutOfMemoryFailsAndKeepsTheFormerFile)
{
    expectFailsUnderTightMemoryAndSavesAfter(300, QStringLiteral("Error: Could not print: there is not enough memory"));
}
