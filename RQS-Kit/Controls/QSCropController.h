#pragma once

#include "RQS-Kit/Controls/QSCropView.h"
#include "RQS-Kit/Controls/QSImageView.h"
#include "RQS-Kit/Foundation/QSWindowController.h"

#include <QPointer>
#include <QTextBrowser>

// A window for choosing the part of an image to keep at a fixed ratio: the image, a crop view over
// it and an explanation. Its window comes from its interface file; showWindow shows it. Main
// thread only.
class QSCropController : public QSWindowController
{
    Q_OBJECT
    Q_PROPERTY(QTextBrowser *descriptionView READ descriptionView WRITE setDescriptionView)
    Q_PROPERTY(QSImageView *imageView READ imageView WRITE setImageView)
    Q_PROPERTY(QSCropView *cropView READ cropView WRITE setCropView)
public:
    explicit QSCropController(QObject *parent = nullptr);

    // Loads the window; false (logged) when it does not load.
    bool setImage(const QImage &image);
    QImage image() const;
    void setCropRatio(double ratio);
    double cropRatio() const;
    // An HTML file; false (logged) when the window or the file is missing.
    bool setDescriptionFile(const QString &path);

    QTextBrowser *descriptionView() const;
    void setDescriptionView(QTextBrowser *view);
    QSImageView *imageView() const;
    void setImageView(QSImageView *view);
    QSCropView *cropView() const;
    void setCropView(QSCropView *view);
    // Kept for clients, apart from the crop view's.
    QRectF cropRect() const;
    void setCropRect(const QRectF &rect);
    bool flexibleSize() const;
    void setFlexibleSize(bool flexible);

private:
    QPointer<QTextBrowser> m_descriptionView;
    QPointer<QSImageView> m_imageView;
    QPointer<QSCropView> m_cropView;
    QRectF m_cropRect;
    bool m_flexibleSize = false;
};
