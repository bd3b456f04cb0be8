#pragma once

#include "app/shell/VXTaskStateBackgroundView.h"
#include "platform/ui/View.h"

#include <QAbstractButton>
#include <QLabel>

#include <QPointer>

class VXTask;

// One row of the factory table: the task's name, its state on a coloured tag, and two buttons
// whose pictures and actions follow the state (reset and edit while waiting, reveal once
// exported, the error once failed), beside a remove button. Laid out by "VXTaskCellView.ui".
class VXTaskCellView : public platform::View
{
    Q_OBJECT
    Q_PROPERTY(QLabel *documentNameTF MEMBER m_documentNameTF)
    Q_PROPERTY(QLabel *stateTF MEMBER m_stateTF)
    Q_PROPERTY(QAbstractButton *leftButton MEMBER m_leftButton)
    Q_PROPERTY(QAbstractButton *rightButton MEMBER m_rightButton)
    Q_PROPERTY(QAbstractButton *removeButton MEMBER m_removeButton)
    Q_PROPERTY(VXTaskStateBackgroundView *stateBackground MEMBER m_stateBackground)

public:
    explicit VXTaskCellView(QWidget *parent = nullptr);

    // Null shows "Unknown".
    void setTask(VXTask *task);
    void setState(qint32 state);

    Q_INVOKABLE void leftAction(QObject *sender = nullptr);
    Q_INVOKABLE void rightAction(QObject *sender = nullptr);
    Q_INVOKABLE void removeTask(QObject *sender = nullptr);

    void drawRect(const QRectF &dirtyRect) override;

private:
    void setLeftActionImage(const QImage &left, const QImage &right);
    void showError();

    QPointer<VXTask> m_task;
    qint32 m_state = 0;
    QMetaObject::Connection m_stateBinding;
    QLabel *m_documentNameTF = nullptr;
    QLabel *m_stateTF = nullptr;
    QAbstractButton *m_leftButton = nullptr;
    QAbstractButton *m_rightButton = nullptr;
    QAbstractButton *m_removeButton = nullptr;
    VXTaskStateBackgroundView *m_stateBackground = nullptr;
};
