#include "app/build_model_window.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <fmt/format.h>

#include "app/qt_support.h"
#include "app/services.h"
#include "app/view_canvas.h"
#include "engine/interpretation.h"
#include "model/model_writers.h"
#include "numbers/input_error.h"
#include "numbers/number_text.h"
#include "output/atomic_save.h"
#include "output/model_picture.h"

namespace lamivex::app {
namespace {

QLineEdit* lineEdit(QWidget* parent, const char* name, const QString& text = {}) {
    auto* field = new QLineEdit(text, parent);
    field->setObjectName(QString::fromLatin1(name));
    return field;
}

QPushButton* button(QWidget* parent, const char* name, const QString& caption) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    return b;
}

QSpinBox* spinBox(QWidget* parent, const char* name, int low, int high, int value) {
    auto* box = new QSpinBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setRange(low, high);
    box->setValue(value);
    return box;
}

QHBoxLayout* row(std::initializer_list<QWidget*> widgets) {
    auto* layout = new QHBoxLayout;
    for (QWidget* w : widgets) {
        layout->addWidget(w, w == *widgets.begin() ? 1 : 0);
    }
    return layout;
}

}  // namespace

output::DisplayList modelPreview(const model::StructureModel& model) {
    std::vector<output::TopViewAtom> atoms;
    for (const model::ModelAtom& atom : model.atoms) {
        if (!atom.substrate || atom.layer == 1) {
            atoms.push_back({atom.position[0], atom.position[1], atom.substrate, atom.element});
        }
    }
    return output::modelTopView(atoms, {model.cell[0][0], model.cell[0][1]},
                                {model.cell[1][0], model.cell[1][1]});
}

BuildModelWindow::BuildModelWindow(Services& services, QWidget* parent)
    : QWidget(parent, Qt::Window), m_services(services) {
    setObjectName(QStringLiteral("BuildModel"));
    setWindowTitle(QStringLiteral("Build model"));
    m_solution = new QLabel(this);
    m_solution->setObjectName(QStringLiteral("LblSolution"));
    m_solution->setWordWrap(true);
    m_substrateFile = lineEdit(this, "txtSubstrateFile");
    m_substrateFile->setPlaceholderText(QStringLiteral("the substrate's CIF file"));
    m_substrateHkl = lineEdit(this, "txtSubstrateHkl", QStringLiteral("1 1 1"));
    m_overlayerFile = lineEdit(this, "txtOverlayerFile");
    m_overlayerFile->setPlaceholderText(
        QStringLiteral("the overlayer's CIF file, or an XYZ layer with its cell"));
    m_overlayerHkl = lineEdit(this, "txtOverlayerHkl", QStringLiteral("0 0 1"));
    m_layers = spinBox(this, "spnLayers", 1, 50, 4);
    m_fixLayers = spinBox(this, "spnFixLayers", 0, 50, 2);
    m_vacuum = lineEdit(this, "txtVacuum", QStringLiteral("15"));
    m_height = lineEdit(this, "txtHeight");
    m_height->setPlaceholderText(QStringLiteral("from the van der Waals radii"));
    auto* substrateBrowse = button(this, "cmdSubstrateFile", QStringLiteral("…"));
    auto* overlayerBrowse = button(this, "cmdOverlayerFile", QStringLiteral("…"));
    m_build = button(this, "cmdBuild", QStringLiteral("&Build"));
    m_save = button(this, "cmdSave", QStringLiteral("&Save…"));
    m_save->setEnabled(false);
    m_summary = new QLabel(this);
    m_summary->setObjectName(QStringLiteral("LblSummary"));
    m_summary->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_preview = new ViewCanvas(this);
    m_preview->setObjectName(QStringLiteral("picModel"));

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Solution:"), m_solution);
    form->addRow(QStringLiteral("Substrate file:"), row({m_substrateFile, substrateBrowse}));
    form->addRow(QStringLiteral("Substrate plane h k l:"), m_substrateHkl);
    form->addRow(QStringLiteral("Overlayer file:"), row({m_overlayerFile, overlayerBrowse}));
    form->addRow(QStringLiteral("Overlayer plane h k l:"), m_overlayerHkl);
    form->addRow(QStringLiteral("Substrate layers:"), m_layers);
    form->addRow(QStringLiteral("Fixed bottom layers:"), m_fixLayers);
    form->addRow(QStringLiteral("Vacuum (Å):"), m_vacuum);
    form->addRow(QStringLiteral("Height (Å):"), m_height);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_build);
    buttons->addWidget(m_save);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
    layout->addWidget(m_summary);
    layout->addWidget(m_preview, 1);

    const QString cif = QStringLiteral("Crystal Files (*.cif)|*.cif");
    connect(substrateBrowse, &QPushButton::clicked, this,
            [this, cif] { chooseFile(m_substrateFile, cif); });
    connect(overlayerBrowse, &QPushButton::clicked, this, [this] {
        chooseFile(m_overlayerFile,
                   QStringLiteral("Crystal Files (*.cif)|*.cif|XYZ Layers (*.xyz)|*.xyz"));
    });
    connect(m_build, &QPushButton::clicked, this, &BuildModelWindow::build);
    connect(m_save, &QPushButton::clicked, this, &BuildModelWindow::save);
}

void BuildModelWindow::chooseFile(QLineEdit* field, const QString& filter) {
    const QString file = m_services.openFileName(this, {filter, QString()});
    if (!file.isEmpty()) {
        field->setText(file);
    }
}

void BuildModelWindow::prepare(const engine::CompletedScan& scan,
                               const std::optional<CrystalFileChoice>& substrate,
                               const std::optional<CrystalFileChoice>& overlayer) {
    m_model.reset();
    m_save->setEnabled(false);
    m_summary->clear();
    m_preview->show(output::DisplayList{});
    const engine::Interpretation meaning = engine::interpretBest(scan.best, scan.capture);
    m_matrix.reset();
    if (const auto integer = meaning.integerMatrix()) {
        m_matrix = integer->real();
        m_b1Multiple = m_b2Multiple = 1;
    } else if (const auto supercell = meaning.supercell()) {
        m_matrix = supercell->matrix.real();
        m_b1Multiple = supercell->b1Multiple;
        m_b2Multiple = supercell->b2Multiple;
    }
    m_solution->setText(
        m_matrix ? qs(meaning.summary())
                 : qs(fmt::format("{} — no periodic cell: choose a supercell or a tolerance",
                                  meaning.summary())));
    m_build->setEnabled(m_matrix.has_value());
    if (substrate) {
        m_substrateFile->setText(qs(substrate->file));
        m_substrateHkl->setText(qs(substrate->hkl));
    }
    if (overlayer) {
        m_overlayerFile->setText(qs(overlayer->file));
        m_overlayerHkl->setText(qs(overlayer->hkl));
    }
}

void BuildModelWindow::build() {
    if (!m_matrix) {
        return;
    }
    api::ModelRequest request;
    request.scan.lattice.substrateCif = utf8(m_substrateFile->text().trimmed());
    request.scan.lattice.substrateHkl = utf8(m_substrateHkl->text().trimmed());
    const std::string overlayer = utf8(m_overlayerFile->text().trimmed());
    if (overlayer.size() > 4 && overlayer.ends_with(".xyz")) {
        request.overlayerXyz = overlayer;
    } else {
        request.scan.lattice.overlayerCif = overlayer;
        request.scan.lattice.overlayerHkl = utf8(m_overlayerHkl->text().trimmed());
    }
    request.matrix = m_matrix;
    request.b1Multiple = m_b1Multiple;
    request.b2Multiple = m_b2Multiple;
    request.settings.layers = m_layers->value();
    request.settings.fixLayers = m_fixLayers->value();
    request.programVersion = LAMIVEX_VERSION;
    const auto number = [](const QLineEdit* field) -> std::optional<double> {
        const numbers::Parsed<double> parsed = numbers::toDouble(utf8(field->text().trimmed()));
        return parsed.ok() ? std::optional<double>(parsed.value) : std::nullopt;
    };
    const std::optional<double> vacuum = number(m_vacuum);
    if (!vacuum) {
        m_services.message(this, QStringLiteral("The vacuum needs a number of Ångström."));
        return;
    }
    request.settings.vacuum = *vacuum;
    if (!m_height->text().trimmed().isEmpty()) {
        request.settings.height = number(m_height);
        if (!request.settings.height) {
            m_services.message(this, QStringLiteral("The height needs a number of Ångström, or "
                                                    "nothing for the van der Waals radii."));
            return;
        }
    }
    m_services.setBusy(true);
    try {
        m_model = api::buildModel(request);
    } catch (const std::exception& e) {  // a refused file or value, or a model beyond a limit
        m_services.setBusy(false);
        m_model.reset();
        m_save->setEnabled(false);
        m_services.message(this, qs(e.what()));
        return;
    }
    m_services.setBusy(false);
    QStringList lines;
    for (const std::string& line : m_model->model.description()) {
        lines << qs(line);
    }
    m_summary->setText(lines.join(QLatin1Char('\n')));
    m_preview->show(modelPreview(m_model->model));
    m_save->setEnabled(true);
}

void BuildModelWindow::save() {
    if (!m_model) {
        return;
    }
    const QString file = m_services.saveFileName(
        this, {QStringLiteral("CIF (*.cif)|*.cif|Extended XYZ (*.xyz)|*.xyz|VASP POSCAR "
                              "(POSCAR*)|POSCAR*"),
               QStringLiteral("*.cif")});
    if (file.isEmpty()) {
        return;
    }
    const std::string path = utf8(file);
    const std::optional<model::ModelFormat> format = model::modelFormatOf(path);
    if (!format) {
        m_services.message(this, QStringLiteral("The file's name gives its format: NAME.cif, "
                                                "NAME.xyz, POSCAR or NAME.vasp."));
        return;
    }
    const output::SaveResult saved = output::saveAtomically(path, [&](std::ostream& out) {
        model::writeModel(out, *format, m_model->model, m_model->provenance);
    });
    if (!saved.ok) {
        m_services.message(this, qs(saved.error));
    }
}

}  // namespace lamivex::app
