#include "app/str_anal.h"

#include <optional>
#include <string>
#include <utility>

#include <QApplication>
#include <QTimer>

#include "app/qt_support.h"
#include "app/services.h"
#include "app/window_keys.h"
#include "crystal/cell_rules.h"
#include "crystal/geometry.h"

namespace lamivex::app {
namespace {

using crystal::CellField;
using crystal::CrystalSystem;
using crystal::ResultKind;

constexpr std::array<ResultKind, 4> kResultKinds{ResultKind::PlaneSpacing,
                                                 ResultKind::InterplanarAngle,
                                                 ResultKind::DirectionAngle, ResultKind::Volume};

// Text on a grey fixed field stays readable, not the faint grey of disabled text.
const QColor kFixedFieldText(48, 48, 48);

QString qtText(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string stdText(const QLineEdit* field) {
    return field->text().toStdString();
}

void applyFieldLook(QLineEdit* field, const crystal::FieldRule& rule) {
    field->setEnabled(rule.enabled());
    const crystal::Rgb rgb = rule.background();
    QPalette palette = field->palette();
    palette.setColor(QPalette::Base, QColor(rgb.red, rgb.green, rgb.blue));
    palette.setColor(QPalette::Disabled, QPalette::Text, kFixedFieldText);
    field->setPalette(palette);
}

}  // namespace

StrAnal::StrAnal(Services& services, QWidget* parent)
    : QWidget(parent, Qt::Dialog), m_services(services), m_controls(buildStrAnalControls(this)) {
    setObjectName(QStringLiteral("StrAnal"));
    setWindowTitle(QStringLiteral("Structure Analysis"));
    setWindowModality(Qt::ApplicationModal);
    const StrAnalControls& c = m_controls;

    connect(c.CMBsystem, &QComboBox::activated, this, [this](int index) {
        selectSystem(crystal::kAllSystems.at(static_cast<std::size_t>(index)));
    });
    for (const CellField field : crystal::kCellFields) {
        EntryField* f = c.cellField(field);
        connect(f, &EntryField::entered, this,
                [this, f](Qt::FocusReason reason) { onCellEntered(f, reason); });
        connect(f, &EntryField::left, this,
                [this, field](Qt::FocusReason reason) { onCellLeft(field, reason); });
        connect(f, &QLineEdit::returnPressed, this, &StrAnal::recalculate);
    }
    for (EntryField* f : {c.txtPlaneSpace, c.txtPlane1, c.txtPlane2, c.txtDir1, c.txtDir2}) {
        connect(f, &EntryField::entered, this, [f](Qt::FocusReason reason) {
            if (!isWindowSwitch(reason)) {
                selectWholeText(f, reason);
            }
        });
    }
    connect(c.Mh3dRecalc, &QPushButton::clicked, this, &StrAnal::recalculate);
    connect(c.CmdPlaneSpace, &QPushButton::clicked, this, &StrAnal::enterPlaneSpacing);
    connect(c.Cmdinterangle, &QPushButton::clicked, this, &StrAnal::enterPlanes);
    connect(c.CmdMillerAngle, &QPushButton::clicked, this, &StrAnal::enterDirections);
    for (const ResultKind kind : kResultKinds) {
        // Runs for the user's clicks and for the program's own ticking alike.
        connect(c.resultBox(kind), &QCheckBox::toggled, this,
                [this, kind](bool ticked) { onResultBox(kind, ticked); });
        c.resultLabel(kind)->setText(qtText(crystal::kBlankResultText));
    }
    connect(c.Command1, &QPushButton::clicked, this, &QWidget::close);
    // Enter in an index field presses the "Enter" button of its row (Enter in a cell field
    // recalculates, above); Escape leaves the window as Exit does.
    connect(c.txtPlaneSpace, &QLineEdit::returnPressed, c.CmdPlaneSpace, &QPushButton::click);
    for (EntryField* f : {c.txtPlane1, c.txtPlane2}) {
        connect(f, &QLineEdit::returnPressed, c.Cmdinterangle, &QPushButton::click);
    }
    for (EntryField* f : {c.txtDir1, c.txtDir2}) {
        connect(f, &QLineEdit::returnPressed, c.CmdMillerAngle, &QPushButton::click);
    }
    auto* keys = new WindowKeys(this);
    keys->setEscape([this] { m_controls.Command1->click(); });
    checkFieldsBeforeAccessKeys(this);

    c.txtPlaneSpace->setText(qtText(crystal::kDefaultSpacingPlaneText));
    c.txtPlane1->setText(qtText(crystal::kDefaultPlane1Text));
    c.txtPlane2->setText(qtText(crystal::kDefaultPlane2Text));
    c.txtDir1->setText(qtText(crystal::kDefaultDirection1Text));
    c.txtDir2->setText(qtText(crystal::kDefaultDirection2Text));
    showFieldTexts(crystal::CellFieldTexts{});
    selectSystem(crystal::kAllSystems.front());
}

void StrAnal::selectSystem(CrystalSystem system) {
    const StrAnalControls& c = m_controls;
    m_system = system;
    for (std::size_t i = 0; i < crystal::kAllSystems.size(); ++i) {
        if (crystal::kAllSystems[i] == system) {
            c.CMBsystem->setCurrentIndex(static_cast<int>(i));
        }
    }
    crystal::CellFieldTexts texts = fieldTexts();
    crystal::applySystemSelection(system, texts);
    showFieldTexts(texts);
    for (const ResultKind kind : kResultKinds) {
        c.resultBox(kind)->setChecked(false);
    }
    for (const CellField field : crystal::kCellFields) {
        applyFieldLook(c.cellField(field), crystal::fieldRule(system, field));
    }
    for (const ResultKind kind : kResultKinds) {
        c.resultBox(kind)->setEnabled(true);
    }
    // Parses the index texts as they stand; with every box unticked nothing is shown.
    enterPlanes();
    enterDirections();
    enterPlaneSpacing();
}

void StrAnal::recalculate() {
    for (const ResultKind kind : crystal::kRecalculateOrder) {
        retickIfTicked(kind);
    }
}

void StrAnal::retickIfTicked(ResultKind kind) {
    QCheckBox* box = m_controls.resultBox(kind);
    if (box->isChecked()) {
        box->setChecked(false);
        box->setChecked(true);
    }
}

void StrAnal::enterPlaneSpacing() {
    const StrAnalControls& c = m_controls;
    if (!c.txtPlaneSpace->text().isEmpty()) {
        const std::optional<crystal::MillerPlane> plane =
            crystal::parseMillerPlane(stdText(c.txtPlaneSpace));
        if (!plane) {
            message(crystal::kIncorrectPlaneMessage);
            return;
        }
        m_spacingPlane = *plane;
    }
    c.resultBox(ResultKind::PlaneSpacing)->setEnabled(true);
    retickIfTicked(ResultKind::PlaneSpacing);
}

void StrAnal::enterPlanes() {
    // Parsing only: a shown angle changes at the next tick or Recalculate.
    if (parsePlanes()) {
        m_controls.resultBox(ResultKind::InterplanarAngle)->setEnabled(true);
    }
}

bool StrAnal::parsePlanes() {
    const StrAnalControls& c = m_controls;
    for (auto [field, plane] :
         {std::pair{c.txtPlane1, &m_plane1}, std::pair{c.txtPlane2, &m_plane2}}) {
        if (field->text().isEmpty()) {
            continue;
        }
        const std::optional<crystal::MillerPlane> parsed =
            crystal::parseMillerPlane(stdText(field));
        if (!parsed) {
            message(crystal::kIncorrectPlanesMessage);
            return false;
        }
        *plane = *parsed;
    }
    return true;
}

void StrAnal::enterDirections() {
    const StrAnalControls& c = m_controls;
    if (!c.txtDir1->text().isEmpty()) {
        m_dir1 = crystal::parseDirection(stdText(c.txtDir1));
    }
    if (!c.txtDir2->text().isEmpty()) {
        m_dir2 = crystal::parseDirection(stdText(c.txtDir2));
    }
    c.resultBox(ResultKind::DirectionAngle)->setEnabled(true);
    retickIfTicked(ResultKind::DirectionAngle);
}

void StrAnal::onResultBox(ResultKind kind, bool ticked) {
    QLabel* label = m_controls.resultLabel(kind);
    if (!ticked) {
        label->setText(qtText(crystal::kBlankResultText));
        return;
    }
    // The interplanar angle always uses the plane texts as they stand. An unreadable one
    // has had its message; the label keeps what it showed rather than an angle of planes
    // no longer on the screen.
    if (kind == ResultKind::InterplanarAngle && !parsePlanes()) {
        return;
    }
    label->setText(qtText(crystal::resultLabelText(compute(kind))));
}

crystal::CrystalResult StrAnal::compute(ResultKind kind) const {
    // The cell is read afresh with the system's rules, so a result reflects the texts whether
    // or not they were left, and never a tied field that still shows an older text.
    const crystal::CrystalCell cell = crystal::cellForCalculation(m_system, fieldTexts());
    switch (kind) {
        case ResultKind::PlaneSpacing:
            return crystal::planeSpacing(m_system, cell, m_spacingPlane);
        case ResultKind::InterplanarAngle:
            return crystal::interplanarAngle(m_system, cell, m_plane1, m_plane2);
        case ResultKind::DirectionAngle:
            return crystal::directionAngle(cell, m_dir1, m_dir2);
        case ResultKind::Volume:
            return crystal::cellVolume(m_system, cell);
    }
    return {};
}

void StrAnal::onCellEntered(EntryField* field, Qt::FocusReason reason) {
    // Focus handed around while a refusal's message is up is not an entry; neither is the
    // focus coming back to the field the user was in. The first focus a window gives is.
    if (m_checking || (isWindowSwitch(reason) && m_current != nullptr)) {
        return;
    }
    m_current = field;
    selectWholeText(field, reason);
}

void StrAnal::onCellLeft(CellField field, Qt::FocusReason reason) {
    EntryField* f = m_controls.cellField(field);
    if (isWindowSwitch(reason) || m_checking || m_current != f) {
        return;
    }
    m_current = nullptr;
    crystal::CellFieldTexts texts = fieldTexts();
    const crystal::EntryOutcome outcome = crystal::applyCellEntry(m_system, field, texts);
    if (!outcome.accepted) {
        m_checking = true;
        message(crystal::kInvalidDataMessage);
        m_checking = false;
        showFieldTexts(texts);  // a refused a or alpha is emptied
        f->setFocus(Qt::OtherFocusReason);
        // Not every window system gives the activation back when the box closes.
        if (QApplication::activeWindow() == nullptr && isVisible()) {
            activateWindow();
        }
        return;
    }
    showFieldTexts(texts);
    if (outcome.recalculate) {
        recalculate();
    }
    if (outcome.enableRecalculate) {
        m_controls.Mh3dRecalc->setEnabled(true);
    }
}

crystal::CellFieldTexts StrAnal::fieldTexts() const {
    crystal::CellFieldTexts texts;
    for (const CellField field : crystal::kCellFields) {
        texts[field] = stdText(m_controls.cellField(field));
    }
    return texts;
}

void StrAnal::showFieldTexts(const crystal::CellFieldTexts& texts) {
    for (const CellField field : crystal::kCellFields) {
        EntryField* f = m_controls.cellField(field);
        const QString text = QString::fromStdString(texts[field]);
        // Writing only what changed keeps the cursor and selection of untouched fields.
        if (f->text() != text) {
            f->setText(text);
        }
    }
}

void StrAnal::message(std::string_view text) {
    m_services.message(this, qtText(text));
}

StrAnal* openStrAnal(Services& services, QWidget* owner) {
    auto* window = new StrAnal(services, owner);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

void showMonoclinicExample(StrAnal& window) {
    const StrAnalControls& c = window.controls();
    window.selectSystem(CrystalSystem::Monoclinic);
    const std::pair<CellField, const char*> cell[] = {{CellField::A, "5.1"},
                                                      {CellField::B, "8.9"},
                                                      {CellField::C, "9.5"},
                                                      {CellField::Beta, "100"}};
    for (const auto& [field, text] : cell) {
        c.cellField(field)->setText(QString::fromLatin1(text));
    }
    c.txtPlaneSpace->setText(QStringLiteral("1 1 1"));
    c.txtPlane1->setText(QStringLiteral("1 0 0"));
    c.txtPlane2->setText(QStringLiteral("0 0 1"));
    c.txtDir1->setText(QStringLiteral("1 0 0"));
    c.txtDir2->setText(QStringLiteral("0 0 1"));
    c.CmdPlaneSpace->click();
    c.Cmdinterangle->click();
    c.CmdMillerAngle->click();
    for (const ResultKind kind : kResultKinds) {
        c.resultBox(kind)->setChecked(true);
    }
}

}  // namespace lamivex::app
