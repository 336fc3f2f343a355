#include "app/str_anal_controls.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "crystal/crystal_system.h"

namespace lamivex::app {
namespace {

using crystal::CellField;
using crystal::ResultKind;

constexpr int kCellFieldWidth = 88;
constexpr int kIndexFieldWidth = 72;
constexpr int kResultWidth = 96;

QString latin1(std::string_view text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

QLabel* unitLabel(const QString& text, QWidget* parent) {
    auto* l = new QLabel(text, parent);
    l->setForegroundRole(QPalette::PlaceholderText);
    return l;
}

EntryField* indexField(const char* name, QWidget* parent) {
    auto* f = new EntryField(QString::fromLatin1(name), parent);
    f->setFixedWidth(kIndexFieldWidth);
    return f;
}

QPushButton* button(const char* name, const QString& text, QWidget* parent) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QString::fromLatin1(name));
    // Enter in a cell field recalculates; it must not also press a button.
    b->setAutoDefault(false);
    return b;
}

QLabel* resultLabel(std::string_view name, QWidget* parent) {
    auto* l = new QLabel(parent);
    l->setObjectName(latin1(name));
    l->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    // No fixed minimum: an "undefined: ..." text widens the label and the window with it.
    l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    l->setTextInteractionFlags(Qt::TextSelectableByMouse);
    l->setBackgroundRole(QPalette::Base);
    l->setAutoFillBackground(true);
    return l;
}

// The caption with the character at index marked as its access key.
QString withAccessKey(std::string_view caption, qsizetype index) {
    return latin1(caption).insert(index, QLatin1Char('&'));
}

// Where each result box's access key falls in its caption: P, I, A and V.
qsizetype accessKeyIndex(ResultKind kind) {
    return kind == ResultKind::Volume ? 5 : 0;
}

QWidget* systemRow(StrAnalControls& c, QWidget* parent) {
    auto* row = new QWidget(parent);
    c.CMBsystem = new QComboBox(row);
    c.CMBsystem->setObjectName(QStringLiteral("CMBsystem"));
    for (const crystal::CrystalSystem system : crystal::kAllSystems) {
        c.CMBsystem->addItem(latin1(crystal::systemName(system)));
    }
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* caption = new QLabel(QStringLiteral("Crystal &System :"), row);
    caption->setBuddy(c.CMBsystem);
    layout->addWidget(caption);
    layout->addWidget(c.CMBsystem);
    layout->addStretch();
    return row;
}

QGroupBox* cellBox(StrAnalControls& c, QWidget* parent) {
    auto* box = new QGroupBox(QStringLiteral("Unit cell"), parent);
    auto* grid = new QGridLayout(box);
    // a, b, c in the first row, alpha, beta, gamma under them: "caption = [field] unit",
    // so that reading order, Tab and the usual order of the cell constants agree.
    for (std::size_t i = 0; i < crystal::kCellFields.size(); ++i) {
        const CellField field = crystal::kCellFields[i];
        auto* f = new EntryField(latin1(crystal::fieldObjectName(field)), box);
        f->setFixedWidth(kCellFieldWidth);
        c.cellFields[i] = f;
        const bool angle = crystal::isAngleField(field);
        const int row = angle ? 1 : 0;
        const int column = static_cast<int>(i % 3) * 4;
        auto* caption =
            new QLabel(latin1(crystal::fieldShortName(field)) + QStringLiteral(" ="), box);
        grid->addWidget(caption, row, column, Qt::AlignRight);
        grid->addWidget(f, row, column + 1);
        grid->addWidget(
            unitLabel(angle ? QStringLiteral("degrees") : QStringLiteral("Angstroms"), box), row,
            column + 2);
    }
    grid->setColumnMinimumWidth(3, 16);
    grid->setColumnMinimumWidth(7, 16);
    grid->setColumnStretch(11, 1);
    c.Mh3dRecalc = button("Mh3dRecalc", QStringLiteral("&Recalculate"), box);
    grid->addWidget(c.Mh3dRecalc, 1, 12);
    return box;
}

// One result row: check box with its caption, the index fields, "Enter", the result and
// its unit.
void addResultRow(QGridLayout* grid, int row, QCheckBox* box, QLayout* indices, QPushButton* enter,
                  QLabel* result, QLabel* unit) {
    // Only the caption answers a click, so the box is not stretched past it.
    grid->addWidget(box, row, 0, Qt::AlignLeft);
    if (indices != nullptr) {
        grid->addLayout(indices, row, 1);
    }
    if (enter != nullptr) {
        grid->addWidget(enter, row, 2);
    }
    grid->addWidget(result, row, 3);
    grid->addWidget(unit, row, 4);
}

QHBoxLayout* indexPair(QWidget* first, QWidget* second, QWidget* parent) {
    auto* pair = new QHBoxLayout;
    pair->addWidget(first);
    pair->addWidget(new QLabel(QStringLiteral("and"), parent));
    pair->addWidget(second);
    pair->addStretch();
    return pair;
}

QGroupBox* resultsBox(StrAnalControls& c, QWidget* parent) {
    auto* box = new QGroupBox(QStringLiteral("Results"), parent);
    for (const ResultKind kind : {ResultKind::PlaneSpacing, ResultKind::InterplanarAngle,
                                  ResultKind::DirectionAngle, ResultKind::Volume}) {
        const crystal::ResultControls names = crystal::resultControls(kind);
        auto* check = new QCheckBox(withAccessKey(names.caption, accessKeyIndex(kind)), box);
        check->setObjectName(latin1(names.checkBox));
        c.resultBoxes[static_cast<std::size_t>(kind)] = check;
        c.resultLabels[static_cast<std::size_t>(kind)] = resultLabel(names.label, box);
    }
    c.txtPlaneSpace = indexField("txtPlaneSpace", box);
    c.txtPlane1 = indexField("txtPlane1", box);
    c.txtPlane2 = indexField("txtPlane2", box);
    c.txtDir1 = indexField("txtDir1", box);
    c.txtDir2 = indexField("txtDir2", box);
    c.CmdPlaneSpace = button("CmdPlaneSpace", QStringLiteral("Enter"), box);
    c.Cmdinterangle = button("Cmdinterangle", QStringLiteral("Enter"), box);
    c.CmdMillerAngle = button("CmdMillerAngle", QStringLiteral("Enter"), box);

    const auto unit = [box](ResultKind kind) {
        return unitLabel(latin1(crystal::resultControls(kind).unit), box);
    };
    auto* spacingIndices = new QHBoxLayout;
    spacingIndices->addWidget(c.txtPlaneSpace);
    spacingIndices->addStretch();

    auto* grid = new QGridLayout(box);
    grid->addWidget(unitLabel(QStringLiteral("(h k l) or [u v w], one blank apart"), box), 0, 1, 1,
                    2);
    addResultRow(grid, 1, c.resultBox(ResultKind::PlaneSpacing), spacingIndices, c.CmdPlaneSpace,
                 c.resultLabel(ResultKind::PlaneSpacing), unit(ResultKind::PlaneSpacing));
    addResultRow(grid, 2, c.resultBox(ResultKind::InterplanarAngle),
                 indexPair(c.txtPlane1, c.txtPlane2, box), c.Cmdinterangle,
                 c.resultLabel(ResultKind::InterplanarAngle), unit(ResultKind::InterplanarAngle));
    addResultRow(grid, 3, c.resultBox(ResultKind::DirectionAngle),
                 indexPair(c.txtDir1, c.txtDir2, box), c.CmdMillerAngle,
                 c.resultLabel(ResultKind::DirectionAngle), unit(ResultKind::DirectionAngle));
    addResultRow(grid, 4, c.resultBox(ResultKind::Volume), nullptr, nullptr,
                 c.resultLabel(ResultKind::Volume), unit(ResultKind::Volume));
    grid->setColumnMinimumWidth(1, 2 * kIndexFieldWidth + 40);
    grid->setColumnMinimumWidth(3, kResultWidth);
    grid->setColumnStretch(3, 1);
    return box;
}

}  // namespace

StrAnalControls buildStrAnalControls(QWidget* window) {
    StrAnalControls c;
    c.Command1 = button("Command1", QStringLiteral("E&xit"), window);
    auto* exitRow = new QHBoxLayout;
    exitRow->addStretch();
    exitRow->addWidget(c.Command1);

    auto* layout = new QVBoxLayout(window);
    layout->addWidget(systemRow(c, window));
    layout->addWidget(cellBox(c, window));
    layout->addWidget(resultsBox(c, window));
    layout->addLayout(exitRow);

    // Tab reads the window: the system, the lengths, the angles, then each result row.
    QWidget* order[] = {c.CMBsystem,
                        c.cellField(CellField::A),
                        c.cellField(CellField::B),
                        c.cellField(CellField::C),
                        c.cellField(CellField::Alpha),
                        c.cellField(CellField::Beta),
                        c.cellField(CellField::Gamma),
                        c.Mh3dRecalc,
                        c.resultBox(ResultKind::PlaneSpacing),
                        c.txtPlaneSpace,
                        c.CmdPlaneSpace,
                        c.resultBox(ResultKind::InterplanarAngle),
                        c.txtPlane1,
                        c.txtPlane2,
                        c.Cmdinterangle,
                        c.resultBox(ResultKind::DirectionAngle),
                        c.txtDir1,
                        c.txtDir2,
                        c.CmdMillerAngle,
                        c.resultBox(ResultKind::Volume),
                        c.Command1};
    for (std::size_t i = 0; i + 1 < std::size(order); ++i) {
        QWidget::setTabOrder(order[i], order[i + 1]);
    }
    return c;
}

}  // namespace lamivex::app
