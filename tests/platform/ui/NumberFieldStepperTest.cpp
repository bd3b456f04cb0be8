#include "platform/foundation/KeyValue.h"
#include "platform/ui/NumberFieldGuard.h"
#include "platform/ui/Window.h"

#include <QDoubleSpinBox>
#include <QSpinBox>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class Amount : public QObject
{
    Q_OBJECT
    Q_PROPERTY(double value MEMBER value NOTIFY valueChanged)
public:
    double value = 0;
signals:
    void valueChanged();
};

} // namespace

// A window's spin box bound to a model, stepped with the keys a user presses.
TEST(NumberFieldStepper, ArrowKeysStepTheBoundValueWithinTheFieldsRangeAndDecimals)
{
    platform::Window window;
    auto *field = new QDoubleSpinBox(&window);
    field->setRange(-1, 1);
    field->setDecimals(2);
    field->setSingleStep(0.1);
    window.setCentralWidget(field);
    Amount amount;
    amount.value = 0.5;
    ASSERT_TRUE(platform::KeyValue::bind(field, "value", &amount, "value"));
    platform::NumberFieldGuard::guardFields(&window);

    QTest::keyClick(field, Qt::Key_Up);
    EXPECT_DOUBLE_EQ(amount.value, 0.6);
    QTest::keyClick(field, Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_DOUBLE_EQ(amount.value, -0.4);
    for (int tenth = 0; tenth < 7; ++tenth)
        QTest::keyClick(field, Qt::Key_Up, Qt::AltModifier);
    EXPECT_EQ(amount.value, -0.33) << "tenth steps must not drift";
    QTest::keyClick(field, Qt::Key_Up, Qt::ShiftModifier);
    QTest::keyClick(field, Qt::Key_Up, Qt::ShiftModifier);
    EXPECT_EQ(amount.value, 1.0) << "kept at the top of the range";
    QTest::keyClick(field, Qt::Key_Down, Qt::ShiftModifier);
    QTest::keyClick(field, Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(amount.value, -1.0) << "kept at the bottom of the range";
    EXPECT_DOUBLE_EQ(field->value(), -1.0) << "the field follows its model";
}

TEST(NumberFieldStepper, AFieldWithoutBindingKeepsItsOwnKeys)
{
    platform::Window window;
    auto *field = new QSpinBox(&window);
    field->setRange(0, 20);
    field->setValue(12);
    window.setCentralWidget(field);
    platform::NumberFieldGuard::guardFields(&window);

    QTest::keyClick(field, Qt::Key_Up);
    EXPECT_EQ(field->value(), 13);
}

#include "NumberFieldStepperTest.moc"
