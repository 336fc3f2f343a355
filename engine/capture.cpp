#include "engine/capture.h"

#include <fmt/format.h>

#include "engine/field_rules.h"
#include "numbers/input_error.h"
#include "numbers/number_text.h"

namespace lamivex::engine {
namespace {

std::string problem(numbers::NumberError error, const std::string& text, std::string_view range) {
    if (error == numbers::NumberError::OutOfRange) {
        return fmt::format("\"{}\" is out of range ({})", text, range);
    }
    return fmt::format("\"{}\" is not a number", text);
}

float single(const std::string& field, const std::string& text) {
    const numbers::Parsed<float> parsed = numbers::toSingle(text);
    if (!parsed.ok()) {
        numbers::failInput(field, problem(parsed.error, text, "a single-precision number"));
    }
    return parsed.value;
}

int16_t int16(const std::string& field, const std::string& text) {
    const numbers::Parsed<int16_t> parsed = numbers::toInt16(text);
    if (!parsed.ok()) {
        numbers::failInput(field, problem(parsed.error, text, "-32768 to 32767"));
    }
    return parsed.value;
}

}  // namespace

double capturedValue(float single) {
    return numbers::toDouble(numbers::formatSingle(single)).value;
}

CapturedRun captureRun(const MainFieldTexts& fields) {
    // Texts the window's fields would not have let through are refused as they would be.
    checkMainFieldTexts(fields);
    CapturedRun run;
    run.fields = fields;
    MainFieldTexts& f = run.fields;

    run.SubstrateName = f.SubName;
    run.OverlayerName = f.OverName;

    // Each lattice field is rewritten as its single's text with at most 7 significant
    // digits; the record holds the single of that text, which 7 digits may not give back.
    const auto capture = [](const char* option, std::string& text, float& value) {
        text = numbers::formatSingle(single(option, text));
        value = single(option, text);
    };
    capture("a1", f.a1, run.substrate.a1);
    capture("a2", f.a2, run.substrate.a2);
    capture("alpha", f.alpha, run.substrate.alpha);
    run.substrate.hexagonal = f.hexagonal;
    capture("b1", f.b1, run.overlayer.b1);
    capture("b2", f.b2, run.overlayer.b2);
    capture("beta", f.beta, run.overlayer.beta);

    run.settings.lowerAngle = single("lower", f.Lowerangle);
    run.settings.upperAngle = single("upper", f.Upperangle);
    run.settings.angleSpacing = single("spacing", f.AngleSpacing);
    run.settings.b1Size = int16("m", f.b1size);
    run.settings.b2Size = int16("n", f.b2size);

    run.fillIterationDefaults = run.substrate.a1 == 0;

    run.settings.maxMultiple = 1;
    if (f.chkgeo) {
        run.settings.maxMultiple = int16("max-multiple", f.txtUplim);
    }
    return run;
}

ScanInputs scanInputsFrom(const CapturedRun& run) {
    ScanInputs in;
    in.a1 = capturedValue(run.substrate.a1);
    in.a2 = capturedValue(run.substrate.a2);
    in.alpha = capturedValue(run.substrate.alpha);
    in.b1 = capturedValue(run.overlayer.b1);
    in.b2 = capturedValue(run.overlayer.b2);
    in.beta = capturedValue(run.overlayer.beta);
    in.hexagonal = run.substrate.hexagonal;
    // The first azimuth starts from the Lowerangle text itself read as a double, which the
    // capture does not rewrite (lowerAngle is its single).
    in.lower = numbers::toDouble(run.fields.Lowerangle).value;
    in.settings = run.settings;
    return in;
}

}  // namespace lamivex::engine
