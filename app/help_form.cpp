#include "app/help_form.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/manual_viewer.h"
#include "app/window_keys.h"

namespace lamivex::app {

HelpForm::HelpForm(QWidget* parent) : HelpForm(QCoreApplication::applicationDirPath(), parent) {}

HelpForm::HelpForm(const QString& programDir, QWidget* parent)
    : QWidget(parent, Qt::Window), m_manual(manualPath(programDir)) {
    setObjectName(QStringLiteral("frmHelp"));
    setWindowTitle(QStringLiteral("Help"));

    auto* line1 = new QLabel(QStringLiteral("Step-by-step instructions for generating"), this);
    line1->setObjectName(QStringLiteral("Label1"));
    auto* line2 = new QLabel(QStringLiteral("results with this program are provided at"), this);
    line2->setObjectName(QStringLiteral("Label2"));
    auto* address = new QLabel(instructionsAddress(programDir), this);
    address->setObjectName(QStringLiteral("Label3"));
    address->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QFont bold = address->font();
    bold.setBold(true);
    address->setFont(bold);

    m_open = new QPushButton(QStringLiteral("Open &manual"), this);
    m_open->setObjectName(QStringLiteral("cmdManual"));
    m_open->setEnabled(!m_manual.isEmpty());
    connect(m_open, &QPushButton::clicked, this, &HelpForm::openManual);

    auto* ok = new QPushButton(QStringLiteral("&OK"), this);
    ok->setObjectName(QStringLiteral("cmdOK"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QWidget::hide);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_open);
    buttons->addStretch();
    buttons->addWidget(ok);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(line1);
    layout->addWidget(line2);
    layout->addSpacing(6);
    layout->addWidget(address);
    layout->addSpacing(10);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    QWidget::setTabOrder(m_open, ok);
    ok->setFocus();

    auto* keys = new WindowKeys(this);
    keys->setEscape([this] { hide(); });
    keys->setDefaultButton(ok);
}

HelpForm::~HelpForm() = default;

QString HelpForm::manualPath(const QString& programDir) {
    const QString manual =
        QDir::cleanPath(programDir + QStringLiteral("/../share/doc/lamivex/manual.md"));
    return QFileInfo(manual).isFile() ? manual : QString();
}

QString HelpForm::instructionsAddress(const QString& programDir) {
    const QString manual = manualPath(programDir);
    return manual.isEmpty() ? QStringLiteral("docs/manual.md in the Lamivex source folder")
                            : QDir::toNativeSeparators(manual);
}

QString HelpForm::instructionsAddress() {
    return instructionsAddress(QCoreApplication::applicationDirPath());
}

void HelpForm::openManual() {
    if (m_manual.isEmpty()) {
        return;
    }
    if (!m_viewer) {
        m_viewer = std::make_unique<ManualViewer>(m_manual);
    }
    m_viewer->show();
    m_viewer->raise();
    m_viewer->activateWindow();
}

}  // namespace lamivex::app
