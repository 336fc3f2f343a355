#include "app/rotation_done.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "app/app_state.h"
#include "app/window_keys.h"
#include "engine/match_pass.h"
#include "numbers/number_text.h"

namespace lamivex::app {
namespace {

constexpr int kTrackWidth = 300;
constexpr int kTrackHeight = 22;

QLabel* named(const char* name, const QString& text, QWidget* parent) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(QString::fromLatin1(name));
    return l;
}

}  // namespace

RotationDone::RotationDone(AppState& state, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint),
      m_state(state) {
    setObjectName(QStringLiteral("RotationDone"));
    setWindowTitle(QStringLiteral("Rotation Progress"));
    // The user keeps typing in the main window while a run shows its progress.
    setAttribute(Qt::WA_ShowWithoutActivating);

    auto* caption = named("Label2", QStringLiteral("Rotating Overlayer"), this);
    QFont captionFont = caption->font();
    captionFont.setBold(true);
    captionFont.setPointSizeF(captionFont.pointSizeF() * 1.2);
    caption->setFont(captionFont);

    m_b1 = named("b1", QString(), this);
    m_b2 = named("b2", QString(), this);
    m_beta = named("beta", QString(), this);
    for (QLabel* value : {m_b1, m_b2, m_beta}) {
        value->setMinimumWidth(80);
        value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }

    m_track = new QFrame(this);
    m_track->setObjectName(QStringLiteral("Shape2"));
    m_track->setFrameStyle(QFrame::Box | QFrame::Plain);
    m_track->setFixedSize(kTrackWidth, kTrackHeight);
    m_track->setBackgroundRole(QPalette::Base);
    m_track->setAutoFillBackground(true);
    m_bar = new QFrame(m_track);
    m_bar->setObjectName(QStringLiteral("Shape1"));
    m_bar->setStyleSheet(QStringLiteral("background-color: #1f4e9c;"));
    m_bar->setGeometry(0, 0, 0, kTrackHeight);

    m_percent = named("Label1", QStringLiteral("0%"), this);
    m_percent->setMinimumWidth(44);
    m_percent->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_abort = new QPushButton(QStringLiteral("&ABORT"), this);
    m_abort->setObjectName(QStringLiteral("Command1"));
    m_abort->setMinimumWidth(96);
    m_hitsCaption = named("Label6", QStringLiteral("Hits"), this);
    m_hits = named("Hits", QStringLiteral("0"), this);

    auto* values = new QGridLayout;
    const auto row = [&](int r, const QString& text, QLabel* value) {
        values->addWidget(new QLabel(text, this), r, 0);
        values->addWidget(value, r, 1);
    };
    row(0, QStringLiteral("b1 or a1"), m_b1);
    row(1, QStringLiteral("b2 or a2"), m_b2);
    row(2, QStringLiteral("beta/alpha"), m_beta);
    values->addWidget(m_hitsCaption, 0, 3);
    values->addWidget(m_hits, 1, 3);
    values->setColumnStretch(2, 1);

    auto* progress = new QHBoxLayout;
    progress->addWidget(m_track);
    progress->addWidget(m_percent);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_abort);
    buttons->addStretch();

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(caption, 0, Qt::AlignHCenter);
    layout->addLayout(values);
    layout->addLayout(progress);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(m_abort, &QPushButton::clicked, this, &RotationDone::requestAbort);
    // Escape is this window's cancel key, and ABORT its only way to cancel: the user who
    // has clicked into the progress window and presses Escape means to stop the run.
    // Enter is left alone, so that a stray Enter never ends a long run.
    auto* keys = new WindowKeys(this);
    keys->setEscape([this] {
        if (m_abort->isVisible()) {
            m_abort->click();
        }
    });
}

void RotationDone::setProgress(int k, int lastAngleIndex) {
    const double fraction = engine::progressFraction(k, lastAngleIndex);
    // k x track width / N in single precision; a one-step pass is full at once.
    const auto track = static_cast<float>(m_track->width());
    const float width = lastAngleIndex > 0
                            ? static_cast<float>(k) * track / static_cast<float>(lastAngleIndex)
                            : track;
    m_bar->setFixedWidth(static_cast<int>(width));
    m_percent->setText(QString::fromStdString(numbers::formatWhole(fraction * 100)) +
                       QLatin1Char('%'));
}

void RotationDone::setB1(const QString& text) {
    m_b1->setText(text);
}
void RotationDone::setB2(const QString& text) {
    m_b2->setText(text);
}
void RotationDone::setBeta(const QString& text) {
    m_beta->setText(text);
}

void RotationDone::prepareForRun(bool showHits) {
    m_abort->setVisible(true);
    m_hitsCaption->setVisible(showHits);
    m_hits->setVisible(showHits);
    setProgress(0, 1);
}

void RotationDone::requestAbort() {
    m_state.AbortRequested = true;
}

void RotationDone::closeEvent(QCloseEvent* event) {
    if (m_state.runInProgress) {
        requestAbort();
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

}  // namespace lamivex::app
