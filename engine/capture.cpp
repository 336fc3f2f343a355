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

std::string normalised(const std::string& field, const std::string& text) {
    const numbers::Parsed<float> parsed = numbers::toSingle(text);
    if (!parsed.ok()) {
        numbers::failInput(field, problem(parsed.error, text, "a single-precision number"));
    }
    return numbers::formatSingle(parsed.value);
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

double asDouble(const std::string& text) { return numbers::toDouble(text).value; }

}  // namespace

CapturedRun captureRun(const MainFieldTexts& fields) {
    // Texts the window's fields would not have let through are refused as they would be.
    checkMainFieldTexts(fields);
    CapturedRun run;
    run.fields = fields;
    MainFieldTexts& f = run.fields;

    run.SubstrateName = f.SubName;
    run.OverlayerName = f.OverName;

    f.a1 = normalised("a1", f.a1);
    run.substrate.a1 = f.a1;
    f.a2 = normalised("a2", f.a2);
    run.substrate.a2 = f.a2;
    f.alpha = normalised("alpha", f.alpha);
    run.substrate.alpha = single("alpha", f.alpha);
    run.substrate.hexagonal = f.hexagonal;

    f.b1 = normalised("b1", f.b1);
    run.overlayer.b1 = f.b1;
    f.b2 = normalised("b2", f.b2);
    run.overlayer.b2 = f.b2;
    f.beta = normalised("beta", f.beta);
    run.overlayer.beta = single("beta", f.beta);

    run.settings.lowerAngle = single("lower", f.Lowerangle);
    run.settings.upperAngle = single("upper", f.Upperangle);
    run.settings.angleSpacing = single("spacing", f.AngleSpacing);
    run.settings.b1Size = int16("m", f.b1size);
    run.settings.b2Size = int16("n", f.b2size);

    run.fillIterationDefaults = asDouble(f.a1) == 0;

    run.settings.maxMultiple = 1;
    if (f.chkgeo) {
        run.settings.maxMultiple = int16("max-multiple", f.txtUplim);
    }
    return run;
}

ScanInputs scanInputsFrom(const CapturedRun& run) {
    ScanInputs in;
    in.a1 = asDouble(run.substrate.a1);
    in.a2 = asDouble(run.substrate.a2);
    in.alpha = asDouble(run.fields.alpha);
    in.b1 = asDouble(run.overlayer.b1);
    in.b2 = asDouble(run.overlayer.b2);
    in.beta = asDouble(run.fields.beta);
    in.hexagonal = run.substrate.hexagonal;
    in.lower = numbers::toDouble(run.fields.Lowerangle).value;
    in.settings = run.settings;
    return in;
}

}  // namespace lamivex::engine
