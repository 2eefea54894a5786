// The study commands: bitmaps dialog, grid and orbit points on the active fractal window.
#include "gui/MainForm.h"
#include "gui/ResultWindow.h"
#include "gui/ViewResult.h"

void TMainForm::BitmapPropertiesCommand() {
  OnActive([this](TMDIChildResult&) { NotYetAvailable("The bitmaps dialog"); });
}

void TMainForm::GridCommand() {
  OnActive([this](TMDIChildResult&) { NotYetAvailable("The grid dialog"); });
}

void TMainForm::AddNextPointsCommand() {
  OnActive([this](TMDIChildResult&) { NotYetAvailable("Orbit points"); });
}

void TMainForm::GroupAsPolynoomCommand() {
  OnActive([](TMDIChildResult& window) {
    window.View().PointsGrouping = !window.View().PointsGrouping;
    window.View().update();
  });
  UpdateCommandStates();
}

void TMainForm::RemovePointsCommand() {
  OnActive([this](TMDIChildResult&) { NotYetAvailable("Orbit points"); });
}
