#include "render_test_support.h"

#include <fstream>
#include <iterator>

#include <QProcess>
#include <QString>

#include "engine/rotation_scan.h"

namespace lamivex::render::testing {

DefaultRun::DefaultRun(bool geometric) {
    engine::MainFieldTexts fields;
    fields.chkgeo = geometric;
    const engine::CapturedRun run = engine::captureRun(fields);
    engine::BestOrientation best;
    scan = *engine::runToCompletion(run, engine::scanInputsFrom(run), best);
}

output::ReportInputs DefaultRun::report() const {
    return output::reportInputsFor(scan, scan.capture.fields, {2026, 12, 8});
}

std::vector<std::string> pdfPageTexts(const std::filesystem::path& pdf) {
    QProcess process;
    process.start(
        QStringLiteral("pdftotext"),
        {QStringLiteral("-layout"), QString::fromStdString(pdf.string()), QStringLiteral("-")});
    if (!process.waitForFinished(30000) || process.exitCode() != 0) {
        return {};
    }
    // pdftotext ends every page with a form feed.
    const std::string text = process.readAllStandardOutput().toStdString();
    std::vector<std::string> pages;
    std::string::size_type start = 0;
    for (auto end = text.find('\f'); end != std::string::npos; end = text.find('\f', start)) {
        pages.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return pages;
}

std::string readFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace lamivex::render::testing
