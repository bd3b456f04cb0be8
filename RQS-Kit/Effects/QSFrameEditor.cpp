#include "RQS-Kit/Effects/QSFrameEditor.h"

#include "platform/foundation/Log.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/UndoManager.h"

QSFrameEditor::QSFrameEditor(QObject *parent)
    : QObject(parent)
{
}

void QSFrameEditor::setUndoManager(platform::UndoManager *undoManager)
{
    m_undoManager = undoManager;
    if (m_frame && m_frame->isEditable())
        m_frame->setUndoManager(undoManager);
}

void QSFrameEditor::setFrame(std::shared_ptr<QSFrameDescription> frame)
{
    auto *center = platform::NotificationCenter::defaultCenter();
    center->removeObserver(this, QStringLiteral("FrameUndo"));
    m_frame = std::move(frame);
    if (!m_frame || !m_frame->isEditable())
        return;
    m_frame->setUndoManager(m_undoManager);
    center->addObserver(this, QStringLiteral("FrameUndo"), m_frame.get(),
                        [this](const platform::Notification &) { emit frameChanged(); });
}

void QSFrameEditor::perform(const QString &actionName, std::function<void()> change, std::function<void()> revert)
{
    change();
    if (m_undoManager) {
        m_undoManager->registerUndo(this, [this, actionName, change, revert] { perform(actionName, revert, change); });
        m_undoManager->setActionName(actionName);
    }
    emit frameChanged();
}

bool QSFrameEditor::editable(const char *what) const
{
    if (m_frame && m_frame->isEditable())
        return true;
    platform::logWarning(QStringLiteral("Only the user's own frames can change their %1").arg(QLatin1String(what)));
    return false;
}

bool QSFrameEditor::validShade(int index) const
{
    if (index >= 0 && index < m_frame->shades().size())
        return true;
    platform::logWarning(QStringLiteral("The frame has no shade %1").arg(index));
    return false;
}

bool QSFrameEditor::setTextureName(const QString &name)
{
    if (!editable("texture"))
        return false;
    m_frame->setTextureName(name);
    emit frameChanged();
    return true;
}

bool QSFrameEditor::setTextureColor(const platform::fx::Color &color)
{
    if (!editable("colour"))
        return false;
    m_frame->setTextureColor(color);
    emit frameChanged();
    return true;
}

bool QSFrameEditor::setTextureFillMode(int mode)
{
    if (!editable("texture cut"))
        return false;
    m_frame->setTextureFillMode(mode);
    emit frameChanged();
    return true;
}

bool QSFrameEditor::setExternalMaskName(const QString &name)
{
    if (!editable("outer mask"))
        return false;
    m_frame->setExternalMaskName(name);
    emit frameChanged();
    return true;
}

bool QSFrameEditor::setInternalMaskName(const QString &name)
{
    if (!editable("inner mask"))
        return false;
    m_frame->setInternalMaskName(name);
    emit frameChanged();
    return true;
}

bool QSFrameEditor::addShade(const QString &identifier)
{
    if (!editable("shades"))
        return false;
    auto shade = m_frame->shadeNamed(identifier, {}, 1.0);
    if (!shade) {
        platform::logWarning(QStringLiteral("There is no shade '%1'").arg(identifier));
        return false;
    }
    m_frame->addShade(shade);
    emit frameChanged();
    return true;
}

bool QSFrameEditor::setShadeName(const QString &identifier, int index)
{
    if (!editable("shades") || !validShade(index))
        return false;
    if (!m_frame->setShadeName(identifier, index))
        return false;
    emit frameChanged();
    return true;
}

bool QSFrameEditor::setShadeBlendMode(const QString &mode, int index)
{
    if (!editable("shades") || !validShade(index))
        return false;
    m_frame->setShadeBlendMode(mode, index);
    emit frameChanged();
    return true;
}

bool QSFrameEditor::setShadeIntensity(double intensity, int index)
{
    if (!editable("shades") || !validShade(index))
        return false;
    m_frame->setShadeIntensity(intensity, index);
    emit frameChanged();
    return true;
}

bool QSFrameEditor::removeShade(int index)
{
    if (!editable("shades") || !validShade(index))
        return false;
    m_frame->removeShadeAtIndex(index);
    emit frameChanged();
    return true;
}
