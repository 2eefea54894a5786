#include "common/Assert.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>

#include "common/Messages.h"

namespace korvana {
namespace {
std::atomic<Interaction*> checkInteraction{nullptr};
}

void AssertFailed(const char* condition, const char* file, int line) {
  std::fprintf(stderr, "Assertion failed: \"%s\" in %s line %d\n", condition, file, line);
  std::fflush(stderr);
  std::abort();
}

void CheckFailed(const char* unit, int line, const char* condition) {
  if (Interaction* ui = checkInteraction.load()) {
    ShowAssertion(*ui, unit, line, condition);
  } else {
    std::fprintf(stderr, "%s\n", AssertionText(unit, line, condition).c_str());
  }
}

void SetCheckInteraction(Interaction* ui) { checkInteraction.store(ui); }

}  // namespace korvana
