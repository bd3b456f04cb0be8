#include "RQS-Kit/Controls/QSNoteController.h"

#include "RQS-Kit/Foundation/AttributedStringExtension.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/ClearBackground.h"
#include "platform/ui/WindowFrame.h"

#include <QTextBlock>
#include <QTextDocument>

#include <algorithm>
#include <cmath>

namespace {

// The view's text with its runs' formats over its default font; paragraphs end in a line break.
// Text is measured one unit per point, so fonts grow by the view's points per unit to measure what
// the view shows.
platform::AttributedString attributedText(const QTextBrowser &view)
{
    const QTextDocument &document = *view.document();
    const double scale = view.logicalDpiY() / 72.0;
    platform::AttributedString text;
    const auto append = [&](const QString &part, const QTextCharFormat &own) {
        QTextCharFormat format;
        format.setFont(document.defaultFont());
        format.merge(own);
        QFont font = format.font();
        if (font.pointSizeF() > 0)
            font.setPointSizeF(font.pointSizeF() * scale);
        format.setFont(font);
        text.ranges.append({int(text.text.size()), int(part.size()), format});
        text.text += part;
    };
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (block != document.begin())
            append(QStringLiteral("\n"), block.charFormat());
        for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it)
            append(it.fragment().text(), it.fragment().charFormat());
    }
    return text;
}

QSizeF naturalSize(const QSButton *button) { return button ? button->intrinsicContentSize() : QSizeF(); }

} // namespace

QSNoteController::QSNoteController(QObject *parent)
    : QSWindowController(parent)
{
}

// The interface files lay the note out to these sums: the button row has 39 points of margins
// (20 and 19), the text 42 more (20 and 22); 32 + 8 and 8 between the buttons.
void QSNoteController::adjustWindowSize()
{
    platform::Window *note = window();
    if (!note)
        return;
    const double width = std::max(350.0, naturalSize(m_cancelButton).width() + 32.0 + 8.0 + naturalSize(m_otherButton).width()
                                             + 8.0 + naturalSize(m_approveButton).width() + 39.0);
    const double textHeight =
        m_textView ? std::ceil(rqs::heightForWidth(attributedText(*m_textView), width - 49.0 - 32.0)) + 5.0 : 0;
    // The close button stands in the title's line.
    const double titleHeight = std::max(m_titleTF ? m_titleTF->sizeHint().height() : 0.0, naturalSize(m_closeButton).height());
    const double height = std::clamp(textHeight, 50.0, 300.0) + titleHeight + 77.0 + 8.0 + 28.0
                        + naturalSize(m_approveButton).height() + 53.0;
    // Text that fits its height needs no scroll bar; one left from a narrower layout would wrap
    // the text into more lines than fit.
    if (m_textView)
        m_textView->setVerticalScrollBarPolicy(textHeight > 300.0 ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    // Fixed, so that the layout's own minimum does not change what was computed.
    note->setFixedSize(int(std::ceil(width)), int(std::ceil(height)));
}

void QSNoteController::windowDidLoad()
{
    platform::Window *note = window();
    note->setWindowFlags(Qt::Tool | Qt::FramelessWindowHint);
    platform::ClearBackground::apply(note, platform::ClearBackground::Fallback::Shape);
    // The text is measured for the view's whole width.
    if (m_textView)
        m_textView->document()->setDocumentMargin(0);
}

void QSNoteController::setWindow(platform::Window *window)
{
    if (!window)
        m_textView = nullptr;
    QSWindowController::setWindow(window);
}

void QSNoteController::positionOnWindow(platform::Window *parent)
{
    platform::Window *note = window();
    if (!note || !parent)
        return;
    // The note's top stands 26 points above the parent's.
    const QRect onto = platform::WindowFrame::geometry(parent);
    const double x = m_locationFix * onto.width() + onto.x() - platform::WindowFrame::geometry(note).width() + 66.0;
    note->move(int(std::lround(x)), onto.y() - 26);
}

void QSNoteController::attachToWindow(platform::Window *parent, double location)
{
    platform::Window *note = window();
    if (!note || !parent || m_parentWindow || parent == note)
        return;
    platform::NotificationCenter *center = platform::NotificationCenter::defaultCenter();
    center->addObserver(this, platform::Window::DidResizeNotification, parent,
                        [this](const platform::Notification &) { positionOnWindow(m_parentWindow); });
    center->addObserver(this, platform::Window::WillCloseNotification, parent,
                        [this](const platform::Notification &notification) { windowWillClose(notification); });
    m_locationFix = location;
    m_parentWindow = parent;
    parent->addChildWindow(note);
    positionOnWindow(parent);
    note->makeKeyAndOrderFront(this);
}

void QSNoteController::buttonPressed(QObject *button)
{
    // The delegate may delete this note, or the window it stands on.
    const QPointer<QSNoteController> self(this);
    if (QSNoteControllerDelegate *delegate = m_delegate.get())
        delegate->note(this, qobject_cast<QSButton *>(button));
    if (!self)
        return;
    detachFromParent();
    close(this);
}

void QSNoteController::windowWillClose(const platform::Notification &notification)
{
    if (m_parentWindow && notification.object == m_parentWindow)
        close(this);
    detachFromParent();
}

void QSNoteController::detachFromParent()
{
    // Only the parent's observations end: the note goes on hearing of its own window's closing.
    platform::NotificationCenter *center = platform::NotificationCenter::defaultCenter();
    center->removeObserver(this, platform::Window::DidResizeNotification);
    if (m_parentWindow) {
        center->removeObserver(this, platform::Window::WillCloseNotification, m_parentWindow);
        if (isLoaded())
            m_parentWindow->removeChildWindow(window());
    }
    m_parentWindow = nullptr;
}

double QSNoteController::locationFix() const { return m_locationFix; }

platform::Window *QSNoteController::parentWindow() const { return m_parentWindow; }

QSNoteControllerDelegate *QSNoteController::delegate() const { return m_delegate.get(); }

void QSNoteController::setDelegate(platform::Delegate<QSNoteControllerDelegate> delegate) { m_delegate.set(delegate); }

QLabel *QSNoteController::titleTF() const { return m_titleTF; }

void QSNoteController::setTitleTF(QLabel *titleTF) { m_titleTF = titleTF; }

QTextBrowser *QSNoteController::textView() const { return m_textView; }

void QSNoteController::setTextView(QTextBrowser *textView) { m_textView = textView; }

QSButton *QSNoteController::closeButton() const { return m_closeButton; }

void QSNoteController::setCloseButton(QSButton *button) { m_closeButton = button; }

QSButton *QSNoteController::cancelButton() const { return m_cancelButton; }

void QSNoteController::setCancelButton(QSButton *button) { m_cancelButton = button; }

QSButton *QSNoteController::otherButton() const { return m_otherButton; }

void QSNoteController::setOtherButton(QSButton *button) { m_otherButton = button; }

QSButton *QSNoteController::approveButton() const { return m_approveButton; }

void QSNoteController::setApproveButton(QSButton *button) { m_approveButton = button; }
