#include "gui/MainForm.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPainter>
#include <QStatusBar>
#include <QStyle>
#include <QSignalBlocker>
#include <QTimer>
#include <QToolBar>

#include "app/CommandState.h"
#include "app/ProjectFile.h"
#include "app/TUnitFract.h"
#include "common/Assert.h"
#include "common/Version.h"
#include "gui/Cursors.h"
#include "gui/MainWorkspace.h"
#include "gui/PipetBox.h"
#include "gui/QtInteraction.h"
#include "gui/ResultWindow.h"
#include "gui/ViewResult.h"

namespace {

QString Text(std::string_view text) { return QString::fromUtf8(text.data(), text.size()); }

// The program's title, "Korvana 2.1".
QString Title() { return Text(korvana::kProgramName) + " " + Text(korvana::kVersionText); }

// A small house for Home: the style's home icon is a folder in several styles.
QIcon HomeIcon(const QColor& color) {
  QPixmap pixmap(24, 24);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(QPen(color, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  const QPointF roof[] = {{3, 12}, {12, 4}, {21, 12}};
  painter.drawPolyline(roof, 3);
  painter.drawRect(QRectF(6.5, 11, 11, 9));
  painter.drawRect(QRectF(10.5, 15, 3, 5));
  return QIcon(pixmap);
}

constexpr int kStatusWidths[5] = {300, 160, 75, 70, 45};
constexpr const char* kStatusNames[5] = {"Plane point", "Sample type", "Sample depth",
                                         "Sample cycle", "Document state"};

}  // namespace

TMainForm::TMainForm(Interaction* ui) {
#ifdef KORVANA_GUI_RESOURCES
  Q_INIT_RESOURCE(korvana);  // the resources live in a static library
#endif
  if (!ui) ownUi_ = std::make_unique<QtInteraction>(this);
  ui_ = ui ? ui : ownUi_.get();
  workspace_ = std::make_unique<TMainWorkspace>(*this);
  korvana::SetCheckInteraction(ui_);
  execDialog = [](QDialog& dialog) { return dialog.exec(); };
  editNewProperties = [this](TMDIChildResult& window) { return EditNewProperties(window); };

  setWindowTitle(Title());
  setWindowIcon(KorvanaAppIcon());
  setObjectName("MainForm");
  mdiArea_ = new QMdiArea(this);
  mdiArea_->setAccessibleName("Fractal windows");
  setCentralWidget(mdiArea_);
  connect(mdiArea_, &QMdiArea::subWindowActivated, this, [this] { UpdateCommandStates(); });

  CreateActions();
  CreateMenus();
  CreateToolBar();
  CreateStatusBar();
  resize(1014, 457);
  UpdateCommandStates();
}

TMainForm::~TMainForm() {
  // Windows stop their computations before the interaction and the frame go; the frame's
  // command states are not updated any more while it is taken down.
  mdiArea_->disconnect(this);
  for (QMdiSubWindow* window : mdiArea_->subWindowList()) delete window;
  korvana::SetCheckInteraction(nullptr);
}

QAction* TMainForm::AddAction(const std::string& name, const QString& caption,
                              const QKeySequence& shortcut, void (TMainForm::*slot)()) {
  auto* action = new QAction(caption, this);
  action->setObjectName(QString::fromStdString(name));
  action->setShortcut(shortcut);
  const QString plain = QString(caption).remove('&').remove("...");
  action->setIconText(plain);
  action->setToolTip(plain);
  action->setStatusTip(plain);
  action->setIcon(KorvanaActionIcon(QString::fromStdString(name)));
  if (slot) connect(action, &QAction::triggered, this, slot);
  addAction(action);  // shortcuts work even where the action is in no visible menu
  actions_[name] = action;
  return action;
}

QAction* TMainForm::Action(const std::string& name) const {
  const auto found = actions_.find(name);
  KORVANA_ASSERT(found != actions_.end());
  return found->second;
}

void TMainForm::CreateActions() {
  AddAction("FileNewFract", "&New fractal...", QKeySequence("Ctrl+N"), &TMainForm::FileNewFract);
  AddAction("FileOpenFract", "&Open fractal...", QKeySequence("Ctrl+O"), &TMainForm::FileOpenFract);
  AddAction("DuplicateFract", "&Duplicate", QKeySequence("D"), &TMainForm::DuplicateFract);
  AddAction("FileClose", "&Close", {}, nullptr);
  // The current window, not the active one: the active one is none while another top-level
  // window (a dialog, or no window manager at all) has the focus.
  connect(Action("FileClose"), &QAction::triggered, this, [this] {
    if (QMdiSubWindow* window = mdiArea_->currentSubWindow()) window->close();
  });
  AddAction("FileSave", "&Save", QKeySequence("Ctrl+S"), &TMainForm::FileSave);
  AddAction("FileSaveAs", "Save &As...", QKeySequence("Ctrl+A"), &TMainForm::FileSaveAs);
  AddAction("FileRevert", "&Revert", QKeySequence("Ctrl+Shift+R"), &TMainForm::FileRevert);
  AddAction("actFileExportBitmap", "Export to Bitmap File...", {}, &TMainForm::ExportBitmap);
  Action("actFileExportBitmap")->setIconText("Export to Bitmap File");
  AddAction("actFileExportAtSize", "Export at &Size...", {}, &TMainForm::ExportAtSizeCommand);
  AddAction("FileExit", "E&xit", {}, nullptr);
  connect(Action("FileExit"), &QAction::triggered, this, &QWidget::close);

  const struct {
    const char* name;
    const char* menuCaption;
    const char* caption;
    const char* shortcut;
  } projects[] = {{"ProjectNew", "&New...", "New Project...", "Shift+Alt+N"},
                  {"ProjectOpen", "&Open...", "Open Project...", "Shift+Alt+O"},
                  {"ProjectClose", "&Close", "Close Project", "Shift+Alt+C"},
                  {"ProjectSave", "&Save", "Save Project", "Shift+S"},
                  {"ProjectExport", "&Export...", "Export Project", "Shift+E"}};
  void (TMainForm::*commands[])() = {&TMainForm::ProjectNewCommand, &TMainForm::ProjectOpenCommand,
                                      &TMainForm::ProjectCloseCommand, &TMainForm::ProjectSaveCommand,
                                      &TMainForm::ProjectExportCommand};
  for (int i = 0; i < 5; ++i) {
    const auto& p = projects[i];
    AddAction(p.name, p.menuCaption, QKeySequence(p.shortcut), commands[i])->setIconText(p.caption);
  }

  AddAction("actFractProps", "Fractal Properties...", QKeySequence("F"),
            &TMainForm::FractalPropertiesCommand);
  AddAction("actBitmapsProps", "Bitmap Properties...", {}, &TMainForm::BitmapPropertiesCommand);
  AddAction("AddNextPoints", "&Add Next Points", QKeySequence("Alt+W"),
            &TMainForm::AddNextPointsCommand);
  AddAction("GroupAsPolynoom", "Group as Polynoom", QKeySequence("Alt+P"),
            &TMainForm::GroupAsPolynoomCommand);
  AddAction("RemovePoints", "&Remove Points", QKeySequence("Alt+Del"),
            &TMainForm::RemovePointsCommand);
  AddAction("actGrid", "Grid", QKeySequence("G"), &TMainForm::GridCommand);
  CreateModeActions();

  AddAction("WindowCascade", "&Cascade", QKeySequence("Shift+F5"), nullptr);
  connect(Action("WindowCascade"), &QAction::triggered, mdiArea_, &QMdiArea::cascadeSubWindows);
  AddAction("WindowTileHorizontal", "Tile &Horizontally", QKeySequence("F4"), nullptr);
  connect(Action("WindowTileHorizontal"), &QAction::triggered, this, [this] { TileWindows(true); });
  AddAction("WindowTileVertical", "Tile &Vertically", QKeySequence("Shift+F4"), nullptr);
  connect(Action("WindowTileVertical"), &QAction::triggered, this, [this] { TileWindows(false); });
  AddAction("WindowMinimizeAll", "&Minimize All", {}, nullptr);
  connect(Action("WindowMinimizeAll"), &QAction::triggered, this, [this] {
    for (QMdiSubWindow* window : mdiArea_->subWindowList()) window->showMinimized();
  });
  AddAction("WindowArrangeAll", "&Arrange All", {}, nullptr);
  connect(Action("WindowArrangeAll"), &QAction::triggered, this, [this] { ArrangeMinimized(); });
  AddAction("HelpAbout", "&About...", QKeySequence("Alt+F1"), &TMainForm::ShowAbout);
  AddAction("HelpContents", "Korvana &Help", QKeySequence("F1"), nullptr);
  connect(Action("HelpContents"), &QAction::triggered, this, [this] { ShowHelp(); });
  // keyD: the D key reaches Duplicate through DuplicateFract's own shortcut; a second action
  // with the same key would make Qt treat the key as ambiguous and run neither.
  AddAction("keyD", "keyD", {}, &TMainForm::DuplicateFract);
}

void TMainForm::CreateModeActions() {
  const struct {
    const char* name;
    const char* caption;
    const char* shortcut;
    std::uint8_t mode;
  } modes[] = {{"ZoomIn", "&Zoom in", "Z", 1},
               {"ZoomOut", "Zoom &out", "Shift+Z", 2},
               {"DrawPoints", "&Add Points", "Alt+D", 3},
               {"CreateJuliaFromMandelbrot", "Create &Julia from Mandelbrot", "J", 4},
               {"actPipet", "Pipet", "", 5}};
  for (const auto& m : modes) {
    QAction* action = AddAction(m.name, m.caption, QKeySequence(m.shortcut), nullptr);
    action->setCheckable(true);
    const std::uint8_t mode = m.mode;
    // Toggled, not triggered: assistive technology toggles a tool button without clicking it.
    connect(action, &QAction::toggled, this, [this, mode] { SetActiveMouseMode(mode); });
  }
  const struct {
    const char* name;
    const char* caption;
    const char* shortcut;
    void (TMDIChildResult::*step)();
    QStyle::StandardPixmap icon;
  } steps[] = {{"NavigateBack", "&Back", "Alt+Left", &TMDIChildResult::GoBack, QStyle::SP_ArrowBack},
               {"NavigateForward", "&Forward", "Alt+Right", &TMDIChildResult::GoForward,
                QStyle::SP_ArrowForward},
               {"NavigateHome", "&Home", "Alt+Home", &TMDIChildResult::GoHome, QStyle::SP_DirHomeIcon}};
  for (const auto& s : steps) {
    QAction* action = AddAction(s.name, s.caption, QKeySequence(s.shortcut), nullptr);
    action->setIcon(s.icon == QStyle::SP_DirHomeIcon ? HomeIcon(palette().color(QPalette::Text))
                                                     : style()->standardIcon(s.icon));
    const auto step = s.step;
    connect(action, &QAction::triggered, this,
            [this, step] { OnActive([step](TMDIChildResult& window) { (window.*step)(); }); });
  }
  QAction* grouping = Action("GroupAsPolynoom");
  grouping->setCheckable(true);
  disconnect(grouping, &QAction::triggered, this, nullptr);
  connect(grouping, &QAction::toggled, this, &TMainForm::GroupAsPolynoomCommand);
  const struct {
    const char* name;
    const char* caption;
    std::uint8_t mode;
  } views[] = {{"actViewModeFract", "View Mode Fractal Result", 0},
               {"actViewModeBitmapTrans", "View Mode Bitmap Transformations", 1}};
  for (const auto& v : views) {
    QAction* action = AddAction(v.name, v.caption, {}, nullptr);
    action->setCheckable(true);
    action->setVisible(false);
    const std::uint8_t mode = v.mode;
    connect(action, &QAction::toggled, this, [this, mode] { SetActiveViewMode(mode); });
  }
}

void TMainForm::CreateMenus() {
  QMenu* file = menuBar()->addMenu("&File");
  for (const char* name : {"FileNewFract", "FileOpenFract", "DuplicateFract", "FileClose",
                           "FileSave", "FileSaveAs", "actFileExportBitmap", "actFileExportAtSize"}) {
    file->addAction(Action(name));
  }
  file->addSeparator();
  file->addAction(Action("FileExit"));

  QMenu* project = menuBar()->addMenu("&Project");
  for (const char* name : {"ProjectNew", "ProjectOpen", "ProjectClose", "ProjectSave", "ProjectExport"}) {
    project->addAction(Action(name));
  }
  project->menuAction()->setVisible(false);  // the commands work through their shortcuts

  fractalMenu_ = menuBar()->addMenu("F&ractal");
  for (const char* name : {"actFractProps", "actBitmapsProps", "actGrid"}) {
    fractalMenu_->addAction(Action(name));
  }
  fractalMenu_->addSeparator();
  for (const char* name : {"AddNextPoints", "GroupAsPolynoom", "RemovePoints"}) {
    fractalMenu_->addAction(Action(name));
  }
  modeMenu_ = menuBar()->addMenu("&Mode");
  for (const char* name : {"ZoomIn", "ZoomOut", "DrawPoints", "CreateJuliaFromMandelbrot",
                           "actPipet", "actViewModeFract", "actViewModeBitmapTrans"}) {
    modeMenu_->addAction(Action(name));
  }
  modeMenu_->addSeparator();
  for (const char* name : {"NavigateBack", "NavigateForward", "NavigateHome"}) {
    modeMenu_->addAction(Action(name));
  }
  windowMenu_ = menuBar()->addMenu("&Window");
  connect(windowMenu_, &QMenu::aboutToShow, this, [this] {
    windowMenu_->clear();
    for (const char* name : {"WindowCascade", "WindowTileHorizontal", "WindowTileVertical",
                             "WindowMinimizeAll", "WindowArrangeAll"}) {
      windowMenu_->addAction(Action(name));
    }
    const QList<QMdiSubWindow*> windows = mdiArea_->subWindowList();
    if (!windows.isEmpty()) windowMenu_->addSeparator();
    int number = 0;
    for (QMdiSubWindow* window : windows) {
      QAction* entry = windowMenu_->addAction(
          QString("&%1 %2").arg(++number).arg(window->windowTitle()),
          [this, window] { mdiArea_->setActiveSubWindow(window); });
      entry->setCheckable(true);
      entry->setChecked(window == mdiArea_->currentSubWindow());
    }
  });
  QMenu* help = menuBar()->addMenu("&Help");
  help->addAction(Action("HelpContents"));
  help->addAction(Action("HelpAbout"));
}

void TMainForm::CreateToolBar() {
  QToolBar* bar = addToolBar("Tools");
  bar->setObjectName("ToolBar");
  bar->setAccessibleName("Tool bar");
  bar->setIconSize(QSize(24, 24));
  const char* groups[][6] = {{"FileNewFract", "FileOpenFract", nullptr},
                             {"FileSave", "FileSaveAs", nullptr},
                             {"actFileExportBitmap", nullptr},
                             {"DuplicateFract", nullptr},
                             {"CreateJuliaFromMandelbrot", "actPipet", nullptr},
                             {"actFractProps", "actBitmapsProps", "actGrid", nullptr},
                             {"ZoomIn", "ZoomOut", "NavigateBack", "NavigateForward",
                              "NavigateHome", nullptr}};
  bool first = true;
  for (const auto& group : groups) {
    if (!first) bar->addSeparator();
    first = false;
    for (const char* const* name = group; *name; ++name) bar->addAction(Action(*name));
    if (group[0] == std::string("CreateJuliaFromMandelbrot")) {
      pipetBox_ = new TPipetBox(bar);
      bar->addWidget(pipetBox_);
    }
  }
  bar->addSeparator();
  for (const char* name : {"DrawPoints", "AddNextPoints", "GroupAsPolynoom", "RemovePoints"}) {
    bar->addAction(Action(name));
  }
}

void TMainForm::CreateStatusBar() {
  for (int i = 0; i < 5; ++i) {
    statusPanels_[i] = new QLabel(this);
    statusPanels_[i]->setFixedWidth(kStatusWidths[i]);
    statusPanels_[i]->setAccessibleName(kStatusNames[i]);
    statusPanels_[i]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    statusBar()->addPermanentWidget(statusPanels_[i]);
  }
}

QLabel* TMainForm::StatusPanel(int panel) const { return statusPanels_[panel]; }

void TMainForm::SetStatusPanel(int panel, const std::string& text) {
  // The panel's name says what it is ("Document state"); assistive technology reads the text
  // from its description.
  statusPanels_[panel]->setText(QString::fromStdString(text));
  statusPanels_[panel]->setAccessibleDescription(QString::fromStdString(text));
}

TMDIChildResult* TMainForm::ActiveFractalWindow() const {
  return dynamic_cast<TMDIChildResult*>(mdiArea_->currentSubWindow());
}

void TMainForm::UpdateCommandStates() {
  TMDIChildResult* window = ActiveFractalWindow();
  ActiveWindowState state;
  if (window) {
    const TUnitFract& document = window->Document();
    state.fractalWindow = true;
    state.documentIsNew = document.IsNew();
    state.documentNeedsSave = document.NeedsSave();
    state.mouseMode = window->MouseMode;
    state.viewMode = window->View().ViewMode();
    state.pointsGrouping = window->View().PointsGrouping;
    state.canGoBack = window->History().CanGoBack();
    state.canGoForward = window->History().CanGoForward();
    state.canGoHome = window->History().CanGoHome();
  }
  state.projectOpen = !projectFile_.empty();
  const CommandStates states = ComputeCommandStates(state);
  for (const CommandState& command : states.commands) {
    QAction* action = Action(command.action);
    action->setEnabled(command.enabled);
    const QSignalBlocker quiet(action);  // ticks follow the window; they run no command
    action->setChecked(command.checked);
    action->setVisible(command.visible);
  }
  for (QMenu* menu : {fractalMenu_, modeMenu_, windowMenu_}) {
    menu->menuAction()->setVisible(states.fractalMenusVisible);
  }
  if (window) {
    SetStatusPanel(4, window->Document().StatusText());
  } else {
    for (int i = 0; i < 5; ++i) SetStatusPanel(i, "");
  }
}

void TMainForm::BeginWait() {
  KORVANA_ASSERT(!waiting_ && "SavedCursor == crDefault");
  waiting_ = true;
  QApplication::setOverrideCursor(Qt::WaitCursor);
}

void TMainForm::EndWait() {
  if (!waiting_) return;
  waiting_ = false;
  QApplication::restoreOverrideCursor();
}

void TMainForm::SetPipetColor(std::uint32_t color) {
  pipetColor_ = color & 0xFFFFFF;
  pipetBox_->SetColor(pipetColor_);
}

void TMainForm::ShowComputationError(const std::string& error) {
  ui_->ShowMessage("Error", error, Interaction::Icon::Error);
}

void TMainForm::ComputationFinished(TMDIChildResult& window) {
  const std::string error = window.Document().Computation.LastError();
  if (!error.empty()) ShowComputationError(error);
}

void TMainForm::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (commandLineHandled_) return;
  commandLineHandled_ = true;
  if (!commandLine_.empty()) {
    // After the window is on screen, so messages have their parent.
    QTimer::singleShot(0, this, [this] { OpenCommandLine(commandLine_); });
  }
}

void TMainForm::closeEvent(QCloseEvent* event) {
  // With a project open everything is kept in the project, without questions.
  const bool saved = SaveProject(*workspace_, projectFile_, false, *ui_);
  if (saved && CloseAllWindows()) {
    event->accept();
  } else {
    event->ignore();
  }
}
