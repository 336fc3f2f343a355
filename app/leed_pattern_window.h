#pragma once
// "LEED pattern": the spots of the substrate and of every domain of the overlayer at the
// chosen orientation, at an energy the user sets, with the domain and mirror choices.

#include "app/view_window.h"
#include "views/leed.h"

class QCheckBox;
class QSpinBox;

namespace lamivex::app {

class LeedPatternWindow : public ViewWindow {
    Q_OBJECT

  public:
    explicit LeedPatternWindow(Services& services, QWidget* parent = nullptr);

    [[nodiscard]] const views::LeedPattern& pattern() const { return m_pattern; }
    [[nodiscard]] QSpinBox* energy() const { return m_energy; }

  protected:
    [[nodiscard]] Drawn draw(const views::ViewSubject& subject, double zoom) override;

  private:
    QSpinBox* m_energy;
    QCheckBox* m_allDomains;
    QCheckBox* m_mirrors;
    QCheckBox* m_multiple;
    QCheckBox* m_oneColour;
    views::LeedPattern m_pattern;
};

}  // namespace lamivex::app
