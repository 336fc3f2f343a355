#pragma once
// The Iteration window ("Iteration Parameters"): the From, To and Increment fields and the
// Fixed box of the six lattice constants, the selection criterion, which lattice a run
// iterates and whether a1 and a2 stay equal. Each field checks itself when it is left.

#include <array>

#include <QCheckBox>
#include <QPointer>
#include <QRadioButton>
#include <QWidget>

#include "app/field_rules.h"
#include "engine/lattice.h"
#include "iteration/iteration_ranges.h"
#include "iteration/range_rules.h"

namespace lamivex::app {

class Services;

class Iteration : public QWidget {
    Q_OBJECT

  public:
    enum class Column { From, To, Increment };

    Iteration(Services& services, QWidget* parent = nullptr);

    // The window's state as a run reads it.
    [[nodiscard]] iteration::IterationWindowFields fields() const;
    // Every row from the main window's lattices, itercrit from the criterion; the Fixed
    // boxes and the options stay as they are.
    void FillIterationDefaults(const engine::MainFieldTexts& mainFields, double SelectionCriterion);

    [[nodiscard]] EntryField* field(iteration::Constant row, Column column) const;
    [[nodiscard]] EntryField* itercrit() const { return m_itercrit; }
    [[nodiscard]] QCheckBox* fixBox(iteration::Constant row) const;
    [[nodiscard]] bool iterover() const { return m_iterover->isChecked(); }
    // The content of the field last entered, as a refusal writes it back.
    [[nodiscard]] const QString& FieldEntryValue() const { return m_entryValue; }

  private:
    // How a field remembers its entry value and what leaving it checks and writes back.
    struct Rule {
        iteration::RangeFieldRule rule;
        EntryField* from = nullptr;  // the From field of the row (To fields)
    };

    EntryField* addField(const char* name, Rule rule);
    void onEntered(EntryField* field, Qt::FocusReason reason);
    void onLeft(EntryField* field, Qt::FocusReason reason);
    void refuse(EntryField* field, std::string_view message);

    Services& m_services;
    std::array<std::array<EntryField*, 3>, iteration::kConstantCount> m_fields{};
    std::array<QCheckBox*, iteration::kConstantCount> m_fixed{};
    EntryField* m_itercrit = nullptr;
    QRadioButton* m_iterover = nullptr;
    QRadioButton* m_itersubs = nullptr;
    QRadioButton* m_RigidSubs = nullptr;
    QRadioButton* m_FlexSubs = nullptr;
    QHash<EntryField*, Rule> m_rules;
    QString m_entryValue;
    QPointer<EntryField> m_current;
    bool m_checking = false;
};

}  // namespace lamivex::app
