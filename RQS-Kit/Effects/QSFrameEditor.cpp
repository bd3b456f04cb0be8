#include "RQS-Kit/Effects/QSFrameEditor.h"

#include "platform/foundation/Log.h"
#include "platform/ui/UndoManager.h"

QSFrameEditor::QSFrameEditor(QObject *parent)
    : QObject(parent)
{
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
    const auto frame = m_frame;
    const QString oldName = frame->textureName();
    const platform::fx::Color oldColor = frame->textureColor();
    perform(tr("Texture"), [frame, name] { frame->setTextureName(name); },
            [frame, oldName, oldColor] {
                frame->setTextureName(oldName);
                frame->setTextureColor(oldColor);
            });
    return true;
}

bool QSFrameEditor::setTextureColor(const platform::fx::Color &color)
{
    if (!editable("colour"))
        return false;
    const auto frame = m_frame;
    const platform::fx::Color old = frame->textureColor();
    perform(tr("Texture Color"), [frame, color] { frame->setTextureColor(color); },
            [frame, old] { frame->setTextureColor(old); });
    return true;
}

bool QSFrameEditor::setTextureFillMode(int mode)
{
    if (!editable("texture cut"))
        return false;
    const auto frame = m_frame;
    const int old = frame->textureFillMode();
    perform(tr("Texture Cut"), [frame, mode] { frame->setTextureFillMode(mode); },
            [frame, old] { frame->setTextureFillMode(old); });
    return true;
}

bool QSFrameEditor::setExternalMaskName(const QString &name)
{
    if (!editable("outer mask"))
        return false;
    const auto frame = m_frame;
    const QString old = frame->externalMaskName();
    perform(tr("Outer Mask"), [frame, name] { frame->setExternalMaskName(name); },
            [frame, old] { frame->setExternalMaskName(old); });
    return true;
}

bool QSFrameEditor::setInternalMaskName(const QString &name)
{
    if (!editable("inner mask"))
        return false;
    const auto frame = m_frame;
    const QString old = frame->internalMaskName();
    perform(tr("Inner Mask"), [frame, name] { frame->setInternalMaskName(name); },
            [frame, old] { frame->setInternalMaskName(old); });
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
    const auto frame = m_frame;
    const int index = int(frame->shades().size());
    perform(tr("Add Shade"), [frame, shade, index] { frame->insertShade(shade, index); },
            [frame, index] { frame->removeShadeAtIndex(index); });
    return true;
}

bool QSFrameEditor::setShadeName(const QString &identifier, int index)
{
    if (!editable("shades") || !validShade(index))
        return false;
    const auto frame = m_frame;
    const auto old = frame->shades().at(index);
    auto shade = frame->shadeNamed(identifier, old->blendMode(), old->intensity());
    if (!shade) {
        platform::logWarning(QStringLiteral("There is no shade '%1'").arg(identifier));
        return false;
    }
    const auto replace = [frame, index](const std::shared_ptr<QSShadeDescription> &with) {
        return [frame, index, with] {
            frame->removeShadeAtIndex(index);
            frame->insertShade(with, index);
        };
    };
    perform(tr("Shade"), replace(shade), replace(old));
    return true;
}

bool QSFrameEditor::setShadeBlendMode(const QString &mode, int index)
{
    if (!editable("shades") || !validShade(index))
        return false;
    const auto frame = m_frame;
    const QString old = frame->shades().at(index)->blendMode();
    perform(tr("Blend Mode"), [frame, mode, index] { frame->setShadeBlendMode(mode, index); },
            [frame, old, index] { frame->setShadeBlendMode(old, index); });
    return true;
}

bool QSFrameEditor::setShadeIntensity(double intensity, int index)
{
    if (!editable("shades") || !validShade(index))
        return false;
    const auto frame = m_frame;
    const double old = frame->shades().at(index)->intensity();
    perform(tr("Intensity"), [frame, intensity, index] { frame->setShadeIntensity(intensity, index); },
            [frame, old, index] { frame->setShadeIntensity(old, index); });
    return true;
}

bool QSFrameEditor::removeShade(int index)
{
    if (!editable("shades") || !validShade(index))
        return false;
    const auto frame = m_frame;
    const auto shade = frame->shades().at(index);
    perform(tr("Remove Shade"), [frame, index] { frame->removeShadeAtIndex(index); },
            [frame, shade, index] { frame->insertShade(shade, index); });
    return true;
}
