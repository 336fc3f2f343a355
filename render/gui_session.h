#pragma once
// A QGuiApplication for programs without windows (the command line), so the painter can
// lay out text. Chooses the offscreen platform unless QT_QPA_PLATFORM says otherwise,
// and does nothing when the program already has an application object. While it lives,
// Qt's own diagnostics stay off stderr, which carries the program's one-line errors.

#include <memory>

#include <QtGlobal>

class QGuiApplication;

namespace lamivex::render {

class GuiSession {
  public:
    GuiSession();
    ~GuiSession();
    GuiSession(const GuiSession&) = delete;
    GuiSession& operator=(const GuiSession&) = delete;

  private:
    int m_argc = 1;
    char m_name[12] = "lamivex-cli";
    char* m_argv[2] = {m_name, nullptr};
    std::unique_ptr<QGuiApplication> m_app;
    QtMessageHandler m_previousHandler = nullptr;
};

}  // namespace lamivex::render
