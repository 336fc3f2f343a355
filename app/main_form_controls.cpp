#include "app/main_form_controls.h"

#include <array>
#include <cstddef>
#include <initializer_list>
#include <iterator>

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QVBoxLayout>

#include "app/icons.h"
#include "app/window_keys.h"

namespace lamivex::app {
namespace {

constexpr int kFieldWidth = 96;
constexpr int kResultWidth = 104;
constexpr int kToggleIcon = 40;

// Builders of the common pieces; each gives the control its object name.
struct Builder {
    QWidget* parent;

    EntryField* field(const char* name, int width = kFieldWidth) const {
        auto* f = new EntryField(QString::fromLatin1(name), parent);
        f->setFixedWidth(width);
        return f;
    }
    QLabel* label(const QString& text) const { return new QLabel(text, parent); }
    QLabel* unit(const QString& text) const {
        QLabel* l = label(text);
        l->setForegroundRole(QPalette::PlaceholderText);
        return l;
    }
    QLabel* result(const char* name) const {
        auto* l = new QLabel(parent);
        l->setObjectName(QString::fromLatin1(name));
        l->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
        l->setMinimumWidth(kResultWidth);
        l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        l->setTextInteractionFlags(Qt::TextSelectableByMouse);
        l->setBackgroundRole(QPalette::Base);
        l->setAutoFillBackground(true);
        return l;
    }
    QPushButton* button(const char* name, const QString& text) const {
        auto* b = new QPushButton(text, parent);
        b->setObjectName(QString::fromLatin1(name));
        return b;
    }
    QToolButton* image(const char* name, const char* icon, const QString& tip) const {
        auto* b = new QToolButton(parent);
        b->setObjectName(QString::fromLatin1(name));
        b->setIcon(QIcon(QString::fromLatin1(icon)));
        b->setIconSize(QSize(22, 22));
        b->setToolTip(tip);
        b->setAutoRaise(true);
        return b;
    }
    QToolButton* toggle(const char* name, const char* icon, const QString& text) const {
        auto* b = new QToolButton(parent);
        b->setObjectName(QString::fromLatin1(name));
        b->setIcon(QIcon(QString::fromLatin1(icon)));
        b->setIconSize(QSize(kToggleIcon, kToggleIcon));
        b->setText(text);
        b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        b->setMinimumWidth(116);
        return b;
    }
};

QLabel* heading(const QString& text, QWidget* parent) {
    auto* l = new QLabel(text, parent);
    QFont f = l->font();
    f.setBold(true);
    l->setFont(f);
    return l;
}

// One "caption = [field] unit" row of a grid.
void addFieldRow(QGridLayout* grid, int row, QLabel* caption, QWidget* field, QLabel* unit) {
    grid->addWidget(caption, row, 0, Qt::AlignRight);
    grid->addWidget(field, row, 1);
    if (unit != nullptr) {
        grid->addWidget(unit, row, 2);
    }
}

// The substrate and overlayer blocks share one layout: the name with its picker and notes
// icons, "Lattice Vectors" with three field rows, a block of their own, Update and Remove.
struct LatticeRow {
    const char* caption;
    QWidget* field;
    const char* unit;
};

void layOutLatticeBlock(QGroupBox* box, const Builder& b,
                        std::initializer_list<QWidget*> nameRowWidgets,
                        const std::array<LatticeRow, 3>& rows, QWidget* own,
                        std::initializer_list<QWidget*> buttonWidgets) {
    auto* grid = new QGridLayout(box);
    auto* nameRow = new QHBoxLayout;
    for (QWidget* w : nameRowWidgets) {
        nameRow->addWidget(w);
    }
    nameRow->addStretch();
    grid->addLayout(nameRow, 0, 0, 1, 3);
    grid->addWidget(heading(QStringLiteral("Lattice Vectors"), box), 1, 0, 1, 3);
    int row = 2;
    for (const LatticeRow& r : rows) {
        addFieldRow(grid, row++, b.label(QString::fromLatin1(r.caption)), r.field,
                    b.unit(QString::fromLatin1(r.unit)));
    }
    grid->addWidget(own, 5, 0, 1, 3);
    auto* buttons = new QHBoxLayout;
    for (QWidget* w : buttonWidgets) {
        buttons->addWidget(w);
    }
    buttons->addStretch();
    grid->setRowStretch(6, 1);
    grid->addLayout(buttons, 7, 0, 1, 3);
    grid->setColumnStretch(2, 1);
}

QGroupBox* substrateBox(MainFormControls& c, QWidget* parent) {
    auto* box = new QGroupBox(QStringLiteral("Substrate"), parent);
    const Builder b{box};
    c.SubName = b.field("SubName", 2 * kFieldWidth + 40);
    c.SubName->setToolTip(QStringLiteral("Name of the substrate"));
    c.Image1 = b.image("Image1", ":/icons/picker.svg", QStringLiteral("Pick a stored substrate"));
    c.Image3 = b.image("Image3", ":/icons/notes.svg", QStringLiteral("Comments on the substrate"));
    c.a1 = b.field("a1");
    c.a2 = b.field("a2");
    c.alpha = b.field("alpha");
    c.Command2 = b.button("Command2", QStringLiteral("&Update "));
    c.Command7 = b.button("Command7", QStringLiteral("R&emove"));
    c.cmdSubstrateCif = b.button("cmdSubstrateCif", QStringLiteral("From crystal file…"));
    c.cmdSubstrateCif->setToolTip(
        QStringLiteral("Fill the substrate with the surface mesh of a plane of a CIF file"));
    c.cmdScreen = b.button("cmdScreen", QStringLiteral("Screen substrates…"));
    c.cmdScreen->setToolTip(
        QStringLiteral("Rank many substrates for this overlayer by their best V/Vo"));

    auto* symmetry = new QGroupBox(QStringLiteral("Substrate Symmetry"), box);
    c.hexagonal = new QRadioButton(QStringLiteral("Hex&agonal"), symmetry);
    c.hexagonal->setObjectName(QStringLiteral("hexagonal"));
    c.nonhexagonal = new QRadioButton(QStringLiteral("N&on-hexagonal"), symmetry);
    c.nonhexagonal->setObjectName(QStringLiteral("nonhexagonal"));
    auto* symmetryRow = new QHBoxLayout(symmetry);
    symmetryRow->addWidget(c.hexagonal);
    symmetryRow->addWidget(c.nonhexagonal);
    symmetryRow->addStretch();

    layOutLatticeBlock(box, b, {c.SubName, c.Image1, c.Image3},
                       {{{"a1 =", c.a1, "Angstroms"},
                         {"a2 =", c.a2, "Angstroms"},
                         {"alpha =", c.alpha, "degrees"}}},
                       symmetry, {c.Command2, c.Command7, c.cmdSubstrateCif, c.cmdScreen});
    return box;
}

QGroupBox* overlayerBox(MainFormControls& c, QWidget* parent) {
    auto* box = new QGroupBox(QStringLiteral("Overlayer"), parent);
    const Builder b{box};
    c.OverName = b.field("OverName", 2 * kFieldWidth + 40);
    c.OverName->setToolTip(QStringLiteral("Name of the overlayer"));
    c.Image2 = b.image("Image2", ":/icons/picker.svg", QStringLiteral("Pick a stored overlayer"));
    c.Image4 = b.image("Image4", ":/icons/notes.svg", QStringLiteral("Comments on the overlayer"));
    c.b1 = b.field("b1");
    c.b2 = b.field("b2");
    c.beta = b.field("beta");
    c.Command3 = b.button("Command3", QStringLiteral("Up&date "));
    c.Command8 = b.button("Command8", QStringLiteral("Remo&ve"));
    c.cmdFromMatrix = b.button("cmdFromMatrix", QStringLiteral("From matrix…"));
    c.cmdFromMatrix->setToolTip(
        QStringLiteral("Fill b1, b2 and beta from a transformation matrix and centre the "
                       "azimuth range on its angle"));
    c.cmdOverlayerCif = b.button("cmdOverlayerCif", QStringLiteral("From crystal file…"));
    c.cmdOverlayerCif->setToolTip(
        QStringLiteral("Fill the overlayer with the surface mesh of a plane of a CIF file"));

    auto* dimensions = new QGroupBox(QStringLiteral("Overlayer dimensions"), box);
    const Builder d{dimensions};
    c.b1size = d.field("b1size", 64);
    c.b2size = d.field("b2size", 64);
    auto* dimensionRows = new QGridLayout(dimensions);
    addFieldRow(dimensionRows, 0, d.label(QStringLiteral("b1 direction :")), c.b1size,
                d.unit(QStringLiteral("cells each side")));
    addFieldRow(dimensionRows, 1, d.label(QStringLiteral("b2 direction :")), c.b2size,
                d.unit(QStringLiteral("cells each side")));
    dimensionRows->setColumnStretch(2, 1);

    layOutLatticeBlock(
        box, b, {c.OverName, c.Image2, c.Image4},
        {{{"b1 =", c.b1, "Angstroms"}, {"b2 =", c.b2, "Angstroms"}, {"beta =", c.beta, "degrees"}}},
        dimensions, {c.Command3, c.Command8, c.cmdFromMatrix, c.cmdOverlayerCif});
    return box;
}

QGroupBox* azimuthBox(MainFormControls& c, QWidget* parent) {
    auto* box = new QGroupBox(QStringLiteral("Azimuth rotation range"), parent);
    const Builder b{box};
    c.Lowerangle = b.field("Lowerangle");
    c.Upperangle = b.field("Upperangle");
    c.AngleSpacing = b.field("AngleSpacing");
    auto* grid = new QGridLayout(box);
    addFieldRow(grid, 0, b.label(QStringLiteral("Lower Bound")), c.Lowerangle,
                b.unit(QStringLiteral("degrees")));
    addFieldRow(grid, 1, b.label(QStringLiteral("Upper Bound")), c.Upperangle,
                b.unit(QStringLiteral("degrees")));
    addFieldRow(grid, 2, b.label(QStringLiteral("Spacing")), c.AngleSpacing,
                b.unit(QStringLiteral("degrees")));
    grid->setColumnStretch(2, 1);
    grid->setRowStretch(3, 1);
    return box;
}

QGroupBox* calculationsBox(MainFormControls& c, QWidget* parent) {
    auto* box = new QGroupBox(QStringLiteral("Calculations"), parent);
    const Builder b{box};
    c.Calculate = b.button("Calculate", QStringLiteral("&Calculate"));
    c.Calculate->setMinimumSize(120, 44);
    QFont f = c.Calculate->font();
    f.setBold(true);
    c.Calculate->setFont(f);
    c.Option1 = new QRadioButton(QStringLiteral(" &No iteration"), box);
    c.Option1->setObjectName(QStringLiteral("Option1"));
    c.Option2 = new QRadioButton(QStringLiteral(" &Iteration"), box);
    c.Option2->setObjectName(QStringLiteral("Option2"));
    c.Check1 = new QCheckBox(QStringLiteral(" Sho&w parameters"), box);
    c.Check1->setObjectName(QStringLiteral("Check1"));
    c.chkgeo =
        new QCheckBox(QStringLiteral(" Search for &geometric solutions: maximum multiple ="), box);
    c.chkgeo->setObjectName(QStringLiteral("chkgeo"));
    c.txtUplim = b.field("txtUplim", 48);

    auto* modes = new QVBoxLayout;
    modes->addWidget(c.Option1);
    modes->addWidget(c.Option2);
    auto* iteration = new QHBoxLayout;
    iteration->addSpacing(24);
    iteration->addWidget(c.Check1);
    modes->addLayout(iteration);

    auto* grid = new QGridLayout(box);
    grid->addWidget(c.Calculate, 0, 0, Qt::AlignLeft | Qt::AlignVCenter);
    grid->addLayout(modes, 0, 1);
    auto* geometric = new QHBoxLayout;
    geometric->addWidget(c.chkgeo);
    geometric->addWidget(c.txtUplim);
    geometric->addStretch();
    grid->addLayout(geometric, 1, 0, 1, 2);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(2, 1);
    return box;
}

QGroupBox* resultsBox(MainFormControls& c, QWidget* parent) {
    auto* box = new QGroupBox(QStringLiteral("Results"), parent);
    const Builder b{box};
    c.Angleanswer = b.result("Angleanswer");
    c.pxanswer = b.result("pxanswer");
    c.qyanswer = b.result("qyanswer");
    c.qxanswer = b.result("qxanswer");
    c.pyanswer = b.result("pyanswer");
    c.VVo = b.result("VVo");
    c.Command1 = b.button("Command1", QStringLiteral("&Save"));
    c.Command4 = b.button("Command4", QStringLiteral("&Print"));

    auto* grid = new QGridLayout(box);
    grid->addWidget(b.label(QStringLiteral("Orientation Angle =")), 0, 0, 1, 2, Qt::AlignRight);
    grid->addWidget(c.Angleanswer, 0, 2);
    grid->addWidget(b.unit(QStringLiteral("degrees")), 0, 3);
    grid->addWidget(heading(QStringLiteral("Transformation matrix"), box), 1, 0, 1, 5);
    grid->addWidget(b.label(QStringLiteral("m11 =")), 2, 1, Qt::AlignRight);
    grid->addWidget(c.pxanswer, 2, 2);
    grid->addWidget(b.label(QStringLiteral("m12 =")), 2, 3, Qt::AlignRight);
    grid->addWidget(c.qyanswer, 2, 4);
    grid->addWidget(b.label(QStringLiteral("m21 =")), 3, 1, Qt::AlignRight);
    grid->addWidget(c.qxanswer, 3, 2);
    grid->addWidget(b.label(QStringLiteral("m22 =")), 3, 3, Qt::AlignRight);
    grid->addWidget(c.pyanswer, 3, 4);
    grid->addWidget(b.label(QStringLiteral("V/Vo =")), 4, 0, 1, 2, Qt::AlignRight);
    grid->addWidget(c.VVo, 4, 2);
    c.LblMatrix = b.label(QString());
    c.LblMatrix->setObjectName(QStringLiteral("LblMatrix"));
    c.LblEpitaxy = b.label(QString());
    c.LblEpitaxy->setObjectName(QStringLiteral("LblEpitaxy"));
    c.LblSymmetryNote = b.label(QString());
    c.LblSymmetryNote->setObjectName(QStringLiteral("LblSymmetryNote"));
    for (QLabel* l : {c.LblMatrix, c.LblEpitaxy, c.LblSymmetryNote}) {
        l->setTextInteractionFlags(Qt::TextSelectableByMouse);
    }
    c.LblSymmetryNote->hide();
    grid->addWidget(c.LblMatrix, 5, 0, 1, 5);
    grid->addWidget(c.LblEpitaxy, 6, 0, 1, 5);
    grid->addWidget(c.LblSymmetryNote, 7, 0, 1, 5);
    c.cmdBuildModel = b.button("cmdBuildModel", QStringLiteral("Build model…"));
    c.cmdBuildModel->setToolTip(QStringLiteral(
        "The solution as atoms: the substrate's plane with the overlayer on top, for DFT"));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(c.cmdBuildModel);
    buttons->addStretch();
    buttons->addWidget(c.Command1);
    buttons->addWidget(c.Command4);
    grid->addLayout(buttons, 8, 0, 1, 5);
    grid->setColumnMinimumWidth(0, 16);
    return box;
}

QGroupBox* displayBox(MainFormControls& c, QWidget* parent) {
    auto* box = new QGroupBox(QStringLiteral("Display Options"), parent);
    const Builder b{box};
    c.GraphShow = b.toggle("GraphShow", ":/icons/graph.svg", QStringLiteral("Show/Hide G&raph"));
    c.GridShow = b.toggle("GridShow", ":/icons/grid.svg", QStringLiteral("Show/Hide I&teration"));
    c.imgHisto =
        b.toggle("imgHisto", ":/icons/histogram.svg", QStringLiteral("Show/Hide Histogra&m"));
    c.Shape1 = new CoverShape(c.GraphShow);
    c.Shape1->setObjectName(QStringLiteral("Shape1"));
    c.Shape2 = new CoverShape(c.imgHisto);
    c.Shape2->setObjectName(QStringLiteral("Shape2"));

    c.cmdRealSpace = b.button("cmdRealSpace", QStringLiteral("Real space…"));
    c.cmdRealSpace->setToolTip(
        QStringLiteral("The overlayer on the substrate at the best orientation of the last run"));
    c.cmdLeed = b.button("cmdLeed", QStringLiteral("LEED pattern…"));
    c.cmdLeed->setToolTip(QStringLiteral(
        "The LEED pattern at the best orientation of the last run, with every domain"));

    auto* grid = new QGridLayout(box);
    grid->addWidget(b.label(QStringLiteral("No Iteration")), 0, 0, Qt::AlignHCenter);
    grid->addWidget(b.label(QStringLiteral("Iteration")), 0, 1, 1, 2, Qt::AlignHCenter);
    grid->addWidget(c.GraphShow, 1, 0);
    grid->addWidget(c.GridShow, 1, 1);
    grid->addWidget(c.imgHisto, 1, 2);
    auto* views = new QHBoxLayout;
    views->addWidget(c.cmdRealSpace);
    views->addWidget(c.cmdLeed);
    views->addStretch();
    grid->addLayout(views, 2, 0, 1, 3);
    return box;
}

QGroupBox* databaseBox(MainFormControls& c, QWidget* parent) {
    auto* box = new QGroupBox(QStringLiteral("Structure database"), parent);
    const Builder b{box};
    c.FileOpen = b.image("FileOpen", ":/icons/database.svg",
                         QStringLiteral("Click to open structure database"));
    c.FileOpen->setIconSize(QSize(28, 28));
    c.FileOpened = b.label(QString());
    c.FileOpened->setObjectName(QStringLiteral("FileOpened"));
    c.FileOpened->setPixmap(QIcon(QStringLiteral(":/icons/database_open.svg")).pixmap(28, 28));
    c.FileOpenCaption = b.label(QStringLiteral("Click to open structure database"));
    c.FileOpenCaption->setObjectName(QStringLiteral("FileOpenCaption"));
    c.cmdNewDatabase = new QToolButton(box);
    c.cmdNewDatabase->setObjectName(QStringLiteral("cmdNewDatabase"));
    c.cmdNewDatabase->setText(QStringLiteral("New data&base…"));
    c.cmdNewDatabase->setToolTip(QStringLiteral("Create an empty structure database"));
    auto* row = new QHBoxLayout(box);
    row->addWidget(c.FileOpen);
    row->addWidget(c.FileOpened);
    row->addWidget(c.FileOpenCaption);
    row->addStretch();
    row->addWidget(c.cmdNewDatabase);
    return box;
}

void buildMenus(MainFormControls& c, QMainWindow* window) {
    QMenuBar* bar = window->menuBar();
    QMenu* file = bar->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("mnuFile"));
    const auto item = [window](QMenu* menu, const char* name, const QString& text) {
        QAction* a = menu->addAction(text);
        a->setObjectName(QString::fromLatin1(name));
        window->addAction(a);  // keeps the shortcut alive while the menu is closed
        return a;
    };
    c.mnuNewDatabase = item(file, "mnuNewDatabase", QStringLiteral("&New database…"));
    file->addSeparator();
    c.mnuSave = item(file, "mnuSave", QStringLiteral("&Save"));
    c.mnuPrint = item(file, "mnuPrint", QStringLiteral("&Print"));
    c.mnuSepBar1 = file->addSeparator();
    c.mnuSepBar1->setObjectName(QStringLiteral("mnuSepBar1"));
    c.mnuExit = item(file, "mnuExit", QStringLiteral("E&xit Lamivex"));
    c.mnuQuit = item(file, "mnuQuit", QStringLiteral("&Quit"));
    QMenu* help = bar->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("mnuHelp"));
    c.mnuContents = item(help, "mnuContents", QStringLiteral("&Contents"));
}

}  // namespace

MainFormControls buildMainFormControls(QMainWindow* window) {
    loadIcons();
    MainFormControls c;
    auto* central = new QWidget(window);
    window->setCentralWidget(central);

    auto* title = new QLabel(QStringLiteral("Epitaxy Calculation Program"), central);
    QFont titleFont = title->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.5);
    titleFont.setBold(true);
    title->setFont(titleFont);
    title->setAlignment(Qt::AlignCenter);

    // Created in reading order, which is also the order Tab follows.
    QGroupBox* substrate = substrateBox(c, central);
    QGroupBox* overlayer = overlayerBox(c, central);
    QGroupBox* azimuth = azimuthBox(c, central);
    QGroupBox* calculations = calculationsBox(c, central);
    QGroupBox* results = resultsBox(c, central);
    QGroupBox* display = displayBox(c, central);
    QGroupBox* database = databaseBox(c, central);
    c.Exit = Builder{central}.button("Exit", QStringLiteral("E&xit"));
    c.Exit->setMinimumWidth(96);

    auto* grid = new QGridLayout(central);
    grid->addWidget(title, 0, 0, 1, 2);
    grid->addWidget(substrate, 1, 0);
    grid->addWidget(overlayer, 1, 1);
    grid->addWidget(azimuth, 2, 0);
    grid->addWidget(calculations, 2, 1);
    grid->addWidget(results, 3, 0, 2, 1);
    grid->addWidget(display, 3, 1);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(database, 1);
    bottom->addWidget(c.Exit, 0, Qt::AlignBottom);
    grid->addLayout(bottom, 4, 1);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);

    buildMenus(c, window);

    // Tab reads the window as a page: the substrate block, the overlayer block, then the
    // frames below them row by row; inside a frame its controls in reading order.
    QWidget* const order[] = {c.SubName,    c.Image1,        c.Image3,          c.a1,
                              c.a2,         c.alpha,         c.hexagonal,       c.nonhexagonal,
                              c.Command2,   c.Command7,      c.cmdSubstrateCif, c.cmdScreen,
                              c.OverName,   c.Image2,        c.Image4,          c.b1,
                              c.b2,         c.beta,          c.b1size,          c.b2size,
                              c.Command3,   c.Command8,      c.cmdFromMatrix,   c.cmdOverlayerCif,
                              c.Lowerangle, c.Upperangle,    c.AngleSpacing,    c.Calculate,
                              c.Option1,    c.Option2,       c.Check1,          c.chkgeo,
                              c.txtUplim,   c.cmdBuildModel, c.Command1,        c.Command4,
                              c.GraphShow,  c.GridShow,      c.imgHisto,        c.cmdRealSpace,
                              c.cmdLeed,    c.FileOpen,      c.cmdNewDatabase,  c.Exit};
    for (std::size_t i = 0; i + 1 < std::size(order); ++i) {
        QWidget::setTabOrder(order[i], order[i + 1]);
    }
    checkFieldsBeforeAccessKeys(window);
    tabToCheckedOptions(window);
    return c;
}

}  // namespace lamivex::app
