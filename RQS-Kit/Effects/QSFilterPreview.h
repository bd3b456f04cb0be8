#pragma once

#include "platform/foundation/KeyValueObservation.h"
#include "platform/fx/Filter.h"
#include "platform/fx/Image.h"
#include "platform/ui/View.h"

#include <QHash>

#include <memory>

// Shows one filter applied to a picture of the application's resources, inside a one-point black
// border. Interface files set the filter's inputs with the key path "filter.<input>" and tie them
// to user defaults with "bind.<default>" = "<input>"; the stored values apply at awakeFromNib.
class QSFilterPreview : public platform::View
{
    Q_OBJECT
    Q_PROPERTY(bool adjustImage READ adjustImage WRITE setAdjustImage)
    Q_PROPERTY(bool adjustResult READ adjustResult WRITE setAdjustResult)
    Q_PROPERTY(QString imageName READ imageName WRITE setImageName)
    Q_PROPERTY(QString filterName READ filterName WRITE setFilterName)

public:
    explicit QSFilterPreview(QWidget *parent = nullptr);

    // Scale the picture to the view before filtering.
    bool adjustImage() const { return m_adjustImage; }
    void setAdjustImage(bool adjust);
    // Fit the whole output into the view instead of showing it one to one.
    bool adjustResult() const { return m_adjustResult; }
    void setAdjustResult(bool adjust);
    QString imageName() const { return m_imageName; }
    void setImageName(const QString &name);
    QString filterName() const { return m_filterName; }
    // A name no filter answers to leaves no filter, with a "Warning: " line.
    void setFilterName(const QString &name);
    platform::fx::Filter *filter() const { return m_filter.get(); }
    void setFilter(std::unique_ptr<platform::fx::Filter> filter);
    // User-defaults key → filter input key.
    const QHash<QString, QString> &bindings() const { return m_bindings; }

    // "bind." and "filter." paths naming an input the filter lacks are ignored with a warning.
    bool setValueForKeyPath(const QString &keyPath, const QVariant &value);
    // The hook of key-value access: the "filter." form, else the view's properties.
    Q_INVOKABLE bool setValueForKey(const QString &key, const QVariant &value);
    Q_INVOKABLE void awakeFromNib();

    void drawRect(const QRectF &dirtyRect) override;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    bool hasInput(const QString &key) const;
    bool bindInput(const QString &defaultsKey, const QString &inputKey);
    bool setFilterInput(const QString &inputKey, const QVariant &value);
    void loadImage();
    void adaptInputImage();

    QHash<QString, QString> m_bindings;
    QHash<QString, platform::KeyValueObservation> m_observations;
    platform::fx::Image m_inputImage;
    bool m_adjustImage = false;
    bool m_adjustResult = false;
    QString m_imageName;
    QString m_filterName;
    std::unique_ptr<platform::fx::Filter> m_filter;
};
