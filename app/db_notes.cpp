#include "app/db_notes.h"

#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace lamivex::app {

DBNotes::DBNotes(QWidget* parent)
    : QDialog(parent),
      m_Label2(new QLabel(this)),
      m_Label1(new QLabel(QStringLiteral("Add comments for database file"), this)),
      m_Text1(new QPlainTextEdit(this)),
      m_Command1(new QPushButton(QStringLiteral("&OK"), this)) {
    setObjectName(QStringLiteral("DBNotes"));
    setWindowTitle(QStringLiteral("Notes"));
    setModal(true);

    m_Label2->setObjectName(QStringLiteral("Label2"));
    QFont bold = m_Label2->font();
    bold.setBold(true);
    m_Label2->setFont(bold);
    m_Label2->setTextFormat(Qt::PlainText);
    m_Label1->setObjectName(QStringLiteral("Label1"));
    m_Label1->hide();
    m_Text1->setObjectName(QStringLiteral("Text1"));
    m_Text1->setMinimumSize(360, 160);
    m_Text1->setTabChangesFocus(true);
    m_Command1->setObjectName(QStringLiteral("Command1"));
    m_Command1->setDefault(true);
    connect(m_Command1, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_Label2);
    layout->addWidget(m_Label1);
    layout->addWidget(m_Text1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_Command1);
    layout->addLayout(buttons);
}

void DBNotes::showRecord(const QString& name, const QString& comments) {
    m_Label2->setText(name);
    m_Text1->setPlainText(comments);
}

void DBNotes::setAddingComments(bool adding) {
    m_Label1->setVisible(adding);
}

void DBNotes::setEditable(bool editable) {
    m_Text1->setReadOnly(!editable);
}

QString DBNotes::comments() const {
    return m_Text1->toPlainText();
}

bool DBNotes::showModally() {
    m_Text1->setFocus();
    const bool accepted = exec() == QDialog::Accepted;
    // Not every window system gives the activation back to the window beneath.
    if (QApplication::activeWindow() == nullptr && parentWidget() != nullptr &&
        parentWidget()->isVisible()) {
        parentWidget()->activateWindow();
    }
    return accepted;
}

}  // namespace lamivex::app
