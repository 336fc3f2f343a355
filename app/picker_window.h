#pragma once
// What the two pickers of the structure database share: a small window beside the main
// window with one name list, shown without blocking and hidden as soon as it loses the
// focus. A click on a name (or Enter on it) reports the pick; Escape puts it away.

#include <string>
#include <vector>

#include <QListWidget>
#include <QWidget>

namespace lamivex::app {

class PickerWindow : public QWidget {
    Q_OBJECT

  public:
    // objectName names the window ("Sublist"), listName its list ("List1").
    PickerWindow(const QString& objectName, const QString& listName, QWidget* parent);

    // Replaces the list by names, kept in the order given (the store's alphabetical order).
    void fill(const std::vector<std::string>& names);
    // Places the window with its top-left corner just below anchor, shows it and gives its
    // list the focus.
    void showBelow(const QWidget* anchor);

    [[nodiscard]] QListWidget* list() const { return m_list; }
    [[nodiscard]] QStringList names() const;

  signals:
    void picked(const QString& name);

  protected:
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QListWidget* m_list;
};

}  // namespace lamivex::app
