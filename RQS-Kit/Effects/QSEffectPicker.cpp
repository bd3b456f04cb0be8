#include "RQS-Kit/Effects/QSEffectPicker.h"

#include "RQS-Kit/Effects/QSEffectsCatalog.h"

#include <QEvent>
#include <QMenu>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <functional>

namespace {

// A menu that tells each change of its highlighted item, to none as well (the pointer left the
// menu or rests on a separator): QMenu's own signal tells only of items.
class HighlightingMenu : public QMenu
{
public:
    std::function<void(QAction *)> highlightChanged;

protected:
    bool event(QEvent *event) override
    {
        const bool handled = QMenu::event(event);
        const QEvent::Type type = event->type();
        // Each showing starts with nothing highlighted.
        if (type == QEvent::Show)
            m_highlighted = nullptr;
        else if ((type == QEvent::MouseMove || type == QEvent::Leave || type == QEvent::KeyPress)
            && activeAction() != m_highlighted) {
            m_highlighted = activeAction();
            if (highlightChanged)
                highlightChanged(m_highlighted);
        }
        return handled;
    }

private:
    QPointer<QAction> m_highlighted;
};

} // namespace

QSEffectPicker &QSEffectPicker::shared()
{
    static QSEffectPicker picker(QSEffectsCatalog::shared());
    return picker;
}

QSEffectPicker::QSEffectPicker(const QSEffectsCatalog &catalog)
    : m_catalog(catalog)
    , m_effectDisplayNames(catalog.sortedDisplayNames())
{
    std::sort(m_effectDisplayNames.begin(), m_effectDisplayNames.end());
}

QSEffectPicker::~QSEffectPicker() = default;

void QSEffectPicker::showPickerOver(QWidget *view, std::shared_ptr<QSEffectPickerDelegate> delegate)
{
    m_delegate = std::move(delegate);
    m_didSelectEffect = false;
    // The view's origin is its bottom left, as everywhere in the kit.
    listMenu()->popup(view->mapToGlobal(QPoint(0, view->height())));
}

QMenu *QSEffectPicker::listMenu()
{
    if (m_listMenu)
        return m_listMenu.get();
    auto menu = std::make_unique<HighlightingMenu>();
    menu->highlightChanged = [this](QAction *item) { highlighted(item); };
    m_listMenu = std::move(menu);
    for (const QString &name : m_effectDisplayNames)
        m_listMenu->addAction(name);
    connect(m_listMenu.get(), &QMenu::triggered, this, &QSEffectPicker::itemSelected);
    connect(m_listMenu.get(), &QMenu::aboutToHide, this, &QSEffectPicker::menuClosed);
    return m_listMenu.get();
}

void QSEffectPicker::highlighted(QAction *item)
{
    if (m_delegate)
        m_delegate->effectPickerPreviewing(*this, item ? m_catalog.effectForDisplayName(item->text()) : nullptr);
}

void QSEffectPicker::itemSelected(QAction *item)
{
    if (!m_delegate)
        return;
    const std::shared_ptr<QSEffectPickerDelegate> delegate = std::move(m_delegate);
    m_didSelectEffect = true;
    delegate->effectPickerDidSelectEffect(*this, item->text().isEmpty() ? nullptr
                                                                        : m_catalog.effectForDisplayName(item->text()));
}

void QSEffectPicker::menuClosed()
{
    // The menu hides before its chosen item fires, so the verdict waits a turn.
    QTimer::singleShot(0, this, [this] {
        if (m_didSelectEffect || !m_delegate)
            return;
        const std::shared_ptr<QSEffectPickerDelegate> delegate = std::move(m_delegate);
        delegate->effectPickerDidSelectEffect(*this, nullptr);
    });
}
