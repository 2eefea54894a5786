// The Mode and Fractal menus: mouse modes, view modes, Julia from Mandelbrot, grouping.
#include "app/CommandState.h"
#include "app/DocumentCommands.h"
#include "app/TUnitFract.h"
#include "gui/MainForm.h"
#include "gui/ResultWindow.h"
#include "gui/ViewResult.h"

void TMainForm::SetActiveMouseMode(std::uint8_t mode) {
  OnActive([mode](TMDIChildResult& window) {
    window.SetMouseMode(ToggledMouseMode(window.MouseMode, mode));
  });
  UpdateCommandStates();  // a triggered action ticks itself: put back the window's state
}

void TMainForm::SetActiveViewMode(std::uint8_t mode) {
  OnActive([mode](TMDIChildResult& window) { window.SetViewMode(mode); });
  UpdateCommandStates();
}

void TMainForm::NewJuliaFractal(const TFractalContent& clicked, double re, double im) {
  if (!ActiveFractalWindow()) return;
  WaitCursor wait(*this);
  TFractalContent julia = clicked;
  julia.Fractal = JuliaProps(clicked.Fractal, re, im);
  NewDocumentFrom(julia);
}
