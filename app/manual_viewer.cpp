#include "app/manual_viewer.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

#include "app/window_keys.h"

namespace lamivex::app {

ManualViewer::ManualViewer(const QString& manualFile, QWidget* parent)
    : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("frmManual"));
    setWindowTitle(QStringLiteral("Lamivex manual"));

    m_browser = new QTextBrowser(this);
    m_browser->setObjectName(QStringLiteral("txtManual"));
    // Web addresses open in the browser; links inside the manual stay here.
    m_browser->setOpenExternalLinks(true);
    // Pictures are named relative to the manual's folder.
    m_browser->setSource(QUrl::fromLocalFile(manualFile), QTextDocument::MarkdownResource);

    auto* back = new QPushButton(QStringLiteral("&Back"), this);
    back->setObjectName(QStringLiteral("cmdBack"));
    back->setEnabled(false);
    connect(m_browser, &QTextBrowser::backwardAvailable, back, &QPushButton::setEnabled);
    connect(back, &QPushButton::clicked, m_browser, &QTextBrowser::backward);

    auto* close = new QPushButton(QStringLiteral("&Close"), this);
    close->setObjectName(QStringLiteral("cmdClose"));
    connect(close, &QPushButton::clicked, this, &QWidget::hide);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(back);
    buttons->addStretch();
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_browser);
    layout->addLayout(buttons);

    // Readable on a 1280 x 800 screen with room around it.
    resize(900, 680);

    auto* keys = new WindowKeys(this);
    keys->setEscape([this] { hide(); });
}

}  // namespace lamivex::app
