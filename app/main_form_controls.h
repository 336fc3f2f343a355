#pragma once
// The controls of the main window under their object names, and the layout that places
// them. The window's behaviour lives in MainForm, RotationRun and FieldRules.

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>

#include "app/cover_shape.h"
#include "app/field_rules.h"

class QMainWindow;

namespace lamivex::app {

struct MainFormControls {
    // Substrate
    EntryField* SubName = nullptr;
    EntryField* a1 = nullptr;
    EntryField* a2 = nullptr;
    EntryField* alpha = nullptr;
    QRadioButton* hexagonal = nullptr;
    QRadioButton* nonhexagonal = nullptr;
    QToolButton* Image1 = nullptr;  // substrate picker
    QToolButton* Image3 = nullptr;  // substrate comments
    QPushButton* Command2 = nullptr;
    QPushButton* Command7 = nullptr;
    // Overlayer
    EntryField* OverName = nullptr;
    EntryField* b1 = nullptr;
    EntryField* b2 = nullptr;
    EntryField* beta = nullptr;
    QToolButton* Image2 = nullptr;  // overlayer picker
    QToolButton* Image4 = nullptr;  // overlayer comments
    QPushButton* Command3 = nullptr;
    QPushButton* Command8 = nullptr;
    QPushButton* cmdFromMatrix = nullptr;    // "From matrix…": b1, b2, beta from a matrix
    QPushButton* cmdSubstrateCif = nullptr;  // "From crystal file…": a surface mesh
    QPushButton* cmdScreen = nullptr;        // "Screen substrates…"
    QPushButton* cmdOverlayerCif = nullptr;
    EntryField* b1size = nullptr;
    EntryField* b2size = nullptr;
    // Azimuth rotation range
    EntryField* Lowerangle = nullptr;
    EntryField* Upperangle = nullptr;
    EntryField* AngleSpacing = nullptr;
    // Calculations
    QPushButton* Calculate = nullptr;
    QRadioButton* Option1 = nullptr;
    QRadioButton* Option2 = nullptr;
    QCheckBox* Check1 = nullptr;
    QCheckBox* chkgeo = nullptr;
    EntryField* txtUplim = nullptr;
    // Results
    QLabel* Angleanswer = nullptr;
    QLabel* pxanswer = nullptr;  // m11
    QLabel* qyanswer = nullptr;  // m12
    QLabel* qxanswer = nullptr;  // m21
    QLabel* pyanswer = nullptr;  // m22
    QLabel* VVo = nullptr;
    // Below the Results frame's own controls: what the best orientation means.
    QLabel* LblMatrix = nullptr;        // the matrix in plain decimals
    QLabel* LblEpitaxy = nullptr;       // type, Wood notation, misfit
    QLabel* LblSymmetryNote = nullptr;  // a note on the substrate symmetry, when there is one
    QPushButton* Command1 = nullptr;    // Save
    QPushButton* Command4 = nullptr;    // Print
    // Display Options
    QToolButton* GraphShow = nullptr;
    QToolButton* GridShow = nullptr;
    QToolButton* imgHisto = nullptr;
    CoverShape* Shape1 = nullptr;         // over GraphShow
    CoverShape* Shape2 = nullptr;         // over imgHisto
    QPushButton* cmdRealSpace = nullptr;  // the views of the last completed run
    QPushButton* cmdLeed = nullptr;
    QPushButton* cmdBuildModel = nullptr;  // "Build model…" of the last completed run
    // Structure database
    QToolButton* FileOpen = nullptr;
    QLabel* FileOpenCaption = nullptr;  // "Click to open structure database"
    QLabel* FileOpened = nullptr;
    QToolButton* cmdNewDatabase = nullptr;  // "New database…"
    QPushButton* Exit = nullptr;
    // Menus
    QAction* mnuNewDatabase = nullptr;
    QAction* mnuSave = nullptr;
    QAction* mnuPrint = nullptr;
    QAction* mnuSepBar1 = nullptr;
    QAction* mnuExit = nullptr;
    QAction* mnuQuit = nullptr;
    QAction* mnuContents = nullptr;
};

// Creates every control, its caption and the menus inside window.
[[nodiscard]] MainFormControls buildMainFormControls(QMainWindow* window);

}  // namespace lamivex::app
