#pragma once

#include <string>
#include <vector>

// Every message box, question and file dialog of the program goes through this interface.
// The desktop program implements it with Qt, the headless renderer with stderr, and tests with
// a scripted fake, so document and dialog flows run without a display and never block.
class Interaction {
 public:
  enum class Icon { Error, Information };
  enum class Answer { Yes, No, Cancel };

  struct FileDialog {
    std::string title;
    std::string filter;            // e.g. "Fractal files (*.kvf)"
    std::string defaultExtension;  // without the dot
    std::string initialFile;
  };

  virtual ~Interaction() = default;

  // A modal box with an OK button; returns when it is closed.
  virtual void ShowMessage(const std::string& title, const std::string& text, Icon icon) = 0;
  // A question with Yes and No buttons: Yes or No.
  virtual Answer AskYesNo(const std::string& title, const std::string& text) = 0;
  // A question with Yes, No and Cancel buttons.
  virtual Answer AskYesNoCancel(const std::string& title, const std::string& text) = 0;
  // Open dialog: the chosen files (several when multiSelect), empty when cancelled.
  virtual std::vector<std::string> AskOpenFiles(const FileDialog& dialog, bool multiSelect) = 0;
  // Save dialog (asks before overwriting): the chosen file, empty when cancelled.
  virtual std::string AskSaveFile(const FileDialog& dialog) = 0;
};
