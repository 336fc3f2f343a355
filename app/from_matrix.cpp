#include "app/from_matrix.h"

#include <algorithm>
#include <cmath>

#include "app/main_form_controls.h"
#include "app/qt_support.h"
#include "engine/interpretation.h"
#include "engine/lattice.h"
#include "engine/matrix_fields.h"
#include "numbers/lattice_rules.h"
#include "numbers/number_text.h"

namespace lamivex::app {
namespace {

const char* const kTitle = "From matrix";
const char* const kPrompt =
    "Transformation matrix m11 m12 m21 m22\n(b1 = m11·a1 + m12·a2, b2 = m21·a1 + m22·a2):";

std::optional<float> single(const QLineEdit* field) {
    const numbers::Parsed<float> parsed = numbers::toSingle(utf8(field->text()));
    return parsed.ok() ? std::optional<float>(parsed.value) : std::nullopt;
}

// The azimuth spacing typed, or the window's default when the field holds none.
double spacingOf(const MainFormControls& c) {
    const std::optional<float> typed = single(c.AngleSpacing);
    return typed && *typed > 0 ? static_cast<double>(*typed) : 0.25;
}

}  // namespace

bool fillOverlayerFromMatrix(const MainFormControls& c, Services& services, QWidget* window) {
    const std::optional<QString> typed = services.textInput(
        window, QString::fromLatin1(kTitle), QString::fromUtf8(kPrompt), QStringLiteral("1 0 0 1"));
    if (!typed) {
        return false;
    }
    const std::optional<engine::Matrix2> matrix = engine::parseMatrixText(utf8(*typed));
    const auto a1 = single(c.a1);
    const auto a2 = single(c.a2);
    const auto alpha = single(c.alpha);
    const auto lower = single(c.Lowerangle);
    const auto upper = single(c.Upperangle);
    if (!matrix ||
        !numbers::checkMatrixRows(matrix->m11, matrix->m12, matrix->m21, matrix->m22).accepted) {
        services.message(window, QStringLiteral("The matrix needs four numbers, m11 m12 m21 m22, "
                                                "that do not make b1 and b2 parallel."));
        return false;
    }
    if (!a1 || !a2 || !alpha || !(*a1 > 0) || !(*a2 > 0) || !lower || !upper) {
        services.message(window, QStringLiteral("Enter the substrate and the azimuth range "
                                                "first: the matrix is read against them."));
        return false;
    }
    // The same rule as --matrix: a step on the matrix's angle, the range about as wide as the
    // one typed.
    const double spacing = spacingOf(c);
    const double halfWidth = (static_cast<double>(*upper) - *lower) / 2;
    const engine::MatrixFields m = engine::fieldsFromMatrix(
        *matrix,
        {engine::capturedValue(*a1), engine::capturedValue(*a2), engine::capturedValue(*alpha)},
        spacing, static_cast<int>(std::min(std::round(halfWidth / spacing), 1e6)));
    c.b1->setText(qs(m.b1));
    c.b2->setText(qs(m.b2));
    c.beta->setText(qs(m.beta));
    c.Lowerangle->setText(qs(m.lower));
    c.Upperangle->setText(qs(m.upper));
    return true;
}

}  // namespace lamivex::app
