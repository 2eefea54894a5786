// korvana: the desktop program.
//   korvana [FILE]   FILE a fractal document (.kvf) or a project (.orp) to open at start
//   korvana --new    start with a new fractal window computing the default fractal
#include <QApplication>
#include <QTimer>
#include <cstdio>

#include "common/Version.h"
#include "gui/MainForm.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  const QString name = QString::fromUtf8(korvana::kProgramName.data(), korvana::kProgramName.size());
  const QString version = QString::fromUtf8(korvana::kVersionText.data(), korvana::kVersionText.size());
  QApplication::setApplicationName(name);
  QApplication::setApplicationVersion(version);
  QApplication::setDesktopFileName("org.korvana.Korvana");

  const QStringList arguments = QApplication::arguments();
  const QString first = arguments.size() > 1 ? arguments[1] : QString();
  if (first == "--help" || first == "-h") {
    std::printf("Usage: korvana [FILE.kvf | FILE.orp | --new]\n");
    return 0;
  }
  if (first == "--version") {
    std::printf("%s %s\n", qPrintable(name), qPrintable(version));
    return 0;
  }
  TMainForm form;
  if (first == "--new") {
    QTimer::singleShot(0, &form, [&form] { form.FileNewFract(); });
  } else if (!first.isEmpty()) {
    form.SetCommandLine(first.toStdString());
  }
  form.show();
  return app.exec();
}
