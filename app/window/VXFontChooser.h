#pragma once

#include <QDialog>
#include <QFont>
#include <QString>

class QDoubleSpinBox;
class QFontComboBox;
class QLabel;

// The page numbers' font: a family, typed or picked among those installed, and a size. OK applies
// them, Cancel leaves the numbers as they were. A typed family that is not installed is said to be
// missing and nothing is applied: no family is swapped for the nearest one. GUI thread.
class VXFontChooser : public QDialog
{
    Q_OBJECT
public:
    static constexpr double SmallestSize = 1.0;
    static constexpr double LargestSize = 512.0;

    explicit VXFontChooser(QWidget *parent = nullptr);

    // Shown as the chooser's family and size; a size is kept within the size field's range.
    void setFamilyAndSize(const QString &family, double pointSize);
    // The installed family of that name, whatever its case; empty when none is installed.
    static QString installedFamily(const QString &name);

    void accept() override;

protected:
    // Each time, the family takes the keys, all of it selected, so that typing replaces it.
    void showEvent(QShowEvent *event) override;

signals:
    // The family, as installed, and the point size, once OK applies them.
    void fontChosen(const QFont &font);

private:
    void showSample();

    QFontComboBox *m_family;
    QDoubleSpinBox *m_size;
    QLabel *m_sample;
    QLabel *m_missing;
};
