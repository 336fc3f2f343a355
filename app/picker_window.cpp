#include "app/picker_window.h"

#include <QEvent>
#include <QFocusEvent>
#include <QVBoxLayout>

#include "app/window_keys.h"

namespace lamivex::app {

PickerWindow::PickerWindow(const QString& objectName, const QString& listName, QWidget* parent)
    // A tool window stays above the main window it belongs to without blocking it.
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint), m_list(new QListWidget(this)) {
    setObjectName(objectName);
    setWindowTitle(objectName);
    m_list->setObjectName(listName);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->installEventFilter(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->addWidget(m_list);
    setFixedSize(240, 220);

    connect(m_list, &QListWidget::itemClicked, this,
            [this](const QListWidgetItem* item) { emit picked(item->text()); });
    connect(m_list, &QListWidget::itemActivated, this,
            [this](const QListWidgetItem* item) { emit picked(item->text()); });
    // Escape puts the list away without a pick and gives the keyboard back to the window
    // it was opened from.
    auto* keys = new WindowKeys(this);
    keys->setEscape([this] {
        hide();
        if (QWidget* owner = parentWidget()) {
            owner->activateWindow();
        }
    });
}

void PickerWindow::fill(const std::vector<std::string>& names) {
    m_list->clear();
    for (const std::string& name : names) {
        m_list->addItem(QString::fromStdString(name));
    }
    // The first name is ready for Enter; the arrow keys move from it.
    m_list->setCurrentRow(0);
}

QStringList PickerWindow::names() const {
    QStringList result;
    for (int row = 0; row < m_list->count(); ++row) {
        result << m_list->item(row)->text();
    }
    return result;
}

void PickerWindow::showBelow(const QWidget* anchor) {
    move(anchor->mapToGlobal(QPoint(0, anchor->height())));
    show();
    raise();
    activateWindow();
    m_list->setFocus(Qt::PopupFocusReason);
}

void PickerWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isVisible() && !isActiveWindow()) {
        hide();
    }
}

bool PickerWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_list && event->type() == QEvent::FocusOut && isVisible()) {
        hide();
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace lamivex::app
