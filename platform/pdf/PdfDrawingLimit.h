#pragma once

#include <QString>

#include <chrono>
#include <functional>

namespace platform {

// How the drawing of a page ended.
enum class PdfDrawingEnd {
    // Drawn to the end.
    Whole,
    // Its budget ran out: drawn as far as it got.
    OutOfTime,
    // Its asker no longer wanted it, or the process is quitting: nothing of it is kept.
    Cancelled,
    // Not started: one drawing operation of the page would keep poppler busy far beyond any budget.
    Refused,
    // Poppler could not draw it.
    Failed,
};

// A drawing's end, and for every end but Whole and Cancelled a reason that names the file and page.
struct PdfDrawingOutcome
{
    PdfDrawingEnd end = PdfDrawingEnd::Whole;
    QString reason;

    bool isWhole() const { return end == PdfDrawingEnd::Whole; }
};

// When the drawing of a page gives up: once its asker no longer wants it, once the process
// quits, and once it has drawn for longer than its budget. Poppler asks between drawing
// operations (at every tenth); what one operation does it cannot stop, which is why the
// operations that would run for ever are refused before the page is drawn (PdfPageHazards).
class PdfDrawingLimit
{
public:
    static constexpr std::chrono::milliseconds DefaultBudget{30000};
    // True once the asker no longer wants the drawing; asked from the drawing thread.
    using Unwanted = std::function<bool()>;

    // The budget is counted from now.
    explicit PdfDrawingLimit(std::chrono::milliseconds budget = DefaultBudget, Unwanted unwanted = {});

    // Why the drawing stops now; Whole while it may go on.
    PdfDrawingEnd verdict() const;
    std::chrono::milliseconds budget() const;
    // "Page 3 of \"a.pdf\" took longer than 30 seconds to draw", for a page (its description) that
    // ran out of its budget.
    QString outOfTimeReason(const QString &page) const;

    // While set, every drawing stops at its next check and none starts: the process is quitting.
    static void setStoppingAll(bool stopping);
    static bool isStoppingAll();
    // Waits until no page is being drawn on any thread, at most timeout; false when one still is.
    static bool waitUntilNoneDrawn(std::chrono::milliseconds timeout);
    // True once no page is being drawn and every worker thread has ended and been joined: only
    // then may an ending process tear down what they use; otherwise it ends without tearing down.
    static bool processMayTearDown();

private:
    std::chrono::milliseconds m_budget;
    std::chrono::steady_clock::time_point m_deadline;
    Unwanted m_unwanted;
};

// Counts a page as being drawn while it lives, for waitUntilNoneDrawn.
class PdfDrawingUnderWay
{
public:
    PdfDrawingUnderWay();
    ~PdfDrawingUnderWay();
    PdfDrawingUnderWay(const PdfDrawingUnderWay &) = delete;
    PdfDrawingUnderWay &operator=(const PdfDrawingUnderWay &) = delete;
};

} // namespace platform
