#pragma once

#include "RQS-Kit/Controls/QSButton.h"
#include "RQS-Kit/Controls/QSHoverWindowController.h"

#include <memory>

// A button that shows a hover window with an information title and description while the
// pointer is over it.
class QSInfoHoverButton : public QSButton
{
    Q_OBJECT
    Q_PROPERTY(QString infoTitle READ infoTitle WRITE setInfoTitle)
    Q_PROPERTY(QString infoDescription READ infoDescription WRITE setInfoDescription)

public:
    explicit QSInfoHoverButton(QWidget *parent = nullptr);
    ~QSInfoHoverButton() override;

    void setButtonState(int request) override;
    // Made on first use.
    QSHoverWindowController *hoverWC();
    QString infoTitle();
    void setInfoTitle(const QString &title);
    QString infoDescription();
    void setInfoDescription(const QString &description);

private:
    std::unique_ptr<QSHoverWindowController> m_hoverWC;
};
