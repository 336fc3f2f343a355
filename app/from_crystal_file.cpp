#include "app/from_crystal_file.h"

#include <QFileInfo>
#include <QLineEdit>
#include <QRadioButton>

#include <fmt/format.h>

#include "app/main_form_controls.h"
#include "app/qt_support.h"
#include "app/services.h"
#include "crystal/crystal_file.h"
#include "crystal/index_parse.h"
#include "crystal/surface_mesh.h"
#include "numbers/number_text.h"

namespace lamivex::app {
namespace {

QString summary(const crystal::BulkLattice& bulk, const crystal::SurfaceMesh& mesh) {
    std::string text =
        fmt::format("{} ({}): {} mesh\na1 = {:.4f} Å, a2 = {:.4f} Å, alpha = {:.3f}°",
                    crystal::meshName(bulk, mesh), bulk.spaceGroup,
                    crystal::meshTypeName(mesh.type), mesh.a1, mesh.a2, mesh.alpha);
    if (mesh.conventional) {
        text += fmt::format("\n(centred rectangular cell {:.4f} Å × {:.4f} Å)",
                            (*mesh.conventional)[0], (*mesh.conventional)[1]);
    }
    return QString::fromStdString(text);
}

// The fields read singles: more digits than tell the single apart only fill the field.
QString fieldText(double value) {
    return QString::fromStdString(numbers::formatShortestSingle(static_cast<float>(value)));
}

}  // namespace

std::optional<CrystalFileChoice> fillFromCrystalFile(const MainFormControls& c, Services& services,
                                                     QWidget* window, LatticeBlock block) {
    const bool substrate = block == LatticeBlock::Substrate;
    const QString file = services.openFileName(
        window, {QStringLiteral("Crystal Files (*.cif)|*.cif"), QStringLiteral("*.cif")});
    if (file.isEmpty()) {
        return std::nullopt;
    }
    const std::optional<QString> typed =
        services.textInput(window, QStringLiteral("From crystal file"),
                           QStringLiteral("Plane h k l of %1:").arg(QFileInfo(file).fileName()),
                           QStringLiteral("1 1 1"));
    if (!typed) {
        return std::nullopt;
    }
    // Whole numbers only, as on the command line: a typed 1.5 is not rounded to some plane.
    const std::optional<crystal::MillerPlane> plane =
        crystal::readWholeMillerPlane(utf8(*typed)).indices;
    if (!plane || (plane->h == 0 && plane->k == 0 && plane->l == 0)) {
        services.message(window, QStringLiteral("The plane needs three whole numbers h k l, not "
                                                "all 0, separated by single blanks."));
        return std::nullopt;
    }
    crystal::BulkLattice bulk;
    crystal::SurfaceMesh mesh;
    try {
        bulk = crystal::readCrystalFile(utf8(file));
        mesh = crystal::surfaceMesh(bulk, {plane->h, plane->k, plane->l});
    } catch (const std::invalid_argument& error) {
        services.message(window, QString::fromStdString(error.what()));
        return std::nullopt;
    }
    const QString question = QStringLiteral("%1\n\nFill the %2 fields with this mesh?")
                                 .arg(summary(bulk, mesh), substrate ? QStringLiteral("Substrate")
                                                                     : QStringLiteral("Overlayer"));
    if (services.question(window, question, Answer::Yes) != Answer::Yes) {
        return std::nullopt;
    }
    const QString name = QString::fromStdString(crystal::meshName(bulk, mesh));
    if (substrate) {
        c.SubName->setText(name);
        c.a1->setText(fieldText(mesh.a1));
        c.a2->setText(fieldText(mesh.a2));
        c.alpha->setText(fieldText(mesh.alpha));
        (mesh.hexagonal ? c.hexagonal : c.nonhexagonal)->setChecked(true);
    } else {
        c.OverName->setText(name);
        c.b1->setText(fieldText(mesh.a1));
        c.b2->setText(fieldText(mesh.a2));
        c.beta->setText(fieldText(mesh.alpha));
    }
    return CrystalFileChoice{utf8(file), utf8(*typed), utf8(name)};
}

}  // namespace lamivex::app
