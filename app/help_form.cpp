#include "app/help_form.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace lamivex::app {

HelpForm::HelpForm(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("frmHelp"));
    setWindowTitle(QStringLiteral("Help"));

    auto* line1 = new QLabel(QStringLiteral("Step-by-step instructions for generating"), this);
    line1->setObjectName(QStringLiteral("Label1"));
    auto* line2 = new QLabel(QStringLiteral("results with this program are provided at"), this);
    line2->setObjectName(QStringLiteral("Label2"));
    auto* address = new QLabel(instructionsAddress(), this);
    address->setObjectName(QStringLiteral("Label3"));
    address->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QFont bold = address->font();
    bold.setBold(true);
    address->setFont(bold);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("cmdOK"));
    connect(ok, &QPushButton::clicked, this, &QWidget::hide);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(line1);
    layout->addWidget(line2);
    layout->addSpacing(6);
    layout->addWidget(address);
    layout->addSpacing(10);
    layout->addWidget(ok, 0, Qt::AlignRight);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

QString HelpForm::instructionsAddress() {
    const QString installed = QDir::cleanPath(QCoreApplication::applicationDirPath() +
                                              QStringLiteral("/../share/doc/lamivex/README.md"));
    if (QFileInfo::exists(installed)) {
        return installed;
    }
    return QStringLiteral("README.md in the Lamivex source folder");
}

}  // namespace lamivex::app
