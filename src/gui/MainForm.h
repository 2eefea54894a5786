#pragma once

#include <QMainWindow>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "app/BusyIndicator.h"
#include "common/Interaction.h"

class QAction;
class QDialog;
class QLabel;
class QMdiArea;
class QMenu;
class TMDIChildResult;
class TPipetBox;
class THelpWindow;
struct TFractalContent;
class TUnitFract;
class TMainWorkspace;

// The main window: the frame of the fractal windows, the command set with its menus, tool bar and
// shortcuts, the status bar, the pipette colour, the counter that names new documents and the wait
// cursor. Commands act on the active fractal window; their handlers live in commands/, one file
// per menu area. Every message and file dialog goes through the interaction given at creation.
class TMainForm : public QMainWindow, public BusyIndicator {
  Q_OBJECT
 public:
  // ui: the interaction to use (not owned; nullptr: Qt message boxes and file dialogs).
  explicit TMainForm(Interaction* ui = nullptr);
  ~TMainForm() override;

  Interaction& Ui() { return *ui_; }

  // Wait cursor; nesting is a programming error.
  void BeginWait() override;
  void EndWait() override;
  bool Waiting() const { return waiting_; }

  QAction* Action(const std::string& name) const;
  QMdiArea& MdiArea() const { return *mdiArea_; }
  // The active child when it is a fractal window, else nullptr.
  TMDIChildResult* ActiveFractalWindow() const;
  // Status bar panels 0 to 4 (QLabels).
  QLabel* StatusPanel(int panel) const;
  void SetStatusPanel(int panel, const std::string& text);

  // Applies the command states of the active window to the actions, menus and status bar.
  void UpdateCommandStates();

  std::uint32_t GetPipetColor() const { return pipetColor_; }
  void SetPipetColor(std::uint32_t color);

  // Worker threads per computation (0: all hardware threads).
  int Threads() const { return threads_; }
  void SetThreads(int threads) { threads_ = threads; }
  int NoNameCounter = 0;

  // Runs a modal dialog (tests replace it so nothing blocks); returns QDialog::exec's result.
  std::function<int(QDialog&)> execDialog;
  // Edits the properties of a new document's window before its first computation; false is
  // Cancel. The default is EditNewProperties (tests replace it).
  std::function<bool(TMDIChildResult&)> editNewProperties;

  // File commands.
  void FileNewFract();
  void FileOpenFract();
  // Opens one fractal file in a new window; false (message shown, no window) when it cannot be read.
  bool OpenFractFile(const std::string& file);
  // A new window on the document read from readFrom whose file is `file` (a project's copy of
  // unsaved changes is read from elsewhere), computing; TrackChanges stays false. nullptr (message
  // shown, no window) when it cannot be read.
  TMDIChildResult* OpenDocumentWindow(const std::string& file, const std::string& readFrom);
  void DuplicateFract();
  void FileSave();
  void FileSaveAs();
  void FileRevert();
  void ExportBitmap();
  // "Export at Size...": asks for the size and the file, then ExportAtSize.
  void ExportAtSizeCommand();
  // Renders a copy of content at width x height pixels (supersample samples per pixel side) into
  // file on a worker thread with a progress dialog; false when it failed (message shown) or was
  // cancelled.
  bool ExportAtSize(const TFractalContent& content, int width, int height, int supersample,
                    const std::string& file);
  // Handles the first command-line argument (a .kvf document or .orp project).
  void OpenCommandLine(const std::string& argument);
  // The argument handled when the window is first shown ("" for none).
  void SetCommandLine(std::string argument) { commandLine_ = std::move(argument); }

  // The close query of a fractal window's document: true when the window may close.
  bool QueryCloseFract(TUnitFract& document);
  // Closes every window: with a project open without asking, else through each close query;
  // false when one was cancelled (windows closed so far stay closed).
  bool CloseAllWindows();

  // Project commands (commands/ProjectCommands.cpp) and the open project ("" for none).
  void ProjectNewCommand();
  void ProjectOpenCommand();
  void ProjectCloseCommand();
  void ProjectSaveCommand();
  void ProjectExportCommand();
  // Opens a project into the workspace (which should be empty) and makes it the open project.
  bool OpenProjectFile(const std::string& file);
  // The main caption: "Korvana 2.1", followed by " - " + the project's path when one is open.
  void SetProjectCaption(const std::string& file);
  const std::string& ProjectFile() const { return projectFile_; }

  // Fractal and mode commands.
  void NewJuliaFractal(const TFractalContent& clicked, double re, double im);
  void SetActiveMouseMode(std::uint8_t mode);
  void SetActiveViewMode(std::uint8_t mode);
  void ShowAbout();
  // The built-in help at a section ("" for the top): "documents", "mouse", "properties",
  // "palette", "bitmaps", "projects", "windows", "commandline".
  void ShowHelp(const std::string& section = "");
  THelpWindow* HelpWindow() const { return help_; }

  // Properties commands (commands/PropertiesCommands.cpp): the fractal properties dialog on the
  // active window, and on a new document's window.
  void FractalPropertiesCommand();
  bool EditNewProperties(TMDIChildResult& window);

  // Study commands (commands/StudyCommands.cpp): bitmaps dialog, grid, orbit points.
  void BitmapPropertiesCommand();
  void GridCommand();
  void AddNextPointsCommand();
  void GroupAsPolynoomCommand();
  void RemovePointsCommand();

  // Called by views.
  void ShowComputationError(const std::string& error);
  void ComputationFinished(TMDIChildResult& window);

 protected:
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  QAction* AddAction(const std::string& name, const QString& caption,
                     const QKeySequence& shortcut, void (TMainForm::*slot)());
  void CreateActions();
  void CreateModeActions();
  void CreateMenus();
  void CreateToolBar();
  void CreateStatusBar();
  // A new window for the document; its view computes the content.
  TMDIChildResult* CreateResultWindow(std::unique_ptr<TUnitFract> document);
  // A new "NONAME" document from copies of content, computed at once.
  void NewDocumentFrom(const TFractalContent& content);
  // Runs fn on the active fractal window's document, when there is one.
  void OnActive(const std::function<void(TMDIChildResult&)>& command);
  void TileWindows(bool horizontally);
  void ArrangeMinimized();

  std::unique_ptr<Interaction> ownUi_;
  std::unique_ptr<TMainWorkspace> workspace_;
  std::string projectFile_;
  Interaction* ui_;
  QMdiArea* mdiArea_ = nullptr;
  std::map<std::string, QAction*> actions_;
  QMenu* fractalMenu_ = nullptr;
  QMenu* modeMenu_ = nullptr;
  QMenu* windowMenu_ = nullptr;
  QLabel* statusPanels_[5] = {};
  TPipetBox* pipetBox_ = nullptr;
  THelpWindow* help_ = nullptr;
  std::uint32_t pipetColor_ = 0;
  int threads_ = 0;
  bool waiting_ = false;
  bool commandLineHandled_ = false;
  std::string commandLine_;
};
