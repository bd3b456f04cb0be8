#include "platform/ui/PageLayoutPanel.h"

#include <gtest/gtest.h>

#include <QPrinter>
#include <QTest>

#include <optional>

namespace {

// Qt's messages while it lives, each also handed on to the handler it replaced.
class QtMessages
{
public:
    QtMessages() { previous = qInstallMessageHandler(collect); }
    ~QtMessages()
    {
        qInstallMessageHandler(previous);
        collected.clear();
    }
    QStringList lines() const { return collected; }

private:
    static void collect(QtMsgType type, const QMessageLogContext &context, const QString &message)
    {
        collected << message;
        previous(type, context, message);
    }
    static inline QtMessageHandler previous = nullptr;
    static inline QStringList collected;
};

} // namespace

// Opening Page Setup, with or without a printer named and whatever the answer, leaves nothing of
// Qt's in the log; Qt's messages reach the log as before once the dialog is made.
TEST(PageLayoutPanel, OpeningItLeavesNoWarningOfQtsInTheLog)
{
    platform::PrintInfo info;
    info.setPaperSize({842, 595});
    info.setOrientation(platform::PrintInfo::Orientation::Landscape);
    for (const QString &printer : {QString(), QStringLiteral("No_Such_Printer")}) {
        for (const int answer : {platform::PageLayoutPanel::OKButton, platform::PageLayoutPanel::CancelButton}) {
            SCOPED_TRACE(printer.toStdString() + (answer == platform::PageLayoutPanel::OKButton ? " OK" : " Cancel"));
            info.setPrinterName(printer);
            QtMessages messages;
            platform::PageLayoutPanel::setResponder([answer](QPrinter &) { return answer; });
            std::optional<int> result;
            platform::PrintInfo edited;
            platform::PageLayoutPanel::beginSheetWithPrintInfo(info, nullptr, [&](int ended, const platform::PrintInfo &printInfo) {
                result = ended;
                edited = printInfo;
            });
            ASSERT_TRUE(QTest::qWaitFor([&] { return result.has_value(); }, 5000));
            platform::PageLayoutPanel::setResponder(nullptr);
            EXPECT_EQ(*result, answer);
            EXPECT_EQ(edited.paperSize(), QSizeF(842, 595)) << "the paper as it was";
            EXPECT_EQ(messages.lines(), QStringList());
            qWarning("after the dialog");
            EXPECT_EQ(messages.lines(), QStringList{"after the dialog"});
        }
    }
}
