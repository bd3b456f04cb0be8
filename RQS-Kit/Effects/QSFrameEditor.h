#pragma once

#include "RQS-Kit/Effects/QSFrameDescription.h"
#include "platform/ui/UndoManager.h"

#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>

// Changes a user frame so that each change can be undone and redone: the frame description's own
// setters keep no history. Refuses frames that are not editable.
class QSFrameEditor : public QObject
{
    Q_OBJECT

public:
    explicit QSFrameEditor(QObject *parent = nullptr);
    void setUndoManager(platform::UndoManager *undoManager) { m_undoManager = undoManager; }

    std::shared_ptr<QSFrameDescription> frame() const { return m_frame; }
    void setFrame(std::shared_ptr<QSFrameDescription> frame) { m_frame = std::move(frame); }

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

    // Runs change now and registers revert as its undo, whose undo is change again.
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
