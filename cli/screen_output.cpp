#include "cli/screen_output.h"

#include <charconv>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include <fmt/format.h>

#include "cli/cli_errors.h"
#include "cli/interpretation_output.h"
#include "cli/json_writer.h"
#include "cli/run_inputs.h"
#include "numbers/input_error.h"
#include "numbers/number_text.h"

namespace lamivex::cli {
namespace {

using screening::PairResult;
using screening::ScreenSettings;

constexpr std::string_view kHeaderStart = "{\"lamivex_screen\":";
constexpr std::string_view kInputsKey = ",\"inputs\":";

double numberOf(const std::string& text) {
    const numbers::Parsed<double> parsed = numbers::toDouble(text);
    return parsed.ok() ? parsed.value : 0;
}

void meshJson(JsonWriter& json, const screening::Substrate& s) {
    if (s.a1.empty()) {
        json.null("mesh");
        return;
    }
    json.beginObject("mesh");
    json.number("a1", numberOf(s.a1));
    json.number("a2", numberOf(s.a2));
    json.number("alpha", numberOf(s.alpha));
    json.boolean("hexagonal", s.hexagonal);
    json.endObject();
}

void pairJson(JsonWriter& json, const PairResult& r, const ScreenSettings& settings) {
    json.integer("pair", static_cast<long long>(r.pair));
    json.string("substrate", r.substrate.name);
    json.string("plane", r.substrate.plane);
    json.string("source", screening::sourceName(r.substrate.source));
    if (r.substrate.file.empty()) {
        json.null("file");
    } else {
        json.string("file", r.substrate.file);
    }
    meshJson(json, r.substrate);
    if (!r.screened()) {
        json.string("error", r.error);
        return;
    }
    json.null("error");
    const engine::BestOrientation& b = r.best;
    json.number("vvo", b.BestVVo);
    json.number("angle", b.BestAngle);
    writeMatrixJson(json, "matrix", engine::Matrix2{b.BestPx, b.BestQy, b.BestQx, b.BestPy});
    json.number("b1_multiple", b.BestB1Multiple);
    json.number("b2_multiple", b.BestB2Multiple);
    writeInterpretationJson(json, screening::interpretationOf(r, settings));
}

std::string quoted(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
        out += c == '"' ? std::string("\"\"") : std::string(1, c);
    }
    return out + '"';
}

std::string optionalNumber(const std::optional<double>& value) {
    return value ? fmt::format("{}", *value) : std::string();
}

// The text of a JSON member that must be there; its absence makes the line unreadable.
const JsonValue& required(const JsonValue& object, std::string_view key) {
    const JsonValue* value = object.member(key);
    if (value == nullptr) {
        throw std::invalid_argument(fmt::format("no \"{}\"", key));
    }
    return *value;
}

double requiredNumber(const JsonValue& object, std::string_view key) {
    const JsonValue& value = required(object, key);
    double out = 0;
    const auto [end, ec] =
        std::from_chars(value.text.data(), value.text.data() + value.text.size(), out);
    if (value.kind != JsonValue::Kind::Number || ec != std::errc()) {
        throw std::invalid_argument(fmt::format("\"{}\" is not a number", key));
    }
    return out;
}

std::string optionalText(const JsonValue& object, std::string_view key) {
    const JsonValue* value = object.member(key);
    return value != nullptr && value->kind == JsonValue::Kind::String ? value->text : std::string();
}

screening::SubstrateSource sourceFrom(const std::string& name) {
    for (const screening::SubstrateSource s :
         {screening::SubstrateSource::Record, screening::SubstrateSource::Mesh,
          screening::SubstrateSource::CrystalFile}) {
        if (name == screening::sourceName(s)) {
            return s;
        }
    }
    throw std::invalid_argument(fmt::format("unknown \"source\" '{}'", name));
}

PairResult pairFrom(const JsonValue& line) {
    PairResult r;
    r.pair = static_cast<std::size_t>(requiredNumber(line, "pair"));
    r.substrate.name = required(line, "substrate").text;
    r.substrate.plane = optionalText(line, "plane");
    r.substrate.source = sourceFrom(required(line, "source").text);
    r.substrate.file = optionalText(line, "file");
    const JsonValue& mesh = required(line, "mesh");
    if (!mesh.isNull()) {
        r.substrate.a1 = required(mesh, "a1").text;
        r.substrate.a2 = required(mesh, "a2").text;
        r.substrate.alpha = required(mesh, "alpha").text;
        r.substrate.hexagonal = required(mesh, "hexagonal").boolean;
    }
    const JsonValue& error = required(line, "error");
    if (!error.isNull()) {
        r.error = error.text;
        r.substrate.error = r.substrate.a1.empty() ? r.error : std::string();
        return r;
    }
    engine::BestOrientation& b = r.best;
    b.BestVVo = requiredNumber(line, "vvo");
    const std::string& angle = required(line, "angle").text;
    std::from_chars(angle.data(), angle.data() + angle.size(), b.BestAngle);
    const JsonValue& m = required(line, "matrix");
    if (m.items.size() != 2 || m.items[0].items.size() != 2 || m.items[1].items.size() != 2) {
        throw std::invalid_argument("\"matrix\" is not 2 x 2");
    }
    double* cells[4] = {&b.BestPx, &b.BestQy, &b.BestQx, &b.BestPy};
    for (int c = 0; c < 4; ++c) {
        const std::string& t =
            m.items[static_cast<std::size_t>(c / 2)].items[static_cast<std::size_t>(c % 2)].text;
        std::from_chars(t.data(), t.data() + t.size(), *cells[c]);
    }
    b.BestB1Multiple = requiredNumber(line, "b1_multiple");
    b.BestB2Multiple = requiredNumber(line, "b2_multiple");
    return r;
}

}  // namespace

screening::ScreenSettings settingsFromInputs(const JsonValue& inputs) {
    const std::string option = "inputs";
    const auto text = [&](std::initializer_list<const char*> path) {
        std::optional<std::string> value = numberAt(inputs, path, option);
        if (!value) {
            throw std::invalid_argument("the screen's inputs lack a value");
        }
        return *value;
    };
    ScreenSettings s;
    engine::MainFieldTexts& f = s.fields;
    f.OverName = stringAt(inputs, {"overlayer", "name"}, option).value_or(f.OverName);
    f.b1 = text({"overlayer", "b1"});
    f.b2 = text({"overlayer", "b2"});
    f.beta = text({"overlayer", "beta"});
    f.b1size = text({"domain", "m"});
    f.b2size = text({"domain", "n"});
    f.AngleSpacing = text({"azimuth", "spacing"});
    s.lower = numberAt(inputs, {"azimuth", "lower"}, option);
    s.upper = numberAt(inputs, {"azimuth", "upper"}, option);
    const std::optional<std::string> multiple = numberAt(inputs, {"max_multiple"}, option);
    f.chkgeo = multiple.has_value();
    f.txtUplim = multiple.value_or(f.txtUplim);
    s.tolerance = numberOf(text({"registry_tolerance"}));
    return s;
}

std::string jsonlHeader(const ScreenRecord& record) {
    return fmt::format("{}{},\"pairs\":{},\"shard\":\"{}/{}\"{}{}}}\n", kHeaderStart,
                       jsonQuoted(programVersion()), record.pairs, record.shard.index,
                       record.shard.count, kInputsKey, record.inputsJson);
}

std::string jsonlLine(const PairResult& result, const ScreenSettings& settings) {
    JsonWriter json;
    json.beginObject();
    pairJson(json, result, settings);
    json.endObject();
    return json.text() + '\n';
}

void writeCsvHeader(std::ostream& out) {
    out << "pair,substrate,plane,source,file,a1,a2,alpha,hexagonal,vvo,angle,m11,m12,m21,m22,"
           "b1_multiple,b2_multiple,type,wood,supercell,misfit1_percent,misfit2_percent,"
           "area_ratio,summary,error\r\n";
}

void writeCsvRow(std::ostream& out, const PairResult& r, const ScreenSettings& settings) {
    const screening::Substrate& s = r.substrate;
    std::string mesh = ",,,";
    if (!s.a1.empty()) {
        mesh = fmt::format("{},{},{},{}", numberOf(s.a1), numberOf(s.a2), numberOf(s.alpha),
                           s.hexagonal ? "true" : "false");
    }
    out << fmt::format("{},{},{},{},{},{},", r.pair, quoted(s.name), quoted(s.plane),
                       screening::sourceName(s.source), quoted(s.file), mesh);
    if (!r.screened()) {
        out << ",,,,,,,,,,,,,,," << quoted(r.error) << "\r\n";
        return;
    }
    const engine::BestOrientation& b = r.best;
    const engine::Interpretation i = screening::interpretationOf(r, settings);
    out << fmt::format("{},{},{},{},{},{},{},{},{},{},{}×{},{},{},{},{},\r\n", b.BestVVo,
                       b.BestAngle, b.BestPx, b.BestQy, b.BestQx, b.BestPy, b.BestB1Multiple,
                       b.BestB2Multiple, engine::typeName(i.type()), quoted(i.wood().value_or("")),
                       i.b1Multiple, i.b2Multiple, optionalNumber(i.misfitPercent[0]),
                       optionalNumber(i.misfitPercent[1]), i.areaRatio, quoted(i.summary()));
}

std::string rankedJson(std::span<const PairResult> results, const ScreenRecord& record,
                       const ScreenSettings& settings, std::optional<std::size_t> top) {
    const std::vector<PairResult> best = screening::ranked(results);
    const std::vector<PairResult> failed = screening::unscreened(results);
    JsonWriter json;
    json.beginObject();
    json.string("lamivex_version", programVersion());
    json.integer("pairs", static_cast<long long>(record.pairs));
    json.integer("screened", static_cast<long long>(best.size()));
    json.beginArray("results");
    const std::size_t shown = std::min(best.size(), top.value_or(best.size()));
    for (std::size_t k = 0; k < shown; ++k) {
        json.beginObject();
        json.integer("rank", static_cast<long long>(k + 1));
        pairJson(json, best[k], settings);
        json.endObject();
    }
    json.endArray();
    json.beginArray("errors");
    for (const PairResult& r : failed) {
        json.beginObject();
        pairJson(json, r, settings);
        json.endObject();
    }
    json.endArray();
    // The inputs as the run wrote them: a merge repeats them to the byte.
    return json.text() + std::string(kInputsKey) + record.inputsJson + "}\n";
}

void printRankedTable(std::ostream& out, std::span<const PairResult> results,
                      const ScreenSettings& settings, std::optional<std::size_t> top) {
    const std::vector<PairResult> best = screening::ranked(results);
    const std::size_t shown = std::min(best.size(), top.value_or(best.size()));
    out << fmt::format("{:>4}  {:<18} {:<25} {:>9} {:>7}  {:<15} {:<19} {:<9} {:<16} {:>6}\n",
                       "rank", "substrate", "mesh (A, deg)", "V/Vo", "angle", "type", "Wood",
                       "supercell", "misfit %", "area");
    for (std::size_t k = 0; k < shown; ++k) {
        const PairResult& r = best[k];
        const screening::Substrate& s = r.substrate;
        const engine::Interpretation i = screening::interpretationOf(r, settings);
        const auto misfit = [](const std::optional<double>& m) {
            return m ? numbers::formatFixed2(*m) : std::string("-");
        };
        out << fmt::format("{:>4}  {:<18} {:<25} {:>9} {:>7}  {:<15} {:<19} {:<9} {:<16} {:>6}\n",
                           k + 1, s.name + s.plane,
                           fmt::format("{} x {}, {}", numbers::formatFixed(numberOf(s.a1), 4),
                                       numbers::formatFixed(numberOf(s.a2), 4),
                                       numbers::formatFixed2(numberOf(s.alpha))),
                           numbers::formatScientific(r.best.BestVVo, 2),
                           numbers::formatFixed2(r.best.BestAngle), engine::typeName(i.type()),
                           i.wood().value_or("-"), fmt::format("{}×{}", i.b1Multiple, i.b2Multiple),
                           misfit(i.misfitPercent[0]) + ", " + misfit(i.misfitPercent[1]),
                           numbers::formatFixed2(i.areaRatio));
    }
    for (const PairResult& r : screening::unscreened(results)) {
        const std::string where = r.substrate.file.empty() ? r.substrate.name : r.substrate.file;
        out << fmt::format("not screened: {}{}: {}\n", where, r.substrate.plane, r.error);
    }
}

ScreenFile readScreenJsonl(const std::string& path, const std::string& option) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        failFile(option, fmt::format("cannot read '{}'", path));
    }
    std::stringstream whole;
    whole << in.rdbuf();
    const std::string text = whole.str();
    ScreenFile file;
    std::size_t start = 0;
    std::size_t lineNumber = 0;
    const auto bad = [&](const std::string& why) {
        numbers::failInput(option, fmt::format("'{}' line {} is not a line of a screen's JSON "
                                               "Lines output: {}",
                                               path, lineNumber, why));
    };
    while (start < text.size()) {
        const std::size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            break;  // cut short by an interrupted run
        }
        const std::string line = text.substr(start, end - start);
        start = end + 1;
        ++lineNumber;
        try {
            const JsonValue value = parseJson(line);
            if (lineNumber == 1) {
                const std::size_t inputsAt = line.find(kInputsKey);
                if (line.rfind(kHeaderStart, 0) != 0 || inputsAt == std::string::npos) {
                    throw std::invalid_argument("the first line is not a screen's header");
                }
                file.record.inputsJson = line.substr(
                    inputsAt + kInputsKey.size(), line.size() - 1 - inputsAt - kInputsKey.size());
                file.record.pairs = static_cast<std::size_t>(requiredNumber(value, "pairs"));
                file.record.shard = screening::parseShard(required(value, "shard").text, option);
            } else {
                file.results.push_back(pairFrom(value));
            }
        } catch (const std::invalid_argument& e) {
            bad(e.what());
        }
    }
    if (lineNumber == 0) {
        lineNumber = 1;
        bad("the file holds no complete line");
    }
    return file;
}

}  // namespace lamivex::cli
