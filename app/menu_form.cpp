#include "app/menu_form.h"

#include <QAction>
#include <QCloseEvent>
#include <QLabel>
#include <QToolBar>
#include <QVBoxLayout>

#include "app/icons.h"

namespace lamivex::app {

MenuForm::MenuForm(QWidget* parent) : QWidget(parent), m_toolbar(new QToolBar(this)) {
    loadIcons();
    setObjectName(QStringLiteral("MenuForm"));
    setWindowTitle(QStringLiteral("Lamivex / Vantrell"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/lamivex.svg")));

    m_toolbar->setObjectName(QStringLiteral("Toolbar1"));
    m_toolbar->setIconSize(QSize(48, 48));
    m_toolbar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    m_toolbar->setMovable(false);

    struct Button {
        const char* key;
        const char* caption;  // the key with its access key marked
        const char* icon;
        const char* tip;
    };
    static constexpr Button kButtons[] = {
        {"Lamivex", "&Lamivex", ":/icons/lamivex.svg", "Click to access Lamivex"},
        {"Vantrell", "&Vantrell", ":/icons/vantrell.svg", "Click to access Vantrell"},
        {"Exit", "E&xit", ":/icons/exit.svg", "Click to Exit"},
    };
    for (const Button& b : kButtons) {
        const QString key = QString::fromLatin1(b.key);
        QAction* action = m_toolbar->addAction(QIcon(QString::fromLatin1(b.icon)), key);
        // A toolbar button shows the icon text; given with its marker it carries the key.
        action->setIconText(QString::fromLatin1(b.caption));
        action->setObjectName(key);
        action->setData(key);
        action->setToolTip(QString::fromLatin1(b.tip));
        connect(action, &QAction::triggered, this, [this, key] { buttonClicked(key); });
        if (key == QLatin1String("Exit")) {
            m_toolbar->insertSeparator(action);
        }
    }
    button(QStringLiteral("Vantrell"))->setEnabled(false);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_toolbar);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void MenuForm::setVantrellAction(std::function<void()> open) {
    m_openVantrell = std::move(open);
    button(QStringLiteral("Vantrell"))->setEnabled(static_cast<bool>(m_openVantrell));
}

QAction* MenuForm::button(const QString& key) const {
    return m_toolbar->findChild<QAction*>(key);
}

void MenuForm::buttonClicked(const QString& key) {
    if (key == QLatin1String("Lamivex")) {
        hide();
        emit lamivexRequested();
    } else if (key == QLatin1String("Vantrell")) {
        if (m_openVantrell) {
            m_openVantrell();
        }
    } else if (key == QLatin1String("Exit")) {
        emit exitRequested();
    }
}

void MenuForm::closeEvent(QCloseEvent* event) {
    // The menu is the program: closing it is its Exit button.
    event->accept();
    emit exitRequested();
}

}  // namespace lamivex::app
