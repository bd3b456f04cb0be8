#pragma once

#include "platform/graphics/AttributedString.h"
#include "platform/graphics/TextAttributes.h"

#include <QFont>
#include <QObject>
#include <QPointer>
#include <QSizeF>
#include <QWidget>

#include <optional>

// Draws its text into a widget (its control view) with the font size at which the text fills the
// widget's bounds, fitting again when the text, the font or the widget's size changes. A QLabel
// control view takes the fitted font, which comes back to the cell; any other widget is no
// control, so the cell keeps the font itself. Main thread only.
class QSFittedTextCell : public QObject
{
    Q_OBJECT
public:
    explicit QSFittedTextCell(QWidget *controlView);

    QString stringValue() const;
    void setStringValue(const QString &text);
    // The system font of 12 points until one is set.
    QFont font() const;
    // Every call counts as a change of font; the font is fitted first and stored as it comes
    // only when no fit is made.
    void setFont(const QFont &font);
    QColor textColor() const;
    void setTextColor(const QColor &color);

    // False when nothing needed fitting or could be fitted: no text, no control view, a fit in
    // progress, nothing changed, or nothing to measure (zero-width text, an empty control).
    bool adaptToFont(const QFont &font);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    platform::AttributedString stringWithFieldAttributes(const QFont &font) const;
    void drawWithFrame();

    QPointer<QWidget> m_controlView;
    bool m_isAdapting = false;
    bool m_textChange = false;
    bool m_fontChange = false;
    QSizeF m_lastSize;
    QString m_stringValue;
    std::optional<QFont> m_font;
    QColor m_textColor = Qt::black;
};
