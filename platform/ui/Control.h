#pragma once

#include "platform/ui/View.h"

#include <QImage>
#include <QPointer>
#include <QString>

namespace platform {

// A view that the user works to send an action: an operation named on a target. Properties are
// readable and writable by name, so interface files, tools and key-value access reach them; the
// target is not one of them, since an interface file names its target as text.
//
// An action goes to its target when the target has an operation of that name taking the sender
// (or nothing); without a target it goes along the chain: the focus widget of the sender's window,
// that widget's ancestors, the window, then the window's controller. The first that answers gets
// it. An action nobody answers is a logged warning and a false answer. GUI thread.
class Control : public View
{
    Q_OBJECT
    Q_PROPERTY(QString action READ action WRITE setAction)
    Q_PROPERTY(int state READ state WRITE setState)
    Q_PROPERTY(QString title READ title WRITE setTitle)
    Q_PROPERTY(QImage image READ image WRITE setImage)
    Q_PROPERTY(int alignment READ alignment WRITE setAlignment)
    Q_PROPERTY(int imagePosition READ imagePosition WRITE setImagePosition)
    Q_PROPERTY(int tag READ tag WRITE setTag)

public:
    enum State { MixedState = -1, OffState = 0, OnState = 1 };
    // Text alignment as the kit's descriptions number it.
    enum Alignment { LeftAlignment = 0, RightAlignment = 1, CenterAlignment = 2, JustifiedAlignment = 3, NaturalAlignment = 4 };
    enum ImagePosition { NoImage = 0, ImageOnly = 1, ImageLeft = 2, ImageRight = 3, ImageBelow = 4, ImageAbove = 5, ImageOverlaps = 6 };

    explicit Control(QWidget *parent = nullptr);

    QObject *target() const;
    void setTarget(QObject *target);
    QString action() const;
    virtual void setAction(const QString &action);

    int state() const;
    virtual void setState(int state);
    QString title() const;
    virtual void setTitle(const QString &title);
    QImage image() const;
    void setImage(const QImage &image);
    int alignment() const;
    void setAlignment(int alignment);
    int imagePosition() const;
    void setImagePosition(int imagePosition);
    int tag() const;
    void setTag(int tag);

    // The click path of keyboard equivalents and clicks made in code.
    void performClick();
    // Sends this control's action as the click path does; subclasses may take the click over.
    virtual bool sendAction(const QString &action, QObject *target);
    // As the application sends any action; false, with a warning, when nobody answers.
    static bool sendAction(const QString &action, QObject *target, QObject *sender);
    // Whether the object has an operation of that name taking a sender or nothing.
    static bool respondsTo(const QObject *object, const QString &action);

signals:
    // After an action of this control reached the object that answered it.
    void actionSent(QObject *receiver, const QString &action);

private:
    static bool forward(const QString &action, QObject *target, QObject *sender);
    QPointer<QObject> m_target;
    QString m_action;
    int m_state = OffState;
    QString m_title;
    QImage m_image;
    int m_alignment = CenterAlignment;
    int m_imagePosition = NoImage;
    int m_tag = 0;
};

} // namespace platform
