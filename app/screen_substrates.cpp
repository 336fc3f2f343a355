#include "app/screen_substrates.h"

#include <algorithm>
#include <cmath>
#include <thread>

#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

#include <fmt/format.h>

#include "app/qt_support.h"
#include "app/services.h"
#include "database/structure_store.h"
#include "engine/capture.h"
#include "numbers/input_error.h"
#include "numbers/number_text.h"
#include "screening/ranking.h"
#include "screening/screen_run.h"
#include "screening/substrate.h"

namespace lamivex::app {
namespace {

const QStringList kColumns = {
    QStringLiteral("Substrate"), QStringLiteral("Plane"),      QStringLiteral("a1 (Å)"),
    QStringLiteral("a2 (Å)"),    QStringLiteral("alpha (°)"),  QStringLiteral("V/Vo"),
    QStringLiteral("Angle (°)"), QStringLiteral("Type"),       QStringLiteral("Name"),
    QStringLiteral("Supercell"), QStringLiteral("Misfit (%)"), QStringLiteral("Area")};

// A number shown to a few digits that still sorts as a number.
QTableWidgetItem* numberItem(double value, int decimals) {
    auto* item = new QTableWidgetItem;
    const double scale = std::pow(10.0, decimals);
    item->setData(Qt::DisplayRole, std::round(value * scale) / scale);
    return item;
}

QTableWidgetItem* textItem(const std::string& text) {
    return new QTableWidgetItem(qs(text));
}

double fieldNumber(const std::string& text) {
    return std::strtod(text.c_str(), nullptr);
}

}  // namespace

ScreenSubstrates::ScreenSubstrates(Services& services, std::filesystem::path starterCrystals,
                                   QWidget* parent)
    : QWidget(parent, Qt::Window),
      m_services(services),
      m_starterCrystals(std::move(starterCrystals)) {
    setObjectName(QStringLiteral("ScreenSubstrates"));
    setWindowTitle(QStringLiteral("Screen substrates"));

    m_overlayer = new QLabel(this);
    m_overlayer->setObjectName(QStringLiteral("LblOverlayer"));
    m_records = new QCheckBox(QStringLiteral("Database records named"), this);
    m_records->setObjectName(QStringLiteral("ChkRecords"));
    m_pattern = new QLineEdit(QStringLiteral("*"), this);
    m_pattern->setObjectName(QStringLiteral("txtPattern"));
    m_pattern->setToolTip(QStringLiteral("A name pattern: * any text, ? one character"));
    m_starter = new QCheckBox(QStringLiteral("Starter crystals"), this);
    m_starter->setObjectName(QStringLiteral("ChkStarter"));
    m_starter->setChecked(true);
    m_folder = new QLineEdit(this);
    m_folder->setObjectName(QStringLiteral("txtFolder"));
    m_folder->setPlaceholderText(QStringLiteral("a folder of CIF files (optional)"));
    m_chooseFolder = new QPushButton(QStringLiteral("Folder…"), this);
    m_chooseFolder->setObjectName(QStringLiteral("cmdFolder"));
    m_maxIndex = new QSpinBox(this);
    m_maxIndex->setObjectName(QStringLiteral("spnMaxIndex"));
    m_maxIndex->setRange(1, 3);
    m_maxIndex->setToolTip(QStringLiteral("Every Miller plane of a crystal up to this index"));
    m_screen = new QPushButton(QStringLiteral("&Screen"), this);
    m_screen->setObjectName(QStringLiteral("cmdScreen"));
    m_stop = new QPushButton(QStringLiteral("S&top"), this);
    m_stop->setObjectName(QStringLiteral("cmdStop"));
    m_stop->setEnabled(false);
    m_progress = new QLabel(this);
    m_progress->setObjectName(QStringLiteral("LblProgress"));
    m_table = new QTableWidget(0, static_cast<int>(kColumns.size()), this);
    m_table->setObjectName(QStringLiteral("tblRanking"));
    m_table->setHorizontalHeaderLabels(kColumns);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSortingEnabled(true);
    m_table->verticalHeader()->setVisible(false);
    m_table->setToolTip(QStringLiteral("Double click: scan this substrate in the main window"));

    auto* records = new QHBoxLayout;
    records->addWidget(m_records);
    records->addWidget(m_pattern);
    auto* crystals = new QHBoxLayout;
    crystals->addWidget(m_starter);
    crystals->addWidget(m_folder, 1);
    crystals->addWidget(m_chooseFolder);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Overlayer:"), m_overlayer);
    form->addRow(QStringLiteral("Substrates:"), records);
    form->addRow(QString(), crystals);
    form->addRow(QStringLiteral("Largest Miller index:"), m_maxIndex);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_screen);
    buttons->addWidget(m_stop);
    buttons->addWidget(m_progress, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
    layout->addWidget(m_table, 1);
    resize(900, 520);

    connect(m_screen, &QPushButton::clicked, this, &ScreenSubstrates::screen);
    connect(m_stop, &QPushButton::clicked, this, [this] { m_stopRequested = true; });
    connect(m_chooseFolder, &QPushButton::clicked, this, &ScreenSubstrates::chooseFolder);
    connect(m_table, &QTableWidget::cellDoubleClicked, this, [this](int row, int) { choose(row); });
}

void ScreenSubstrates::prepare(const engine::MainFieldTexts& fields,
                               const database::StructureStore* store) {
    m_settings.fields = fields;
    m_store = store != nullptr && store->isOpen() ? store : nullptr;
    m_records->setEnabled(m_store != nullptr);
    m_records->setChecked(m_store != nullptr);
    m_pattern->setEnabled(m_store != nullptr);
    m_overlayer->setText(qs(fmt::format(
        "{}: b1 = {} Å, b2 = {} Å, beta = {}°; domain {} × {}, "
        "spacing {}°, largest multiple {}",
        fields.OverName, fields.b1, fields.b2, fields.beta, fields.b1size, fields.b2size,
        fields.AngleSpacing, fields.chkgeo ? fields.txtUplim : std::string("1"))));
}

void ScreenSubstrates::chooseFolder() {
    // Any CIF file of the folder picks the folder: every CIF file beside it is screened.
    const QString file = m_services.openFileName(
        this, {QStringLiteral("Crystal files (*.cif)|*.cif"), QStringLiteral("*.cif"), true});
    if (!file.isEmpty()) {
        m_folder->setText(qs(std::filesystem::path(utf8(file)).parent_path().string()));
    }
}

std::vector<screening::Substrate> ScreenSubstrates::chosenSubstrates() const {
    std::vector<screening::Substrate> out;
    const auto append = [&](std::vector<screening::Substrate> more) {
        out.insert(out.end(), more.begin(), more.end());
    };
    if (m_store != nullptr && m_records->isChecked()) {
        const auto records =
            m_store->records(database::TableKind::Substrate, database::RecordOrder::Name);
        if (!records.ok()) {
            numbers::failInput("records", records.error);
        }
        append(screening::substratesFromRecords(records.value, utf8(m_pattern->text())));
    }
    std::vector<std::filesystem::path> folders;
    if (m_starter->isChecked()) {
        folders.push_back(m_starterCrystals);
    }
    if (!m_folder->text().trimmed().isEmpty()) {
        folders.emplace_back(utf8(m_folder->text().trimmed()));
    }
    for (const std::filesystem::path& folder : folders) {
        for (const std::string& file : screening::crystalFilesIn(folder, "folder")) {
            append(screening::substratesFromCrystalFile(file, m_maxIndex->value()));
        }
    }
    return out;
}

void ScreenSubstrates::screen() {
    if (m_running) {
        return;
    }
    std::vector<screening::PairWork> work;
    try {
        static_cast<void>(engine::captureRun(m_settings.fields));  // the overlayer's fields
        const std::vector<screening::Substrate> substrates = chosenSubstrates();
        for (std::size_t k = 0; k < substrates.size(); ++k) {
            work.push_back({k, substrates[k], std::nullopt});
        }
    } catch (const numbers::InputError& e) {
        m_services.message(this, qs(e.what()));
        return;
    }
    if (work.empty()) {
        m_services.message(this, QStringLiteral("No substrates to screen: tick the database "
                                                "records or the starter crystals, or name a "
                                                "folder of CIF files."));
        return;
    }
    std::vector<screening::PairResult> results;
    m_running = true;
    m_stopRequested = false;
    m_screen->setEnabled(false);
    m_stop->setEnabled(true);
    m_services.setBusy(true);
    screening::RunHooks hooks;
    hooks.commit = [&](const screening::PairResult& r) { results.push_back(r); };
    hooks.stopRequested = [this] {
        m_services.deliverPendingEvents();
        return m_stopRequested;
    };
    hooks.progress = [&](double fraction) {
        m_progress->setText(QStringLiteral("%1 of %2 pairs, %3 %")
                                .arg(results.size())
                                .arg(work.size())
                                .arg(static_cast<int>(fraction * 100)));
    };
    const int threads = static_cast<int>(std::max(1U, std::thread::hardware_concurrency()));
    screening::runInOrder(work, m_settings, threads, hooks);
    m_services.setBusy(false);
    m_running = false;
    m_screen->setEnabled(true);
    m_stop->setEnabled(false);

    m_ranked = screening::ranked(results);
    const std::size_t failed = screening::unscreened(results).size();
    m_progress->setText(
        QStringLiteral("%1 of %2 pairs screened%3%4")
            .arg(m_ranked.size())
            .arg(work.size())
            .arg(failed > 0 ? QStringLiteral(", %1 could not be read").arg(failed) : QString())
            .arg(m_stopRequested ? QStringLiteral(" (stopped)") : QString()));
    showRanking();
}

void ScreenSubstrates::showRanking() {
    m_table->setSortingEnabled(false);
    m_table->setRowCount(static_cast<int>(m_ranked.size()));
    for (std::size_t k = 0; k < m_ranked.size(); ++k) {
        const screening::PairResult& r = m_ranked[k];
        const engine::Interpretation meaning = screening::interpretationOf(r, m_settings);
        const auto row = static_cast<int>(k);
        auto* name = textItem(r.substrate.name);
        name->setData(Qt::UserRole, static_cast<qulonglong>(k));
        m_table->setItem(row, 0, name);
        m_table->setItem(row, 1, textItem(r.substrate.plane));
        m_table->setItem(row, 2, numberItem(fieldNumber(r.substrate.a1), 4));
        m_table->setItem(row, 3, numberItem(fieldNumber(r.substrate.a2), 4));
        m_table->setItem(row, 4, numberItem(fieldNumber(r.substrate.alpha), 2));
        m_table->setItem(row, 5, numberItem(r.best.BestVVo, 6));
        m_table->setItem(row, 6, numberItem(r.best.BestAngle, 2));
        m_table->setItem(row, 7, textItem(engine::typeName(meaning.type())));
        m_table->setItem(row, 8, textItem(meaning.wood().value_or("")));
        m_table->setItem(
            row, 9, textItem(fmt::format("{}×{}", r.best.BestB1Multiple, r.best.BestB2Multiple)));
        double misfit = 0;
        for (const std::optional<double>& e : meaning.misfitPercent) {
            misfit = std::max(misfit, e ? std::fabs(*e) : 0.0);
        }
        m_table->setItem(row, 10, numberItem(misfit, 2));
        m_table->setItem(row, 11, numberItem(meaning.areaRatio, 3));
    }
    m_table->setSortingEnabled(true);
    m_table->sortByColumn(5, Qt::AscendingOrder);  // the ranking: best V/Vo first
    m_table->resizeColumnsToContents();
}

void ScreenSubstrates::choose(int row) {
    const QTableWidgetItem* item = m_table->item(row, 0);
    if (item == nullptr) {
        return;
    }
    const auto k = static_cast<std::size_t>(item->data(Qt::UserRole).toULongLong());
    if (k < m_ranked.size()) {
        engine::MainFieldTexts fields = screening::fieldsFor(m_ranked[k].substrate, m_settings);
        // The fields hold single precision: the shortest text that reads back as the same value.
        for (std::string* text : {&fields.a1, &fields.a2, &fields.alpha}) {
            const numbers::Parsed<float> single = numbers::toSingle(*text);
            if (single.ok()) {
                *text = numbers::formatShortestSingle(single.value);
            }
        }
        emit substrateChosen(fields);
    }
}

}  // namespace lamivex::app
