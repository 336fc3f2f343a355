#pragma once
// "Real space": the overlayer points on the substrate sites at the chosen orientation, each
// coloured by its registry, with the cells outlined. It opens on the cells around the origin;
// "Whole domain" shows everything, "Origin cells" goes back.

#include "app/view_window.h"
#include "views/real_space.h"

namespace lamivex::app {

class RealSpaceWindow : public ViewWindow {
    Q_OBJECT

  public:
    explicit RealSpaceWindow(Services& services, QWidget* parent = nullptr);

    [[nodiscard]] const views::RealSpaceScene& scene() const { return m_scene; }

  protected:
    [[nodiscard]] Drawn draw(const views::ViewSubject& subject, double zoom) override;
    void showEvent(QShowEvent* event) override;

  private:
    views::RealSpaceScene m_scene;
};

}  // namespace lamivex::app
