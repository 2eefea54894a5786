// The fractal properties dialog: on the active window's document, and on a new document.
#include "gui/MainForm.h"
#include "gui/ResultWindow.h"

void TMainForm::FractalPropertiesCommand() {
  OnActive([this](TMDIChildResult&) { NotYetAvailable("The fractal properties dialog"); });
}

bool TMainForm::EditNewProperties(TMDIChildResult&) {
  return true;  // until the dialog exists a new document starts with the default properties
}
