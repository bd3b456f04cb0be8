#pragma once

#include <QWidget>

class QComboBox;
class QPushButton;
class QSlider;
class QSShadeDescription;

// One shade of the frame editor's stack: which shade, its blend mode, its intensity and a remove
// button, placed by hand in one line, or in two beside a remove button in a narrow list. Reports
// only the user's choices, with the row's index in the stack.
class QSShadeRow : public QWidget
{
    Q_OBJECT

public:
    // Lists narrower than this lay their rows in two lines.
    static constexpr int NarrowBelow = 550;
    static int rowHeight(bool narrow) { return narrow ? 38 : 31; }

    QSShadeRow(const QStringList &shadeNames, int index, QWidget *parent = nullptr);

    int index() const { return m_index; }
    // Shows the shade without reporting anything.
    void show(const QSShadeDescription &shade, int shadeIndex, bool enabled);
    // Places the controls for a list of that kind; a wide row follows the new-shade pop-up's left
    // edge and size.
    void layOut(bool narrow, const QRect &newShadeButton);

    QComboBox *shadeButton() const { return m_shade; }
    QComboBox *blendButton() const { return m_blend; }
    QSlider *intensitySlider() const { return m_intensity; }
    QPushButton *removeButton() const { return m_remove; }

signals:
    void shadePicked(int row, int shadeIndex);
    void blendModePicked(int row, const QString &mode);
    void intensityPicked(int row, double intensity);
    void removeClicked(int row);

private:
    int m_index;
    QComboBox *m_shade, *m_blend;
    QSlider *m_intensity;
    QPushButton *m_remove;
    QFont m_font;
};
