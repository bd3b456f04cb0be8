#include "app/window/VXFontChooser.h"

#include "RQS-Kit/Foundation/StringExtension.h"

#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFontComboBox>
#include <QFontDatabase>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// The sample shows the numbers no larger than the chooser can hold.
constexpr double LargestSample = 36.0;

} // namespace

VXFontChooser::VXFontChooser(QWidget *parent)
    : QDialog(parent)
    , m_family(new QFontComboBox)
    , m_size(new QDoubleSpinBox)
    , m_sample(new QLabel(QStringLiteral("1   2   3")))
    , m_missing(new QLabel)
{
    setWindowTitle(rqs::localized(QStringLiteral("PageNumberFontTitle")));
    m_family->setObjectName(QStringLiteral("familyField"));
    m_family->setEditable(true);
    // Return applies the chooser; it never adds what was typed to the list of installed families.
    m_family->setInsertPolicy(QComboBox::NoInsert);
    m_size->setObjectName(QStringLiteral("sizeField"));
    m_size->setRange(SmallestSize, LargestSize);
    m_size->setDecimals(1);
    m_size->setSuffix(QStringLiteral(" pt"));
    m_sample->setObjectName(QStringLiteral("sampleLabel"));
    m_sample->setMinimumHeight(int(LargestSample * 1.5));
    m_missing->setObjectName(QStringLiteral("missingLabel"));
    m_missing->setWordWrap(true);
    m_missing->setStyleSheet(QStringLiteral("color: #b00000"));
    m_missing->hide();
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->setObjectName(QStringLiteral("buttons"));
    connect(buttons, &QDialogButtonBox::accepted, this, &VXFontChooser::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &VXFontChooser::reject);

    auto *fields = new QFormLayout;
    fields->addRow(rqs::localized(QStringLiteral("FontFamilyLabel")), m_family);
    fields->addRow(rqs::localized(QStringLiteral("FontSizeLabel")), m_size);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(m_sample);
    layout->addWidget(m_missing);
    layout->addWidget(buttons);
    // Whatever the window manager makes of it, the buttons stay in sight.
    layout->setSizeConstraint(QLayout::SetMinimumSize);

    connect(m_family, &QComboBox::currentTextChanged, this, [this] {
        m_missing->hide();
        showSample();
    });
    connect(m_size, &QDoubleSpinBox::valueChanged, this, &VXFontChooser::showSample);
}

void VXFontChooser::setFamilyAndSize(const QString &family, double pointSize)
{
    m_family->setCurrentFont(QFont(family));
    m_family->setEditText(family);
    m_size->setValue(pointSize);
    m_missing->hide();
    showSample();
}

QString VXFontChooser::installedFamily(const QString &name)
{
    const QString wanted = name.trimmed();
    const QStringList families = QFontDatabase::families();
    const auto found = std::find_if(families.cbegin(), families.cend(),
                                    [&](const QString &family) { return family.compare(wanted, Qt::CaseInsensitive) == 0; });
    return found != families.cend() ? *found : QString();
}

void VXFontChooser::accept()
{
    const QString typed = m_family->currentText().trimmed();
    const QString family = installedFamily(typed);
    if (family.isEmpty()) {
        m_missing->setText(rqs::localized(QStringLiteral("FontMissingText")).arg(typed));
        m_missing->show();
        m_family->lineEdit()->selectAll();
        m_family->setFocus();
        return;
    }
    QFont chosen(family);
    chosen.setPointSizeF(m_size->value());
    emit fontChosen(chosen);
    QDialog::accept();
}

void VXFontChooser::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    m_family->lineEdit()->selectAll();
    m_family->setFocus();
}

void VXFontChooser::showSample()
{
    const QString family = installedFamily(m_family->currentText());
    if (family.isEmpty())
        return;
    QFont sample(family);
    sample.setPointSizeF(std::min(m_size->value(), LargestSample));
    m_sample->setFont(sample);
}
