#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "cli/RenderCommand.h"
#include "cli/RenderOptions.h"
#include "common/SafeFile.h"
#include "common/Version.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  RenderOptions options;
  std::string error;
  if (!ParseRenderOptions(args, options, error)) {
    std::fprintf(stderr, "korvana-render: %s\n%s", error.c_str(), RenderUsageText().c_str());
    return 2;
  }
  if (options.help) {
    std::fputs(RenderUsageText().c_str(), stdout);
    return 0;
  }
  if (options.version) {
    std::printf("korvana-render (%s %s)\n", std::string(korvana::kProgramName).c_str(),
                std::string(korvana::kVersionText).c_str());
    return 0;
  }
  // An interrupted run removes the temporary file of a save in progress.
  InstallTemporaryFileCleanup();
  const bool showProgress = !options.quiet && ::isatty(STDERR_FILENO);
  return RunRender(options, stderr, showProgress);
}
