#include "render/gui_session.h"

#include <cstdio>

#include <QGuiApplication>

namespace lamivex::render {
namespace {

// Only a fatal message still ends the program; the rest are Qt's notes to developers.
void quietHandler(QtMsgType type, const QMessageLogContext& /*context*/, const QString& message) {
    if (type == QtFatalMsg) {
        fprintf(stderr, "%s\n", qPrintable(message));
    }
}

}  // namespace

GuiSession::GuiSession() {
    if (QCoreApplication::instance() != nullptr) {
        return;
    }
    m_previousHandler = qInstallMessageHandler(quietHandler);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    m_app = std::make_unique<QGuiApplication>(m_argc, m_argv);
}

GuiSession::~GuiSession() {
    if (m_app) {
        m_app.reset();
        qInstallMessageHandler(m_previousHandler);
    }
}

}  // namespace lamivex::render
