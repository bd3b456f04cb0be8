#pragma once

#include "RQS-Kit/Controls/QSButton.h"

class QSToolBarView;

// A button that sits on a tool bar; when it cuts the bar, the bar leaves a gap in its band where
// the button is. Its look belongs to the bar: the folder "<name>.button" inside the main bundle's
// "<barName>.barButton"; without both names it has none. Main thread.
class QSToolBarButton : public QSButton
{
    Q_OBJECT
    Q_PROPERTY(QString name READ name WRITE setName)
    Q_PROPERTY(QString barName READ barName WRITE setBarName)
    Q_PROPERTY(bool cutsBar READ cutsBar WRITE setCutsBar)
public:
    explicit QSToolBarButton(QWidget *parent = nullptr);
    ~QSToolBarButton() override;

    QString name() const;
    void setName(const QString &name);
    QString barName() const;
    void setBarName(const QString &barName);

    bool cutsBar() const;
    // Registers the button with the tool bar it sits on, or takes it off.
    void setCutsBar(bool cutsBar);

protected:
    QString descriptionFolder() const override;
    bool event(QEvent *event) override;

private:
    QSToolBarView *toolBar() const;

    QString m_name;
    QString m_barName;
    bool m_cutsBar = false;
};
