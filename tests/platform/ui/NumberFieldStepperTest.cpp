#include "platform/foundation/KeyValue.h"
#include "platform/ui/NumberFieldGuard.h"
#include "platform/ui/NumberFieldStepper.h"
#include "platform/ui/Window.h"

#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QSpinBox>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

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

// A number field that is no spin box: a line showing its value.
class NumberLine : public QLineEdit
{
    Q_OBJECT
    Q_PROPERTY(double value READ value WRITE setValue)
public:
    using QLineEdit::QLineEdit;
    double value() const { return text().toDouble(); }
    void setValue(double value) { setText(QString::number(value)); }
};

} // namespace

TEST(NumberFieldStepper, TheFieldEditorsCommandsStepAnyBoundNumberField)
{
    platform::Window window;
    auto *field = new NumberLine(&window);
    window.setCentralWidget(field);
    Amount amount;
    ASSERT_TRUE(platform::KeyValue::bind(field, "value", &amount, "value"));
    const struct
    {
        const char *command;
        double stored;
    } cases[] = {
        {"moveUp:", 13},
        {"moveDown:", 11},
        {"moveUpAndModifySelection:", 22},
        {"moveDownAndModifySelection:", 2},
        {"moveToBeginningOfParagraph:", 12.1},
        {"moveBackward:", 12.1},
        {"moveToEndOfParagraph:", 11.9},
        {"moveForward:", 11.9},
    };
    for (const auto &c : cases) {
        amount.value = 12;
        EXPECT_TRUE(platform::NumberFieldStepper::doCommandBySelector(field, c.command)) << c.command;
        EXPECT_DOUBLE_EQ(amount.value, c.stored) << c.command;
    }
    amount.value = 12;
    for (const char *other : {"moveLeft:", "moveRight:", "insertNewline:", "insertTab:"})
        EXPECT_FALSE(platform::NumberFieldStepper::doCommandBySelector(field, other)) << other;
    EXPECT_EQ(amount.value, 12);

    platform::NumberFieldGuard::guardFields(&window);
    QTest::keyClick(field, Qt::Key_Up);
    EXPECT_DOUBLE_EQ(amount.value, 13) << "the arrow key sends moveUp:";
    QTest::keyClick(field, Qt::Key_Down, Qt::AltModifier);
    EXPECT_DOUBLE_EQ(amount.value, 12.9);
    EXPECT_EQ(field->text(), "12.9");
    field->setCursorPosition(4);
    QTest::keyClick(field, Qt::Key_Left);
    EXPECT_EQ(field->cursorPosition(), 3) << "left and right stay the line's own";
}

TEST(NumberFieldStepper, APercentFieldStepsByOneShownPercent)
{
    auto *field = new QDoubleSpinBox;
    std::unique_ptr<QWidget> owner(field);
    field->setRange(0, 1);
    field->setDecimals(4);
    field->setSingleStep(0.25);
    field->setProperty("multiplier", 100);
    Amount amount;
    amount.value = 0.5;
    ASSERT_TRUE(platform::KeyValue::bind(field, "value", &amount, "value"));
    EXPECT_TRUE(platform::NumberFieldStepper::doCommandBySelector(field, "moveUp:"));
    EXPECT_DOUBLE_EQ(amount.value, 0.51);
}

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
