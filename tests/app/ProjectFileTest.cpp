#include "app/ProjectFile.h"

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <map>

#include "DocumentTestSupport.h"
#include "app/TUnitFract.h"
#include "common/FileNames.h"
#include "common/Messages.h"

namespace {

// The workspace in memory: documents in stack order, each with a geometry.
class FakeWorkspace : public Workspace {
 public:
  explicit FakeWorkspace(Interaction& ui) : ui_(ui) {}

  TUnitFract& Add(const std::string& name, const std::string& file,
                  WindowGeometry geometry = {0, 0, 328, 418, WindowGeometry::State::Normal}) {
    documents.push_back(std::make_unique<TUnitFract>(name, file));
    geometries[documents.back().get()] = geometry;
    return *documents.back();
  }

  std::vector<TUnitFract*> Documents() override {
    std::vector<TUnitFract*> list;
    for (auto& d : documents) list.push_back(d.get());
    return list;
  }
  WindowGeometry GetWindowGeometry(const TUnitFract& d) override { return geometries[&d]; }
  void SetWindowGeometry(TUnitFract& d, const WindowGeometry& g) override { geometries[&d] = g; }
  WindowGeometry GetFrameGeometry() override { return frame; }
  void SetFrameGeometry(const WindowGeometry& g) override { frame = g; }
  int GetNoNameCounter() override { return counter; }
  void SetNoNameCounter(int c) override { counter = c; }
  TUnitFract* OpenDocument(const std::string& file, const std::string& readFrom) override {
    auto document = std::make_unique<TUnitFract>("", file);
    std::string error;
    if (!LoadFractalDocument(document->Content, readFrom, error)) {
      ShowCannotReadFile(ui_, readFrom, error);
      return nullptr;
    }
    document->TrackChanges = false;
    documents.push_back(std::move(document));
    return documents.back().get();
  }
  bool CloseDocument(TUnitFract& d, bool ask) override {
    asked += ask;
    if (ask && !closeAnswers.empty() && !closeAnswers.front()) return closeAnswers.pop_front(), false;
    if (ask && !closeAnswers.empty()) closeAnswers.pop_front();
    std::erase_if(documents, [&](const auto& p) { return p.get() == &d; });
    return true;
  }

  std::vector<std::unique_ptr<TUnitFract>> documents;
  std::map<const TUnitFract*, WindowGeometry> geometries;
  WindowGeometry frame{10, 20, 1014, 457, WindowGeometry::State::Normal};
  int counter = 3;
  std::deque<bool> closeAnswers;
  int asked = 0;

 private:
  Interaction& ui_;
};

// A project without windows as the writer lays it out.
std::string Frame(const std::string& counter, const std::string& left, const std::string& width,
                  const std::string& state) {
  return "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<!DOCTYPE Project SYSTEM \"Project.dtd\">\n\n"
         "<Project>\n  <Version>2.1</Version>\n  <NoNameCounter>" + counter +
         "</NoNameCounter>\n  <Frame>\n    <Left>" + left + "</Left>\n    <Top>0</Top>\n    <Width>" +
         width + "</Width>\n    <Height>0</Height>\n    <" + state + " />\n  </Frame>\n</Project>\n";
}

class ProjectFileTest : public ::testing::Test {
 protected:
  std::string Project() const { return folder.File("p.orp"); }
  std::string Copy(const std::string& name) const { return folder.File("pTempSaveFiles/" + name); }
  bool Exists(const std::string& file) const { return std::filesystem::exists(file); }
  void Touch(const std::string& file, const std::string& text = "old") {
    std::filesystem::create_directories(FolderOfFile(file));
    std::string error;
    ASSERT_TRUE(WriteFileAtomically(file, text, error)) << error;
  }
  // A saved document with a zoom that is not saved yet.
  TUnitFract& ChangedDocument(const std::string& file, double left) {
    TUnitFract& d = workspace.Add("", file, {5, 6, 300, 200, WindowGeometry::State::Normal});
    EXPECT_TRUE(d.SaveDocument(file, ui));
    d.Content.Fractal.Left = unitFactor(left);
    d.SetChanged();
    return d;
  }

  TempFolder folder;
  ScriptedInteraction ui;
  FakeWorkspace workspace{ui};
};

TEST_F(ProjectFileTest, NoWindowsWritesTheFrameAndRemovesOldCopies) {
  Touch(Copy("savedProjectWindowFile0.wav"));
  Touch(Copy("savedProjectWindowFile1.orm"));
  Touch(Copy("savedProjectWindowFile3.wav"));  // beyond the first gap: kept
  ASSERT_TRUE(SaveProject(workspace, Project(), false, ui));
  EXPECT_EQ(FileBytes(Project()),
            "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n"
            "<!DOCTYPE Project SYSTEM \"Project.dtd\">\n\n"
            "<Project>\n  <Version>2.1</Version>\n  <NoNameCounter>3</NoNameCounter>\n"
            "  <Frame>\n    <Left>10</Left>\n    <Top>20</Top>\n    <Width>1014</Width>\n"
            "    <Height>457</Height>\n    <Normal />\n  </Frame>\n</Project>\n");
  EXPECT_FALSE(Exists(Copy("savedProjectWindowFile0.wav")));
  EXPECT_FALSE(Exists(Copy("savedProjectWindowFile1.orm")));
  EXPECT_TRUE(Exists(Copy("savedProjectWindowFile3.wav")));
}

TEST_F(ProjectFileTest, ChangedDocumentsGetCopiesInStackOrder) {
  ChangedDocument(folder.File("a.kvf"), -1.25);
  workspace.Add("Kept", folder.File("b.kvf"));
  ASSERT_TRUE(workspace.documents.back()->SaveDocument(folder.File("b.kvf"), ui));
  workspace.Add("NONAME3", "");  // new: needs saving
  ASSERT_TRUE(SaveProject(workspace, Project(), false, ui));
  EXPECT_EQ(workspace.documents[0]->TempFile, 0);
  EXPECT_EQ(workspace.documents[1]->TempFile, -1);
  EXPECT_EQ(workspace.documents[2]->TempFile, 1);
  EXPECT_TRUE(Exists(Copy("savedProjectWindowFile0.wav")));
  EXPECT_TRUE(Exists(Copy("savedProjectWindowFile1.wav")));
  EXPECT_FALSE(Exists(Copy("newProjectWindowFile0.wav")));
  const std::string text = FileBytes(Project());
  EXPECT_NE(text.find("<Wave>\n      <File>" + folder.File("a.kvf") + "</File>\n      <TempFile>0</TempFile>"),
            std::string::npos);
  EXPECT_NE(text.find("<Wave>\n      <File>" + folder.File("b.kvf") + "</File>\n    </Wave>\n    <Name>Kept</Name>"),
            std::string::npos);
  EXPECT_NE(text.find("<Wave>\n      <TempFile>1</TempFile>\n    </Wave>\n    <Name>NONAME3</Name>"),
            std::string::npos);
  EXPECT_TRUE(workspace.documents[0]->NeedsSave());  // the document itself is not saved
}

TEST_F(ProjectFileTest, ReopenedProjectShowsTheUnsavedChangesAndSavesTheSame) {
  ChangedDocument(folder.File("a.kvf"), -1.25);
  workspace.Add("NONAME3", "").Content.Fractal.MaxDepth = unitIntegerPosMore(42);
  workspace.Add("Saved", folder.File("s.kvf"), {1, 2, 3, 4, WindowGeometry::State::Maximized});
  ASSERT_TRUE(workspace.documents.back()->SaveDocument(folder.File("s.kvf"), ui));
  ASSERT_TRUE(SaveProject(workspace, Project(), false, ui));
  const std::string first = FileBytes(Project());
  ASSERT_TRUE(CloseAllWindows(workspace, true));
  EXPECT_EQ(workspace.asked, 0);
  workspace.counter = 0;

  ASSERT_TRUE(OpenProject(workspace, Project(), ui)) << ui.Texts().back();
  ASSERT_EQ(workspace.documents.size(), 3u);
  const TUnitFract& zoomed = *workspace.documents[0];
  EXPECT_EQ(zoomed.Content.Fractal.Left.GetValue(), -1.25);
  EXPECT_EQ(zoomed.File, folder.File("a.kvf"));
  EXPECT_TRUE(zoomed.Changed);
  const TUnitFract& unsaved = *workspace.documents[1];
  EXPECT_TRUE(unsaved.IsNew());
  EXPECT_EQ(unsaved.Name, "NONAME3");
  EXPECT_EQ(unsaved.Content.Fractal.MaxDepth.GetValue(), 42);
  const TUnitFract& saved = *workspace.documents[2];
  EXPECT_FALSE(saved.NeedsSave());
  EXPECT_TRUE(saved.TrackChanges);
  EXPECT_EQ(workspace.geometries[&saved], (WindowGeometry{1, 2, 3, 4, WindowGeometry::State::Maximized}));
  EXPECT_EQ(workspace.counter, 3);

  ASSERT_TRUE(SaveProject(workspace, Project(), false, ui));
  EXPECT_EQ(FileBytes(Project()), first);
}

TEST_F(ProjectFileTest, ExportCopiesEveryDocumentWithoutFiles) {
  workspace.Add("One", folder.File("a.kvf"));
  ASSERT_TRUE(workspace.documents.back()->SaveDocument(folder.File("a.kvf"), ui));
  ASSERT_TRUE(SaveProject(workspace, folder.File("e.orp"), true, ui));
  const std::string text = FileBytes(folder.File("e.orp"));
  EXPECT_EQ(text.find("<File>"), std::string::npos);
  EXPECT_NE(text.find("<TempFile>0</TempFile>"), std::string::npos);
  EXPECT_TRUE(Exists(folder.File("eTempSaveFiles/savedProjectWindowFile0.wav")));
}

TEST_F(ProjectFileTest, FailedWritesKeepThePreviousProject) {
  ChangedDocument(folder.File("a.kvf"), -1.0);
  ASSERT_TRUE(SaveProject(workspace, Project(), false, ui));
  const std::string project = FileBytes(Project());
  const std::string copy = FileBytes(Copy("savedProjectWindowFile0.wav"));
  workspace.documents[0]->Content.Fractal.Left = unitFactor(-0.5);

  // The project file cannot be written: a folder stands in its place.
  const std::string blocked = folder.File("q.orp");
  std::filesystem::create_directories(blocked);
  EXPECT_FALSE(SaveProject(workspace, blocked, false, ui));
  ASSERT_FALSE(ui.shown.empty());
  EXPECT_EQ(ui.shown.back().title, "FileError");
  EXPECT_EQ(ui.shown.back().text.rfind("Cannot save Project File: ", 0), 0u);

  // A copy cannot be written: the copies' folder is a file.
  std::filesystem::remove_all(folder.File("pTempSaveFiles"));
  Touch(folder.File("pTempSaveFiles"), "in the way");
  EXPECT_FALSE(SaveProject(workspace, Project(), false, ui));
  EXPECT_EQ(FileBytes(Project()), project);
  std::filesystem::remove(folder.File("pTempSaveFiles"));
  ASSERT_TRUE(SaveProject(workspace, Project(), false, ui));
  EXPECT_NE(FileBytes(Copy("savedProjectWindowFile0.wav")), copy);
}

TEST_F(ProjectFileTest, RefusedAndHostileProjects) {
  struct Case {
    std::string text;
    std::string message;  // the start of the shown text after the file name
  } cases[] = {
      {"<?xml version=\"1.0\"?>\n<Project>\n<Version>9.9</Version>\n</Project>\n",
       "Unknown project version \"9.9\"."},
      {"", "file is empty."},
      {Frame("x", "1", "0", "Normal"), "In NoNameCounter: "},
  };
  for (const Case& c : cases) {
    Touch(Project(), c.text);
    ScriptedInteraction script;
    EXPECT_FALSE(OpenProject(workspace, Project(), script));
    ASSERT_EQ(script.shown.size(), 1u) << c.text << (script.shown.empty() ? "" : script.Texts()[0]);
    EXPECT_EQ(script.shown[0].title, "File Error");
    const std::string prefix = "Cannot read the file: \"" + Project() + "\"";
    EXPECT_EQ(script.shown[0].text.rfind(prefix + c.message, 0), 0u) << script.shown[0].text;
  }
  Touch(Project(), Frame("0", "-99999999", "2147483647", "Maximized"));
  EXPECT_TRUE(OpenProject(workspace, Project(), ui)) << ui.Texts().back();
  EXPECT_EQ(workspace.frame, (WindowGeometry{-32767, 0, 32767, 1, WindowGeometry::State::Maximized}));
}

TEST_F(ProjectFileTest, DuplicateWindowNameIsReportedAndDropped) {
  workspace.Add("Same", folder.File("a.kvf"));
  ASSERT_TRUE(workspace.documents.back()->SaveDocument(folder.File("a.kvf"), ui));
  workspace.Add("Same", folder.File("a.kvf"));
  ASSERT_TRUE(SaveProject(workspace, Project(), false, ui));
  workspace.documents.clear();
  ASSERT_TRUE(OpenProject(workspace, Project(), ui));
  ASSERT_EQ(ui.shown.size(), 1u);
  EXPECT_EQ(ui.shown[0].title, "Error");
  EXPECT_EQ(ui.shown[0].text, "When opening file \"" + folder.File("a.kvf") +
                                  "\" from project, a window with name \"Same\" already exists");
  EXPECT_EQ(workspace.documents[1]->Name, "");
}

TEST_F(ProjectFileTest, CloseAllWindowsWithoutProjectStopsAtTheFirstRefusal) {
  workspace.Add("A", "");
  workspace.Add("B", "");
  workspace.Add("C", "");
  workspace.closeAnswers = {true, false};
  EXPECT_FALSE(CloseAllWindows(workspace, false));
  EXPECT_EQ(workspace.documents.size(), 2u);
  EXPECT_EQ(workspace.documents[0]->Name, "B");
}

}  // namespace
