#pragma once

#include "RQS-Kit/Effects/QSFrameDescription.h"
#include "platform/ui/UndoManager.h"

#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>

// Changes a user frame, which records and names the undo of each change itself; the editor lends
// it its undo manager. Refuses frames that are not editable.
class QSFrameEditor : public QObject
{
    Q_OBJECT

public:
    explicit QSFrameEditor(QObject *parent = nullptr);
    void setUndoManager(platform::UndoManager *undoManager);

    std::shared_ptr<QSFrameDescription> frame() const { return m_frame; }
    void setFrame(std::shared_ptr<QSFrameDescription> frame);

    // Each is false, with a "Warning: " line, without an editable frame or for an index or name
    // that the frame cannot take.
    bool setTextureName(const QString &name);
    bool setTextureColor(const platform::fx::Color &color);
    bool setTextureFillMode(int mode);
    bool setExternalMaskName(const QString &name);
    bool setInternalMaskName(const QString &name);
    bool addShade(const QString &identifier);
    bool setShadeName(const QString &identifier, int index);
    bool setShadeBlendMode(const QString &mode, int index);
    bool setShadeIntensity(double intensity, int index);
    bool removeShade(int index);

    // For changes beyond the frame: runs change now and registers revert as its undo, whose undo is
    // change again.
    void perform(const QString &actionName, std::function<void()> change, std::function<void()> revert);

signals:
    // After every change, undone and redone ones too.
    void frameChanged();

private:
    bool editable(const char *what) const;
    bool validShade(int index) const;

    QPointer<platform::UndoManager> m_undoManager;
    std::shared_ptr<QSFrameDescription> m_frame;
};
