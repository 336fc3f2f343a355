#include "cli/run_inputs.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

#include <fmt/format.h>

#include "cli/cli_errors.h"
#include "numbers/entry_rule.h"
#include "numbers/input_error.h"
#include "numbers/number_text.h"

namespace lamivex::cli {
namespace {

// A field's text as the number it reads as; a text no rule would pass stays out (null).
void numberFromText(JsonWriter& json, std::string_view key, const std::string& text) {
    const numbers::Parsed<double> parsed = numbers::toDouble(text);
    if (parsed.ok()) {
        json.number(key, parsed.value);
    } else {
        json.null(key);
    }
}

const JsonValue* find(const JsonValue& inputs, std::initializer_list<const char*> path) {
    const JsonValue* at = &inputs;
    for (const char* key : path) {
        if (at->kind != JsonValue::Kind::Object) {
            return nullptr;
        }
        at = at->member(key);
        if (at == nullptr) {
            return nullptr;
        }
    }
    return at;
}

std::string pathText(std::initializer_list<const char*> path) {
    std::string text = "inputs";
    for (const char* key : path) {
        text += '.';
        text += key;
    }
    return text;
}

const JsonValue* ofKind(const JsonValue& inputs, std::initializer_list<const char*> path,
                        JsonValue::Kind kind, const char* kindName, const std::string& option) {
    const JsonValue* v = find(inputs, path);
    if (v == nullptr || v->isNull()) {
        return nullptr;
    }
    if (v->kind != kind) {
        numbers::failInput(option, fmt::format("{} must be {}", pathText(path), kindName));
    }
    return v;
}

}  // namespace

const char* programVersion() {
    return LAMIVEX_VERSION;
}

void beginInputs(JsonWriter& json) {
    json.string("lamivex_version", programVersion());
    json.beginObject("inputs");
}

void writeLatticeInputs(JsonWriter& json, const engine::MainFieldTexts& f) {
    json.beginObject("substrate");
    json.string("name", f.SubName);
    numberFromText(json, "a1", f.a1);
    numberFromText(json, "a2", f.a2);
    numberFromText(json, "alpha", f.alpha);
    json.boolean("hexagonal", f.hexagonal);
    json.endObject();
    json.beginObject("overlayer");
    json.string("name", f.OverName);
    numberFromText(json, "b1", f.b1);
    numberFromText(json, "b2", f.b2);
    numberFromText(json, "beta", f.beta);
    json.endObject();
    json.beginObject("domain");
    numberFromText(json, "m", f.b1size);
    numberFromText(json, "n", f.b2size);
    json.endObject();
    json.beginObject("azimuth");
    numberFromText(json, "lower", f.Lowerangle);
    numberFromText(json, "upper", f.Upperangle);
    numberFromText(json, "spacing", f.AngleSpacing);
    json.endObject();
    if (f.chkgeo) {
        numberFromText(json, "max_multiple", f.txtUplim);
    } else {
        json.null("max_multiple");
    }
}

JsonValue readInputs(const std::string& path, const std::string& option) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        failFile(option, fmt::format("cannot read {}", path));
    }
    std::stringstream text;
    text << in.rdbuf();
    JsonValue document;
    try {
        document = parseJson(text.str());
    } catch (const std::invalid_argument& e) {
        numbers::failInput(option, fmt::format("{} is not JSON: {}", path, e.what()));
    }
    const JsonValue* inputs =
        document.kind == JsonValue::Kind::Object ? document.member("inputs") : nullptr;
    if (inputs == nullptr || inputs->kind != JsonValue::Kind::Object) {
        numbers::failInput(option, fmt::format("{} has no \"inputs\" object: give the JSON a "
                                               "command of this version printed with --json",
                                               path));
    }
    return *inputs;
}

std::optional<std::string> numberAt(const JsonValue& inputs,
                                    std::initializer_list<const char*> path,
                                    const std::string& option) {
    const JsonValue* v = ofKind(inputs, path, JsonValue::Kind::Number, "a number", option);
    return v != nullptr ? std::optional<std::string>(v->text) : std::nullopt;
}

std::optional<std::string> stringAt(const JsonValue& inputs,
                                    std::initializer_list<const char*> path,
                                    const std::string& option) {
    const JsonValue* v = ofKind(inputs, path, JsonValue::Kind::String, "a string", option);
    return v != nullptr ? std::optional<std::string>(v->text) : std::nullopt;
}

std::optional<bool> booleanAt(const JsonValue& inputs, std::initializer_list<const char*> path,
                              const std::string& option) {
    const JsonValue* v = ofKind(inputs, path, JsonValue::Kind::Boolean, "true or false", option);
    return v != nullptr ? std::optional<bool>(v->boolean) : std::nullopt;
}

namespace {

// A name read from inputs obeys the rule of a typed name.
std::optional<std::string> nameAt(const JsonValue& inputs, std::initializer_list<const char*> path,
                                  const std::string& option) {
    std::optional<std::string> name = stringAt(inputs, path, option);
    if (name) {
        const numbers::FieldVerdict verdict = numbers::checkEntry(numbers::EntryRule::Name, *name);
        if (!verdict.accepted) {
            numbers::failInput(option, fmt::format("{}: {}", pathText(path), verdict.reason));
        }
    }
    return name;
}

}  // namespace

void applyLatticeInputs(const JsonValue& inputs, const CLI::App& command, LatticeOptions& options,
                        const std::string& option) {
    engine::MainFieldTexts& f = options.fields;
    const auto fill = [&](const char* flag, std::string& field,
                          const std::optional<std::string>& value) {
        takeUnlessGiven(command, flag, value, field);
    };
    fill("--substrate-name", f.SubName, nameAt(inputs, {"substrate", "name"}, option));
    fill("--a1", f.a1, numberAt(inputs, {"substrate", "a1"}, option));
    fill("--a2", f.a2, numberAt(inputs, {"substrate", "a2"}, option));
    fill("--alpha", f.alpha, numberAt(inputs, {"substrate", "alpha"}, option));
    takeUnlessGiven(command, "--hexagonal", booleanAt(inputs, {"substrate", "hexagonal"}, option),
                    f.hexagonal);
    fill("--overlayer-name", f.OverName, nameAt(inputs, {"overlayer", "name"}, option));
    fill("--b1", f.b1, numberAt(inputs, {"overlayer", "b1"}, option));
    fill("--b2", f.b2, numberAt(inputs, {"overlayer", "b2"}, option));
    fill("--beta", f.beta, numberAt(inputs, {"overlayer", "beta"}, option));
    fill("--m", f.b1size, numberAt(inputs, {"domain", "m"}, option));
    fill("--n", f.b2size, numberAt(inputs, {"domain", "n"}, option));
    fill("--lower", f.Lowerangle, numberAt(inputs, {"azimuth", "lower"}, option));
    fill("--upper", f.Upperangle, numberAt(inputs, {"azimuth", "upper"}, option));
    fill("--spacing", f.AngleSpacing, numberAt(inputs, {"azimuth", "spacing"}, option));
    if (command.count("--max-multiple") == 0) {
        options.maxMultiple = numberAt(inputs, {"max_multiple"}, option);
    }
}

void applyInterpretationInputs(const JsonValue& inputs, const CLI::App& command,
                               std::string& registryTolerance, std::string& coincidenceMisfit,
                               const std::string& option) {
    takeUnlessGiven(command, "--registry-tolerance",
                    numberAt(inputs, {"registry_tolerance"}, option), registryTolerance);
    takeUnlessGiven(command, "--coincidence-misfit",
                    numberAt(inputs, {"coincidence_misfit"}, option), coincidenceMisfit);
}

}  // namespace lamivex::cli
