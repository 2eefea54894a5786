#include "app/ProjectFile.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "app/TUnitFract.h"
#include "common/FileNames.h"
#include "common/Interaction.h"
#include "common/Messages.h"
#include "common/Version.h"
#include "files/DTDBuilders.h"
#include "files/XMLReader.h"
#include "files/XMLText.h"
#include "values/unitInteger.h"

namespace {

// The companions of a copy, committed and removed together with it.
constexpr const char* kCopyExtensions[] = {".wav", ".orm", ".orw"};
// A project opens at most this many windows: a hostile file could ask for thousands.
constexpr int kMaxWindows = 100;
// Window coordinates and sizes are clamped into this range.
constexpr int kMaxCoordinate = 32767;

DTDPtr StateGrammar() {
  return Choice({Compound("Minimized"), Compound("Maximized"), Compound("Normal")});
}

DTDPtr GeometryGrammar() {
  return Seq({Text("Left"), Text("Top"), Text("Width"), Text("Height"), StateGrammar()});
}

bool IsReadableVersion(const std::string& version) {
  return version == korvana::kVersionText || version == "1.0" || version == "2.0";
}

const TDTDCompound* GrammarFor(const std::string& version, std::string& error) {
  if (IsReadableVersion(version)) return &ProjectGrammar();
  error = version.empty() ? "The project has no version."
                          : "Unknown project version \"" + ShownText(version) + "\".";
  return nullptr;
}

std::string Absolute(const std::string& path) {
  if (IsAbsoluteFileName(path)) return path;
  std::error_code ignored;
  return (std::filesystem::current_path(ignored) / path).lexically_normal().string();
}

// Folder T and base B of the project file, or false when the path has no folder part.
bool SplitProject(const std::string& project, std::string& folder, std::string& base,
                  std::string& message) {
  std::string file;
  if (!PathOfPathFile(project, folder, file, message)) return false;
  std::string extension;
  SplitFileExtension(file, base, extension);
  return true;
}

std::string CopyName(const std::string& project, const char* kind, int number,
                     const std::string& extension) {
  return JoinPath(ProjectCopyFolder(project), kind + std::to_string(number) + extension);
}

bool Exists(const std::string& file) {
  std::error_code ignored;
  return std::filesystem::exists(file, ignored);
}

// Removes the copies "kind0", "kind1", ... up to the first number of which no file exists.
bool RemoveCopies(const std::string& project, const char* kind) {
  for (int k = 0;; ++k) {
    bool any = false;
    for (const char* extension : kCopyExtensions) {
      const std::string file = CopyName(project, kind, k, extension);
      if (!Exists(file)) continue;
      any = true;
      if (std::remove(file.c_str()) != 0) return false;
    }
    if (!any) return true;
  }
}

bool CommitCopies(const std::string& project) {
  for (int k = 0;; ++k) {
    bool any = false;
    for (const char* extension : kCopyExtensions) {
      const std::string from = NewCopyName(project, k, extension);
      if (!Exists(from)) continue;
      any = true;
      if (std::rename(from.c_str(), SavedCopyName(project, k, extension).c_str()) != 0) {
        return false;
      }
    }
    if (!any) return true;
  }
}

// Step 1: a copy of every document that needs saving (every document when exporting).
bool WriteCopies(Workspace& workspace, const std::string& project, bool exportAll,
                 Interaction& ui) {
  // Copies left by a save that failed later must not be committed with this save's.
  if (!RemoveCopies(project, "newProjectWindowFile")) return false;
  bool ok = true;
  int n = 0;
  for (TUnitFract* document : workspace.Documents()) {
    if (!exportAll && !document->NeedsSave()) {
      document->TempFile = -1;
      continue;
    }
    document->TempFile = n;
    std::error_code error;
    std::filesystem::create_directories(ProjectCopyFolder(project), error);
    if (error) return false;
    ok = document->SaveDocument(NewCopyName(project, n, ".wav"), ui);
    if (!ok) return false;
    ++n;
  }
  return ok;
}

int Clamped(int value, int low) { return std::clamp(value, low, kMaxCoordinate); }

bool ReadInteger(const TXMLItem* item, const char* name, int& value, std::string& message,
                 int& line, int& column) {
  unitInteger number;
  if (!item || item->GetElement() != name) {
    message = std::string("The element ") + name + " is missing.";
    if (item) line = item->line, column = item->column;
    return false;
  }
  if (!number.ReadXML(*item, message, line, column)) return false;
  value = number.GetValue();
  return true;
}

const char* StateName(WindowGeometry::State state) {
  switch (state) {
    case WindowGeometry::State::Minimized: return "Minimized";
    case WindowGeometry::State::Maximized: return "Maximized";
    case WindowGeometry::State::Normal: break;
  }
  return "Normal";
}

const TXMLItem* Text(const TXMLItem* item, const char* name) {
  return item && item->GetElement() == name ? item : nullptr;
}

// One Window element: opens its document, names it and places its window.
bool ReadWindow(Workspace& workspace, const TXMLItem& window, const std::string& project,
                Interaction& ui, std::string& message, int& line, int& column) {
  const TXMLItem* kind = window.GetFirstElement();
  const TXMLItem* file = Text(kind->GetFirstElement(), "File");
  const TXMLItem* temp = Text(file ? file->next : kind->GetFirstElement(), "TempFile");
  const std::string fileName = file ? NormalizeSeparators(file->GetString()) : "";
  std::string readFrom = fileName;
  if (temp) {
    unitInteger number;
    if (!number.ReadXML(*temp, message, line, column)) return false;
    readFrom = SavedCopyName(project, number.GetValue());
  }
  TUnitFract* document = nullptr;
  if (kind->GetElement() == "Wave" && !readFrom.empty()) {
    document = workspace.OpenDocument(fileName, readFrom);
    if (!document) {
      message.clear();  // the opening has shown its own message
      return false;
    }
  }
  const TXMLItem* item = kind->next;
  std::string name;
  if (item->GetElement() == "Name") {
    name = item->GetString();
    for (TUnitFract* other : workspace.Documents()) {
      if (other != document && !name.empty() && other->Name == name) {
        ShowWindowNameExists(ui, fileName, name);
        name.clear();
        break;
      }
    }
    item = item->next;
  }
  if (!document) return true;
  WindowGeometry geometry;
  if (!ReadGeometry(item, geometry, message, line, column)) return false;
  document->SetName(name);
  workspace.SetWindowGeometry(*document, geometry);
  document->TrackChanges = true;
  // The copy holds changes that are not in the document's own file (or it has none).
  if (temp) document->SetChanged();
  return true;
}

bool ReadProject(Workspace& workspace, const TXMLItem& projectElement, const std::string& project,
                 Interaction& ui, std::string& message, int& line, int& column) {
  const TXMLItem* item = projectElement.GetFirstElement();  // Version: checked by the grammar
  item = item->next;
  int counter = 0;
  if (!ReadInteger(item, "NoNameCounter", counter, message, line, column)) return false;
  workspace.SetNoNameCounter(counter);
  item = item->next;
  WindowGeometry frame;
  if (!ReadGeometry(item->GetFirstElement(), frame, message, line, column)) return false;
  workspace.SetFrameGeometry(frame);
  int windows = 0;
  for (item = item->next; item; item = item->next) {
    if (++windows > kMaxWindows) {
      ui.ShowMessage("File Error",
                     "The project \"" + project + "\" has more than " + std::to_string(kMaxWindows) +
                         " windows; only the first " + std::to_string(kMaxWindows) + " are opened.",
                     Interaction::Icon::Information);
      break;
    }
    if (!ReadWindow(workspace, *item, project, ui, message, line, column)) return false;
  }
  return true;
}

}  // namespace

const TDTDCompound& ProjectGrammar() {
  static const auto grammar = [] {
    auto wave = Compound("Wave", Seq({Optional(Text("File")), Optional(Text("TempFile"))}));
    auto music = Compound("Music", Seq({Optional(Text("File")), Optional(Text("TempFile"))}));
    auto window = Compound("Window", Seq({Choice(wave, music), Optional(Text("Name")),
                                          GeometryGrammar()}));
    return Compound("Project", Seq({Text("Version"), Text("NoNameCounter"),
                                    Compound("Frame", GeometryGrammar()), Repeat(window)}));
  }();
  return *grammar;
}

std::string ProjectCopyFolder(const std::string& project) {
  std::string folder, base, message;
  if (!SplitProject(project, folder, base, message)) return "";
  return JoinPath(folder, base + "TempSaveFiles");
}

std::string NewCopyName(const std::string& project, int number, const std::string& extension) {
  return CopyName(project, "newProjectWindowFile", number, extension);
}

std::string SavedCopyName(const std::string& project, int number, const std::string& extension) {
  return CopyName(project, "savedProjectWindowFile", number, extension);
}

void WriteGeometry(TXMLComplexElement& parent, const std::string& name,
                   const WindowGeometry& geometry) {
  if (!name.empty()) parent.AddString("Name", name);
  unitInteger(geometry.left).WriteXML(parent, "Left");
  unitInteger(geometry.top).WriteXML(parent, "Top");
  unitInteger(geometry.width).WriteXML(parent, "Width");
  unitInteger(geometry.height).WriteXML(parent, "Height");
  parent.AddComplex(StateName(geometry.state));
}

bool ReadGeometry(const TXMLItem* first, WindowGeometry& geometry, std::string& message,
                  int& line, int& column) {
  const TXMLItem* item = first;
  int values[4] = {};
  const char* names[] = {"Left", "Top", "Width", "Height"};
  for (int i = 0; i < 4; ++i, item = item ? item->next : nullptr) {
    if (!ReadInteger(item, names[i], values[i], message, line, column)) return false;
  }
  // Hostile sizes and positions are bounded; the window layer keeps windows on the screen.
  geometry.left = Clamped(values[0], -kMaxCoordinate);
  geometry.top = Clamped(values[1], -kMaxCoordinate);
  geometry.width = Clamped(values[2], 1);
  geometry.height = Clamped(values[3], 1);
  const std::string state = item ? item->GetElement() : "Normal";
  geometry.state = state == "Minimized"   ? WindowGeometry::State::Minimized
                   : state == "Maximized" ? WindowGeometry::State::Maximized
                                          : WindowGeometry::State::Normal;
  return true;
}

std::unique_ptr<TXMLComplexElement> BuildProjectXML(Workspace& workspace, bool exportAll) {
  auto root = std::make_unique<TXMLComplexElement>("Project");
  root->AddString("Version", std::string(korvana::kVersionText));
  unitInteger(workspace.GetNoNameCounter()).WriteXML(*root, "NoNameCounter");
  WriteGeometry(root->AddComplex("Frame"), "", workspace.GetFrameGeometry());
  for (TUnitFract* document : workspace.Documents()) {
    TXMLComplexElement& window = root->AddComplex("Window");
    TXMLComplexElement& wave = window.AddComplex("Wave");
    if (!exportAll && !document->IsNew()) wave.AddElement(document->GetFileElement());
    if (auto temp = document->GetTempFileElement()) wave.AddElement(std::move(temp));
    WriteGeometry(window, document->Name, workspace.GetWindowGeometry(*document));
  }
  return root;
}

bool SaveProject(Workspace& workspace, const std::string& path, bool exportAll, Interaction& ui) {
  if (path.empty()) return true;
  const std::string project = Absolute(path);
  if (!WriteCopies(workspace, project, exportAll, ui)) return false;
  std::string error;
  if (!BuildProjectXML(workspace, exportAll)->WriteXMLFile(project, error)) {
    ui.ShowMessage("FileError", "Cannot save Project File: " + error,
                   Interaction::Icon::Information);
    return false;
  }
  return RemoveCopies(project, "savedProjectWindowFile") && CommitCopies(project);
}

bool OpenProject(Workspace& workspace, const std::string& path, Interaction& ui) {
  const std::string project = Absolute(path);
  XMLParseResult parsed;
  std::string message;
  int line = 0;
  int column = 0;
  bool ok = ParseXMLFile(project, GrammarFor, parsed, message);
  if (ok && !ReadProject(workspace, *parsed.document, project, ui, message, line, column)) {
    ok = false;
    // An opening that failed has shown its own message already.
    if (message.empty()) return false;
    message += " At line " + std::to_string(line) + ", column " + std::to_string(column + 1) + ".";
  }
  if (!ok) {
    ui.ShowMessage("File Error", "Cannot read the file: \"" + path + "\"" + ShownText(message),
                   Interaction::Icon::Information);
  }
  return ok;
}

bool CloseAllWindows(Workspace& workspace, bool projectOpen) {
  for (TUnitFract* document : workspace.Documents()) {
    if (projectOpen && document->TempFile != -1) document->ClearChanged();
    if (!workspace.CloseDocument(*document, !projectOpen)) return false;
  }
  return true;
}
