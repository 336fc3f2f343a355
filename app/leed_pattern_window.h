#pragma once
// "LEED pattern": the spots of the substrate and of every domain of the overlayer at the
// chosen orientation, at an energy the user sets, with the domain and mirror choices; and
// the step back from a measured LEED image: its spots found or marked by hand, the
// overlayer's cell fitted to them and handed to the main window.

#include <optional>
#include <vector>

#include <QPointF>

#include "app/leed_image_overlay.h"
#include "app/view_window.h"
#include "fit/grey_image.h"
#include "fit/leed_fit.h"
#include "views/leed.h"

class QCheckBox;
class QDoubleSpinBox;
class QLabel;
class QPushButton;
class QSlider;
class QSpinBox;

namespace lamivex::app {

class ViewCanvas;

// A fitted overlayer as the main window takes it: the cell in Angstroms and degrees and the
// azimuth range to scan, around the fitted azimuth.
struct ChosenOverlayer {
    double b1 = 0;
    double b2 = 0;
    double beta = 0;
    double lowerAngle = 0;
    double upperAngle = 0;
};

// How far either side of the fitted azimuth the offered range reaches, degrees.
inline constexpr double kFittedAzimuthMargin = 5;

class LeedPatternWindow : public ViewWindow {
    Q_OBJECT

  public:
    explicit LeedPatternWindow(Services& services, QWidget* parent = nullptr);

    [[nodiscard]] const views::LeedPattern& pattern() const { return m_pattern; }
    [[nodiscard]] QSpinBox* energy() const { return m_energy; }
    [[nodiscard]] bool hasImage() const { return m_image.has_value(); }
    // The measured spots, in the image's pixels.
    [[nodiscard]] const std::vector<fit::Spot>& spots() const { return m_spots; }
    // The fit of the spots as they are; none after they changed.
    [[nodiscard]] const std::optional<fit::LeedFit>& fitted() const { return m_fit; }
    // The placement the fields hold.
    [[nodiscard]] ImagePlacement placement() const;

    bool eventFilter(QObject* watched, QEvent* event) override;

    // cmdLoadImage: a PNG, JPEG or TIFF file under the pattern; a message when unreadable.
    void loadImage();
    // cmdFindSpots: the spots of the image, in place of those marked before.
    void findSpots();
    // cmdFitSpots: the overlayer's cell from the spots and the substrate shown; a message
    // when they give none.
    void fitSpots();
    // cmdUseCell: the fitted cell to the main window.
    void useFittedCell();

  signals:
    void overlayerChosen(const ChosenOverlayer& overlayer);

  protected:
    [[nodiscard]] Drawn draw(const views::ViewSubject& subject, double zoom) override;

  private:
    void buildImageControls();
    void setPlacement(const ImagePlacement& placement);
    void updateLevels();
    void forgetFit();
    void enableImageControls();
    // A click on the picture: the spot there taken away, or one added.
    void toggleSpotAt(QPointF canvasPoint);
    // The image's pixel under a point of the canvas, and the canvas pixels per image pixel.
    [[nodiscard]] std::optional<fit::ScreenPoint> imagePointAt(QPointF canvasPoint) const;
    [[nodiscard]] double canvasPixelsPerImagePixel() const;

    QSpinBox* m_energy;
    QCheckBox* m_allDomains;
    QCheckBox* m_mirrors;
    QCheckBox* m_multiple;
    QCheckBox* m_oneColour;
    views::LeedPattern m_pattern;

    ViewCanvas* m_canvas = nullptr;
    QPushButton* m_loadImage = nullptr;
    QPushButton* m_findSpots = nullptr;
    QPushButton* m_fitSpots = nullptr;
    QPushButton* m_useCell = nullptr;
    QDoubleSpinBox* m_centreX = nullptr;
    QDoubleSpinBox* m_centreY = nullptr;
    QDoubleSpinBox* m_scale = nullptr;
    QDoubleSpinBox* m_rotation = nullptr;
    QSlider* m_contrast = nullptr;
    QLabel* m_imageStatus = nullptr;

    std::optional<fit::GreyImage> m_image;
    QString m_imageName;
    ShownImage m_shown;
    std::vector<fit::Spot> m_spots;
    std::optional<fit::LeedFit> m_fit;
    engine::SubstrateCell m_fitSubstrate;
    // A press on the picture: a click marks a spot, a drag moves the pattern's centre.
    std::optional<QPointF> m_press;
    fit::ScreenPoint m_pressCentre;
    bool m_dragging = false;
};

}  // namespace lamivex::app
