#include "app/iteration_window.h"

#include <optional>

#include <QApplication>
#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>

#include "app/services.h"
#include "app/window_keys.h"
#include "engine/number_text.h"

namespace lamivex::app {
namespace {

using iteration::Constant;

const char* const kInvalidData = "Invalid data";
const char* const kInvalidRange = "Invalid range";

QString qs(const std::string& text) {
    return QString::fromStdString(text);
}

// Focus lent to a message box or another window is not the user leaving the field.
bool isWindowSwitch(Qt::FocusReason reason) {
    return reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason;
}

// A text the run can read as a 32-bit float.
bool readable(const QString& text) {
    const std::string t = text.toStdString();
    return engine::isNumeric(t) && engine::toSingle(t).ok();
}

// The shortest text of the 32-bit value, with its leading zero (0.800 becomes 0.8, not .8);
// nullopt when the text is no such value.
std::optional<QString> shortestText(const QString& text) {
    const auto normalised = engine::normaliseSingleText(text.toStdString());
    if (!normalised) {
        return std::nullopt;
    }
    QString out = qs(*normalised);
    if (out.startsWith(QLatin1Char('.'))) {
        out.prepend(QLatin1Char('0'));
    } else if (out.startsWith(QLatin1String("-."))) {
        out.insert(1, QLatin1Char('0'));
    }
    return out;
}

struct RowFields {
    Constant row;
    const char* caption;
    const char* names[3];
    const char* fix;
};

constexpr RowFields kRows[] = {
    {Constant::b1, "b1 range", {"b1low", "b1high", "b1inc"}, "b1fix"},
    {Constant::b2, "b2 range", {"b2low", "b2high", "b2inc"}, "b2fix"},
    {Constant::beta, "beta range", {"betalow", "betahigh", "betainc"}, "betafix"},
    {Constant::a1, "a1 range", {"a1low", "a1high", "a1inc"}, "a1fix"},
    {Constant::a2, "a2 range", {"a2low", "a2high", "a2inc"}, "a2fix"},
    {Constant::alpha, "alpha range", {"alphalow", "alphahigh", "alphainc"}, "alphafix"},
};

}  // namespace

Iteration::Iteration(Services& services, QWidget* parent)
    : QWidget(parent, Qt::Window), m_services(services) {
    setObjectName(QStringLiteral("Iteration"));
    setWindowTitle(QStringLiteral("Iteration Parameters"));

    // Which fields remember their value rather than their text, which compare with
    // their From field, and which are rewritten in the shortest form of their value.
    const auto ruleFor = [](Constant row, int column) {
        Rule r;
        const bool length1 = row == Constant::b1 || row == Constant::b2;
        if (column == 0) {  // From
            r.remembersValue = !length1;
            r.normalises = row == Constant::beta;
        } else if (column == 1) {  // To
            r.checksRange = true;
            r.remembersValue = row == Constant::a1;
            r.normalises = row == Constant::a1;
        } else {  // Increment
            r.remembersValue = row == Constant::beta;
            r.normalises = row == Constant::beta;
        }
        return r;
    };

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
        for (int column = 0; column < 3; ++column) {
            Rule rule = ruleFor(rowFields.row, column);
            if (rule.checksRange) {
                rule.from = m_fields[r][0];
            }
            EntryField* f = addField(rowFields.names[column], rule);
            m_fields[r][static_cast<std::size_t>(column)] = f;
            grid->addWidget(f, gridRow, column + 1);
        }
        m_fixed[r] = new QCheckBox(this);
        m_fixed[r]->setObjectName(QString::fromLatin1(rowFields.fix));
        grid->addWidget(m_fixed[r], gridRow, 4, Qt::AlignHCenter);
        ++gridRow;
    }

    Rule criterion;
    criterion.remembersValue = true;
    criterion.normalises = true;
    m_itercrit = addField("itercrit", criterion);
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
    field->setSelection(0, static_cast<int>(field->text().size()));
    if (reason == Qt::MouseFocusReason) {
        // The click that gave the focus places the cursor after this; select once it has.
        QTimer::singleShot(0, field, [field] {
            if (field->hasFocus()) {
                field->selectAll();
            }
        });
    }
    const Rule rule = m_rules.value(field);
    m_entryValue = field->text();
    if (rule.remembersValue) {
        // A text that is no number is remembered as it stands.
        if (const auto value = shortestText(field->text())) {
            m_entryValue = *value;
        }
    }
}

void Iteration::onLeft(EntryField* field, Qt::FocusReason reason) {
    if (isWindowSwitch(reason) || m_checking || m_current != field) {
        return;
    }
    m_current = nullptr;
    const Rule rule = m_rules.value(field);
    if (!readable(field->text())) {
        refuse(field, kInvalidData);
        return;
    }
    if (rule.checksRange && rule.from != nullptr) {
        // A From value that cannot be read gives nothing to compare with.
        const engine::Parsed<float> from = engine::toSingle(rule.from->text().toStdString());
        const engine::Parsed<float> to = engine::toSingle(field->text().toStdString());
        if (engine::isNumeric(rule.from->text().toStdString()) && from.ok() &&
            from.value > to.value) {
            refuse(field, kInvalidRange);
            return;
        }
    }
    if (rule.normalises) {
        if (const auto value = shortestText(field->text())) {
            field->setText(*value);
        }
    }
}

void Iteration::refuse(EntryField* field, const char* message) {
    m_checking = true;
    m_services.message(this, QString::fromLatin1(message));
    m_checking = false;
    field->setText(m_entryValue);
    field->setFocus(Qt::OtherFocusReason);
    if (QApplication::activeWindow() == nullptr && isVisible()) {
        activateWindow();
    }
}

}  // namespace lamivex::app
