#include "app/manual_viewer.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextCursor>
#include <QUrl>
#include <QVBoxLayout>

#include "app/window_keys.h"

namespace lamivex::app {
namespace {

// The anchor a heading gets where Markdown is published: lower case, letters, digits,
// '-' and '_' kept, blanks turned into '-', everything else dropped.
QString headingAnchor(const QString& heading) {
    QString anchor;
    for (const QChar c : heading.toLower()) {
        if (c.isLetterOrNumber() || c == QLatin1Char('-') || c == QLatin1Char('_')) {
            anchor += c;
        } else if (c == QLatin1Char(' ')) {
            anchor += QLatin1Char('-');
        }
    }
    return anchor;
}

// Qt's Markdown reader names no headings, so links to sections would lead nowhere. Names
// them once per loaded page; false when they were named already.
bool nameHeadings(QTextDocument& document) {
    bool named = false;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (block.blockFormat().headingLevel() == 0 || block.length() <= 1) {
            continue;
        }
        const QString anchor = headingAnchor(block.text());
        if (block.begin().fragment().charFormat().anchorNames().contains(anchor)) {
            return named;
        }
        QTextCursor cursor(block);
        cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
        QTextCharFormat format;
        format.setAnchor(true);
        format.setAnchorNames({anchor});
        cursor.mergeCharFormat(format);
        named = true;
    }
    return named;
}

}  // namespace

ManualViewer::ManualViewer(const QString& manualFile, QWidget* parent)
    : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("frmManual"));
    setWindowTitle(QStringLiteral("Lamivex manual"));

    m_browser = new QTextBrowser(this);
    m_browser->setObjectName(QStringLiteral("txtManual"));
    // Web addresses open in the browser; links inside the manual stay here.
    m_browser->setOpenExternalLinks(true);
    connect(m_browser, &QTextBrowser::sourceChanged, this, &ManualViewer::pageShown);
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

void ManualViewer::pageShown(const QUrl& source) {
    // The browser scrolls to a section before it says which page it shows, so a page whose
    // headings were only just named is scrolled again.
    if (nameHeadings(*m_browser->document()) && source.hasFragment()) {
        m_browser->scrollToAnchor(source.fragment());
    }
}

}  // namespace lamivex::app
