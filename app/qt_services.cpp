#include "app/qt_services.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QMessageBox>
#include <QPrinter>
#include <QPrinterInfo>
#include <QScreen>
#include <QWidget>

#include "app/window_placement.h"

namespace lamivex::app {
namespace {

// Every box carries the program's name, as the window system shows no other context.
const char* const kBoxTitle = "Lamivex";

// A box or dialog opened while a window is kept above the others must come above it too,
// or its buttons may lie under that window.
void keepAboveWindowsKeptAbove(QWidget* dialog) {
    for (const QWidget* window : QApplication::topLevelWidgets()) {
        if (window != dialog && window->isVisible() &&
            window->windowFlags().testFlag(Qt::WindowStaysOnTopHint)) {
            dialog->setWindowFlag(Qt::WindowStaysOnTopHint, true);
            return;
        }
    }
}

// Qt's own file dialog (the one a bare window manager gets) opens too narrow for its Size,
// Type and Date columns and cuts them ("16....KiB"): a size with room for them, the name
// taking what is left, and those columns as wide as what they show.
void giveColumnsRoom(QFileDialog& dialog) {
    QSize size(900, 540);
    if (const QScreen* screen = dialog.screen()) {
        size = size.boundedTo(screen->availableGeometry().size() * 0.9);
    }
    dialog.resize(size);
    for (QHeaderView* header : dialog.findChildren<QHeaderView*>()) {
        if (header->orientation() != Qt::Horizontal || header->count() < 2) {
            continue;
        }
        header->setStretchLastSection(false);
        header->setSectionResizeMode(0, QHeaderView::Stretch);
        for (int column = 1; column < header->count(); ++column) {
            header->setSectionResizeMode(column, QHeaderView::ResizeToContents);
        }
    }
}

QString dialogFile(QWidget* parent, const FileDialogRequest& request,
                   QFileDialog::AcceptMode mode) {
    QFileDialog dialog(parent);
    keepAboveWindowsKeptAbove(&dialog);
    giveColumnsRoom(dialog);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                       : QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.confirmOverwrite);
    const QStringList filters = qtNameFilters(request.filter);
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
    }
    // A wildcard initial name only repeats the filter; a real name is offered as the choice.
    if (!request.initialName.isEmpty() && !request.initialName.contains(QLatin1Char('*'))) {
        dialog.selectFile(request.initialName);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    return dialog.selectedFiles().constFirst();
}

}  // namespace

QStringList qtNameFilters(const QString& filter) {
    QStringList result;
    const QStringList parts = filter.split(QLatin1Char('|'));
    for (qsizetype p = 0; p + 1 < parts.size(); p += 2) {
        const QString description = parts[p].trimmed();
        const QString pattern = parts[p + 1].trimmed();
        const QString tail = QStringLiteral("(%1)").arg(pattern);
        result << (description.endsWith(tail) ? description
                                              : QStringLiteral("%1 %2").arg(description, tail));
    }
    return result;
}

QtServices::QtServices() = default;

QtServices::~QtServices() {
    while (m_busyDepth > 0) {
        setBusy(false);
    }
}

void QtServices::message(QWidget* parent, const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, QString::fromLatin1(kBoxTitle), text, QMessageBox::Ok,
                    parent);
    keepAboveWindowsKeptAbove(&box);
    box.exec();
}

Answer QtServices::question(QWidget* parent, const QString& text, Answer defaultAnswer) {
    QMessageBox box(QMessageBox::Question, QString::fromLatin1(kBoxTitle), text,
                    QMessageBox::Yes | QMessageBox::No, parent);
    keepAboveWindowsKeptAbove(&box);
    box.setDefaultButton(defaultAnswer == Answer::Yes ? QMessageBox::Yes : QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes ? Answer::Yes : Answer::No;
}

std::optional<QString> QtServices::textInput(QWidget* parent, const QString& title,
                                             const QString& label, const QString& initial) {
    QInputDialog dialog(parent);
    keepAboveWindowsKeptAbove(&dialog);
    dialog.setWindowTitle(title);
    dialog.setLabelText(label);
    dialog.setTextValue(initial);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.textValue();
}

std::optional<FigureRequest> QtServices::figureSize(QWidget* parent, const FigureRequest& initial) {
    QDialog dialog(parent);
    keepAboveWindowsKeptAbove(&dialog);
    dialog.setWindowTitle(QStringLiteral("Figure size"));
    auto* form = new QFormLayout(&dialog);
    const auto field = [&](const char* name, double value, double low, double high, int decimals,
                           const QString& suffix, const QString& label) {
        auto* box = new QDoubleSpinBox(&dialog);
        box->setObjectName(QLatin1String(name));
        box->setRange(low, high);
        box->setDecimals(decimals);
        box->setSuffix(suffix);
        box->setValue(value);
        form->addRow(label, box);
        return box;
    };
    QDoubleSpinBox* width = field("txtFigureWidth", initial.widthMm, 10, 2000, 1,
                                  QStringLiteral(" mm"), QStringLiteral("&Width:"));
    QDoubleSpinBox* height = field("txtFigureHeight", initial.heightMm, 10, 2000, 1,
                                   QStringLiteral(" mm"), QStringLiteral("&Height:"));
    QDoubleSpinBox* dpi = field("txtFigureDpi", initial.dpi, 30, 2400, 0, QStringLiteral(" dpi"),
                                QStringLiteral("&Resolution (PNG):"));
    QDoubleSpinBox* font = nullptr;
    if (initial.withFontSize) {
        font = field("txtFigureFont", initial.fontPt, 4, 72, 1, QStringLiteral(" pt"),
                     QStringLiteral("&Font size:"));
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    form->addRow(buttons);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    FigureRequest chosen = initial;
    chosen.widthMm = width->value();
    chosen.heightMm = height->value();
    chosen.dpi = dpi->value();
    if (font != nullptr) {
        chosen.fontPt = font->value();
    }
    return chosen;
}

QString QtServices::openFileName(QWidget* parent, const FileDialogRequest& request) {
    return dialogFile(parent, request, QFileDialog::AcceptOpen);
}

QString QtServices::saveFileName(QWidget* parent, const FileDialogRequest& request) {
    return dialogFile(parent, request, QFileDialog::AcceptSave);
}

QPrinter* QtServices::printer() {
    // Without a default printer a QPrinter would quietly become a PDF writer with no file.
    const QPrinterInfo current = QPrinterInfo::defaultPrinter();
    if (current.isNull()) {
        return nullptr;
    }
    if (!m_printer || m_printer->printerName() != current.printerName()) {
        m_printer = std::make_unique<QPrinter>(current, QPrinter::HighResolution);
    }
    return m_printer.get();
}

void QtServices::setBusy(bool busy) {
    if (busy) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        ++m_busyDepth;
    } else if (m_busyDepth > 0) {
        QApplication::restoreOverrideCursor();
        --m_busyDepth;
    }
}

void QtServices::keepAbove(QWidget* window, bool above) {
    if (window->windowFlags().testFlag(Qt::WindowStaysOnTopHint) == above) {
        return;
    }
    // Changing a window's flags hides it; show it again where it was.
    const bool wasVisible = window->isVisible();
    const QRect geometry = window->geometry();
    window->setWindowFlag(Qt::WindowStaysOnTopHint, above);
    if (wasVisible) {
        window->setGeometry(geometry);
        window->show();
    }
}

void QtServices::placeBeside(QWidget* window, QWidget* anchor) {
    placeAmongShownWindows(window, anchor);
}

void QtServices::deliverPendingEvents() {
    QCoreApplication::processEvents();
}

}  // namespace lamivex::app
