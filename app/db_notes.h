#pragma once
// The comment window of the structure database: the record's name on the caption line
// Label2, the hint Label1 shown while a record is being stored, the comment box Text1 and
// the button Command1 ("OK"). It is shown modally and only hides when closed, so its
// contents persist between showings.

#include <QDialog>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace lamivex::app {

class DBNotes : public QDialog {
    Q_OBJECT

  public:
    explicit DBNotes(QWidget* parent = nullptr);

    // Label2 and the starting text of the comment box.
    void showRecord(const QString& name, const QString& comments);
    // Label1 ("Add comments for database file"): shown while a save asks for comments.
    void setAddingComments(bool adding);
    void setEditable(bool editable);

    [[nodiscard]] QString comments() const;
    [[nodiscard]] QLabel* caption() const { return m_Label2; }
    [[nodiscard]] QLabel* hint() const { return m_Label1; }
    [[nodiscard]] QPlainTextEdit* commentBox() const { return m_Text1; }
    [[nodiscard]] QPushButton* okButton() const { return m_Command1; }

    // Shows the window modally; returns when it has been closed: true by OK, false otherwise.
    bool showModally();

  private:
    QLabel* m_Label2;
    QLabel* m_Label1;
    QPlainTextEdit* m_Text1;
    QPushButton* m_Command1;
};

}  // namespace lamivex::app
