#pragma once

#include <memory>
#include <string>

#include "app/Workspace.h"

class Interaction;
class TDTDCompound;
class TXMLComplexElement;
class TXMLItem;

// Project files (.orp): the main window's geometry, the counter of new document names and every
// open window with its document's file, name and geometry. Documents that need saving (all of
// them when exporting) are written as numbered copies into the folder B + "TempSaveFiles" beside
// the project file B.X, so a project keeps unsaved work without asking.

const TDTDCompound& ProjectGrammar();

// The copies' folder and names for project file `project` (absolute, "/" separated).
std::string ProjectCopyFolder(const std::string& project);
std::string NewCopyName(const std::string& project, int number, const std::string& extension = ".wav");
std::string SavedCopyName(const std::string& project, int number, const std::string& extension = ".wav");

// The project tree: Version, NoNameCounter, Frame and one Window per open window, bottom to top.
// Exporting leaves out the documents' File elements.
std::unique_ptr<TXMLComplexElement> BuildProjectXML(Workspace& workspace, bool exportAll);

// Writes the copies, the project file, removes the old committed copies and commits the new ones,
// each step only after the previous one succeeded; true when all did. A relative path is taken
// from the working folder; "" does nothing and succeeds. Failures are shown through ui; a failed
// copy or project write leaves the previous project file and committed copies as they were.
bool SaveProject(Workspace& workspace, const std::string& path, bool exportAll, Interaction& ui);

// Reads the project into the (empty) workspace. On failure shows "Cannot read the file: ..." and
// returns false; windows opened before the failure stay open.
bool OpenProject(Workspace& workspace, const std::string& path, Interaction& ui);

// Closes every window from the bottom of the stack up: with a project without asking (documents
// with a copy lose their changed mark first), otherwise through each close query, stopping at the
// first refusal (false).
bool CloseAllWindows(Workspace& workspace, bool projectOpen);

// Window geometry elements: Name (when not empty), Left, Top, Width, Height and the state.
void WriteGeometry(TXMLComplexElement& parent, const std::string& name,
                   const WindowGeometry& geometry);
// Reads Left, Top, Width, Height and the state starting at first. On a malformed number returns
// false with the value library's message and the element's position.
bool ReadGeometry(const TXMLItem* first, WindowGeometry& geometry, std::string& message,
                  int& line, int& column);
