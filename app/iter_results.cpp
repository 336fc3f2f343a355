#include "app/iter_results.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/iteration_state.h"
#include "app/iteration_summary.h"
#include "app/iteration_window.h"
#include "app/printout_commands.h"
#include "output/iteration_data_file.h"
#include "output/iteration_printout.h"
#include "output/match_table_csv.h"

namespace lamivex::app {
namespace {

constexpr int kColumns = 11;
constexpr int kWidths[kColumns] = {800, 900, 600, 700, 700, 900, 600, 600, 600, 600, 1200};
const char* const kHeadings[kColumns] = {"Match", " Angle", "V/Vo", "   b1", "   b2",     "  beta",
                                         "m11",   "m12",    "m21",  "m22",   "Area (A^2)"};
// Alignment code 2: left, bottom.
constexpr Qt::Alignment kCellAlignment = Qt::AlignLeft | Qt::AlignBottom;

const char* const kDataFilter = "Epidata Files (*.dat)|*.dat";
const char* const kDataInitialName = "*.dat";
const char* const kCsvFilter = "CSV Files (*.csv)|*.csv";
const char* const kCsvInitialName = "*.csv";

QPushButton* button(const char* name, const QString& text, QWidget* parent) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QString::fromLatin1(name));
    // A button with the focus takes Enter for itself; the others leave it to O.K.
    b->setAutoDefault(true);
    return b;
}

}  // namespace

void IterResults::reject() {
    putAway();
}

void IterResults::putAway() {
    hide();
    emit okClicked();
}

int twipsToPixels(int twips, int dotsPerInch) {
    return (twips * dotsPerInch + 720) / 1440;
}

IterResults::IterResults(IterationState& state, Iteration& iterationWindow, Services& services,
                         std::function<engine::MainFieldTexts()> mainFields, QWidget* parent)
    : QDialog(parent),
      m_state(state),
      m_iteration(iterationWindow),
      m_services(services),
      m_mainFields(std::move(mainFields)) {
    setObjectName(QStringLiteral("IterResults"));
    setWindowTitle(QStringLiteral("Iteration Results"));
    setModal(true);

    auto* heading = new QLabel(QStringLiteral("Iteration Results"), this);
    heading->setObjectName(QStringLiteral("Label1"));
    QFont bold = heading->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.3);
    heading->setFont(bold);

    m_grid = new QTableWidget(0, kColumns, this);
    m_grid->setObjectName(QStringLiteral("Grid1"));
    m_grid->verticalHeader()->setVisible(false);
    m_grid->verticalHeader()->setDefaultSectionSize(m_grid->fontMetrics().height() + 6);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    // The arrow keys move in the table; Tab goes on to the buttons.
    m_grid->setTabKeyNavigation(false);
    const int dpi = logicalDpiX();
    for (int c = 0; c < kColumns; ++c) {
        auto* item = new QTableWidgetItem(QString::fromLatin1(kHeadings[c]));
        item->setTextAlignment(kCellAlignment);
        m_grid->setHorizontalHeaderItem(c, item);
        m_grid->setColumnWidth(c, twipsToPixels(kWidths[c], dpi));
    }
    m_grid->horizontalHeader()->setDefaultAlignment(kCellAlignment);
    int tableWidth = 0;
    for (const int w : kWidths) {
        tableWidth += twipsToPixels(w, dpi);
    }
    m_grid->setMinimumWidth(tableWidth + 24);

    m_summaryBox = new QPlainTextEdit(this);
    m_summaryBox->setObjectName(QStringLiteral("SummaryBox"));
    m_summaryBox->setReadOnly(true);
    m_summaryBox->setStyleSheet(QStringLiteral("background-color: #c0c0c0;"));
    m_summaryBox->setMinimumWidth(300);
    // It only shows the run; the mouse can still select and copy from it.
    m_summaryBox->setFocusPolicy(Qt::ClickFocus);

    auto* ok = button("Command1", QStringLiteral("&O.K."), this);
    auto* save = button("IterFileSave", QStringLiteral("&Save"), this);
    auto* print = button("Print", QStringLiteral("&Print"), this);
    auto* csv = button("cmdExportCsv", QStringLiteral("&Export CSV…"), this);
    auto* show = button("cmdShowMatch", QStringLiteral("S&how…"), this);
    show->setToolTip(
        QStringLiteral("Real space and LEED pattern of the selected match "
                       "(or double-click a match)"));
    show->setEnabled(false);
    // Enter anywhere but on another button closes the table, as O.K. does.
    ok->setDefault(true);
    csv->setToolTip(QStringLiteral("Save the matches as a CSV table"));

    auto* side = new QVBoxLayout;
    side->addWidget(m_summaryBox, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(show);
    buttons->addWidget(save);
    buttons->addWidget(print);
    buttons->addWidget(csv);
    buttons->addStretch();
    buttons->addWidget(ok);
    side->addLayout(buttons);

    auto* body = new QHBoxLayout;
    body->addWidget(m_grid, 3);
    body->addLayout(side, 2);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(heading, 0, Qt::AlignHCenter);
    layout->addLayout(body, 1);
    resize(tableWidth + 420, 420);

    QWidget::setTabOrder(m_grid, show);
    QWidget::setTabOrder(show, save);
    QWidget::setTabOrder(save, print);
    QWidget::setTabOrder(print, csv);
    QWidget::setTabOrder(csv, ok);
    connect(ok, &QPushButton::clicked, this, &IterResults::putAway);
    connect(save, &QPushButton::clicked, this, &IterResults::saveDataFile);
    connect(print, &QPushButton::clicked, this, &IterResults::printMatches);
    connect(csv, &QPushButton::clicked, this, &IterResults::exportCsv);
    connect(show, &QPushButton::clicked, this, &IterResults::showSelectedMatch);
    connect(m_grid, &QTableWidget::itemSelectionChanged, this,
            [this, show] { show->setEnabled(!m_grid->selectedItems().isEmpty()); });
    connect(m_grid, &QTableWidget::cellDoubleClicked, this, [this](int row, int) {
        putAway();
        emit matchChosen(row);
    });
}

void IterResults::showSelectedMatch() {
    const QList<QTableWidgetItem*> selected = m_grid->selectedItems();
    if (selected.isEmpty()) {
        return;
    }
    // The views are windows of their own, which a modal table would keep from the mouse.
    putAway();
    emit matchChosen(selected.front()->row());
}

void IterResults::setLatticeHeadings(bool overlayer) {
    const char* names[3] = {"   b1", "   b2", "  beta"};
    if (!overlayer) {
        names[0] = "   a1";
        names[1] = "   a2";
        names[2] = "  alpha";
    }
    for (int i = 0; i < 3; ++i) {
        m_grid->horizontalHeaderItem(3 + i)->setText(QString::fromLatin1(names[i]));
    }
}

void IterResults::appendRow(const QStringList& cells) {
    const int row = m_grid->rowCount();
    m_grid->insertRow(row);
    for (int c = 0; c < kColumns && c < cells.size(); ++c) {
        auto* item = new QTableWidgetItem(cells[c]);
        item->setTextAlignment(kCellAlignment);
        m_grid->setItem(row, c, item);
    }
}

void IterResults::clearRows() {
    m_grid->setRowCount(0);
}

void IterResults::rebuildSummary() {
    if (!m_state.completed) {
        m_summary.clear();
    } else {
        const engine::MainFieldTexts now = m_mainFields();
        const iteration::IterationWindowFields window = m_iteration.fields();
        std::array<bool, iteration::kConstantCount> fixed{};
        for (std::size_t r = 0; r < fixed.size(); ++r) {
            fixed[r] = window.rows[r].fixed;
        }
        m_summary = QString::fromStdString(
            iterationSummary(now.SubName, now.OverName, m_state.completed->restoredFields,
                             m_state.IterationRanges, window.iterover, fixed));
    }
    m_summaryBox->setPlainText(m_summary);
}

void IterResults::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        rebuildSummary();
    }
}

void IterResults::saveDataFile() {
    if (!m_state.completed) {
        return;
    }
    const output::IterationDataInputs in =
        iteration::dataFileInputs(*m_state.completed, m_mainFields(), m_iteration.fields(),
                                  m_state.IterationRanges, output::today());
    PrintoutCommands(m_services, this, QStringLiteral("The data file"))
        .save(QLatin1String(kDataFilter), QLatin1String(kDataInitialName),
              [&in](std::ostream& out) { output::writeIterationData(out, in); });
}

void IterResults::printMatches() {
    if (!m_state.completed) {
        return;
    }
    const output::IterationDataInputs in =
        iteration::dataFileInputs(*m_state.completed, m_mainFields(), m_iteration.fields(),
                                  m_state.IterationRanges, output::today());
    PrintoutCommands(m_services, this, QStringLiteral("The list of matches"))
        .print(output::iterationPrintoutPages(in), QStringLiteral("Lamivex iteration"));
}

void IterResults::exportCsv() {
    if (!m_state.completed) {
        return;
    }
    const bool overlayer = iteration::iteratesOverlayer(m_state.completed->kind);
    const iteration::CompletedIteration& run = *m_state.completed;
    const std::vector<output::MatchCsvRow> rows =
        iteration::matchCsvRows(run, engine::kDefaultRegistryTolerance);
    PrintoutCommands(m_services, this, QStringLiteral("The table of matches"))
        .save(QLatin1String(kCsvFilter), QLatin1String(kCsvInitialName),
              [&](std::ostream& out) { output::writeMatchTableCsv(out, overlayer, rows); });
}

}  // namespace lamivex::app
