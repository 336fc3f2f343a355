#include "app/iteration_window.h"

#include <QApplication>
#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>

#include "app/qt_support.h"
#include "app/services.h"
#include "app/window_keys.h"
#include "numbers/number_text.h"

namespace lamivex::app {
namespace {

using iteration::Constant;

struct RowFields {
    Constant row;
    const char* caption;
    const char* fix;
};

constexpr RowFields kRows[] = {
    {Constant::b1, "b1 range", "b1fix"},       {Constant::b2, "b2 range", "b2fix"},
    {Constant::beta, "beta range", "betafix"}, {Constant::a1, "a1 range", "a1fix"},
    {Constant::a2, "a2 range", "a2fix"},       {Constant::alpha, "alpha range", "alphafix"},
};

constexpr iteration::RangeColumn kColumns[] = {
    iteration::RangeColumn::From, iteration::RangeColumn::To, iteration::RangeColumn::Increment};

}  // namespace

Iteration::Iteration(Services& services, QWidget* parent)
    : QWidget(parent, Qt::Window), m_services(services) {
    setObjectName(QStringLiteral("Iteration"));
    setWindowTitle(QStringLiteral("Iteration Parameters"));

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("From"), this), 0, 1, Qt::AlignHCenter);
    grid->addWidget(new QLabel(QStringLiteral("To"), this), 0, 2, Qt::AlignHCenter);
    grid->addWidget(new QLabel(QStringLiteral("Increment"), this), 0, 3, Qt::AlignHCenter);
    grid->addWidget(new QLabel(QStringLiteral("Fixed"), this), 0, 4, Qt::AlignHCenter);
    int gridRow = 1;
    for (const RowFields& rowFields : kRows) {
        if (rowFields.row == Constant::b1 || rowFields.row == Constant::a1) {
            auto* block = new QLabel(rowFields.row == Constant::b1 ? QStringLiteral("Overlayer")
                                                                   : QStringLiteral("Substrate"),
                                     this);
            QFont bold = block->font();
            bold.setBold(true);
            block->setFont(bold);
            grid->addWidget(block, gridRow++, 0, 1, 5);
        }
        const std::size_t r = iteration::rowIndex(rowFields.row);
        grid->addWidget(new QLabel(QString::fromLatin1(rowFields.caption), this), gridRow, 0);
        for (const iteration::RangeColumn column : kColumns) {
            Rule rule{iteration::rangeFieldRule(rowFields.row, column), nullptr};
            if (rule.rule.checksRange) {
                rule.from = m_fields[r][0];
            }
            const auto c = static_cast<std::size_t>(column);
            EntryField* f = addField(iteration::objectNameOf(rowFields.row, column).c_str(), rule);
            m_fields[r][c] = f;
            grid->addWidget(f, gridRow, static_cast<int>(c) + 1);
        }
        m_fixed[r] = new QCheckBox(this);
        m_fixed[r]->setObjectName(QString::fromLatin1(rowFields.fix));
        grid->addWidget(m_fixed[r], gridRow, 4, Qt::AlignHCenter);
        ++gridRow;
    }

    m_itercrit = addField("itercrit", Rule{iteration::kCriterionRule, nullptr});
    auto* criterionRow = new QHBoxLayout;
    auto* criterionCaption = new QLabel(QStringLiteral("Selection &Criteria :"), this);
    criterionCaption->setBuddy(m_itercrit);
    criterionRow->addWidget(criterionCaption);
    criterionRow->addWidget(m_itercrit);
    criterionRow->addStretch();

    auto* kind = new QGroupBox(this);
    m_iterover = new QRadioButton(QStringLiteral("Iterate &Overlayer"), kind);
    m_iterover->setObjectName(QStringLiteral("iterover"));
    m_itersubs = new QRadioButton(QStringLiteral("Iterate &Substrate"), kind);
    m_itersubs->setObjectName(QStringLiteral("itersubs"));
    m_iterover->setChecked(true);
    auto* kindLayout = new QVBoxLayout(kind);
    kindLayout->addWidget(m_iterover);
    kindLayout->addWidget(m_itersubs);

    auto* properties = new QGroupBox(QStringLiteral("Substrate Properties"), this);
    m_RigidSubs = new QRadioButton(QStringLiteral("&Require a1=a2"), properties);
    m_RigidSubs->setObjectName(QStringLiteral("RigidSubs"));
    m_FlexSubs = new QRadioButton(QStringLiteral("&Allow a1<>a2"), properties);
    m_FlexSubs->setObjectName(QStringLiteral("FlexSubs"));
    m_FlexSubs->setChecked(true);
    auto* propertiesLayout = new QVBoxLayout(properties);
    propertiesLayout->addWidget(m_RigidSubs);
    propertiesLayout->addWidget(m_FlexSubs);

    auto* options = new QHBoxLayout;
    options->addWidget(kind);
    options->addWidget(properties);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(criterionRow);
    layout->addLayout(options);
    checkFieldsBeforeAccessKeys(this);
    tabToCheckedOptions(this);
}

EntryField* Iteration::addField(const char* name, Rule rule) {
    auto* f = new EntryField(QString::fromLatin1(name), this);
    f->setFixedWidth(80);
    m_rules.insert(f, rule);
    connect(f, &EntryField::entered, this,
            [this, f](Qt::FocusReason reason) { onEntered(f, reason); });
    connect(f, &EntryField::left, this, [this, f](Qt::FocusReason reason) { onLeft(f, reason); });
    return f;
}

EntryField* Iteration::field(Constant row, Column column) const {
    return m_fields[iteration::rowIndex(row)][static_cast<std::size_t>(column)];
}

QCheckBox* Iteration::fixBox(Constant row) const {
    return m_fixed[iteration::rowIndex(row)];
}

iteration::IterationWindowFields Iteration::fields() const {
    iteration::IterationWindowFields w;
    for (std::size_t r = 0; r < w.rows.size(); ++r) {
        w.rows[r].from = m_fields[r][0]->text().toStdString();
        w.rows[r].to = m_fields[r][1]->text().toStdString();
        w.rows[r].increment = m_fields[r][2]->text().toStdString();
        w.rows[r].fixed = m_fixed[r]->isChecked();
    }
    w.iterover = m_iterover->isChecked();
    w.rigidSubs = m_RigidSubs->isChecked();
    w.itercrit = m_itercrit->text().toStdString();
    return w;
}

void Iteration::FillIterationDefaults(const engine::MainFieldTexts& mainFields,
                                      double SelectionCriterion) {
    iteration::IterationWindowFields w = fields();
    iteration::fillIterationDefaults(mainFields, SelectionCriterion, w);
    for (std::size_t r = 0; r < w.rows.size(); ++r) {
        m_fields[r][0]->setText(qs(w.rows[r].from));
        m_fields[r][1]->setText(qs(w.rows[r].to));
        m_fields[r][2]->setText(qs(w.rows[r].increment));
    }
    m_itercrit->setText(qs(w.itercrit));
}

void Iteration::onEntered(EntryField* field, Qt::FocusReason reason) {
    if (m_checking || (isWindowSwitch(reason) && m_current != nullptr)) {
        return;
    }
    m_current = field;
    selectWholeText(field, reason);
    m_entryValue =
        qs(iteration::rangeEntryValue(m_rules.value(field).rule, field->text().toStdString()));
}

void Iteration::onLeft(EntryField* field, Qt::FocusReason reason) {
    if (isWindowSwitch(reason) || m_checking || m_current != field) {
        return;
    }
    m_current = nullptr;
    const Rule rule = m_rules.value(field);
    const std::string text = field->text().toStdString();
    const std::string from = rule.from != nullptr ? rule.from->text().toStdString() : std::string();
    const iteration::RangeVerdict verdict = iteration::checkRangeEntry(rule.rule, text, from);
    if (!verdict.accepted) {
        refuse(field, verdict.message);
        return;
    }
    if (rule.rule.normalises) {
        if (const auto value = iteration::shortestRangeText(text)) {
            field->setText(qs(*value));
        }
    }
}

void Iteration::refuse(EntryField* field, std::string_view message) {
    m_checking = true;
    m_services.message(this,
                       QString::fromUtf8(message.data(), static_cast<qsizetype>(message.size())));
    m_checking = false;
    field->setText(m_entryValue);
    field->setFocus(Qt::OtherFocusReason);
    if (QApplication::activeWindow() == nullptr && isVisible()) {
        activateWindow();
    }
}

}  // namespace lamivex::app
