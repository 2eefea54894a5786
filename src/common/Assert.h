#pragma once

class Interaction;

// Fatal assertion: guards states that valid input cannot reach. Prints the condition, the source
// file and the line to stderr and aborts. Bad input from a file or a user never reaches one.
#define KORVANA_ASSERT(condition)                                        \
  do {                                                                   \
    if (!(condition)) ::korvana::AssertFailed(#condition, __FILE__, __LINE__); \
  } while (false)

// Non-fatal check: shows "In <unit> line <n>: Condition "<cond>"failed!" through the interaction
// installed with SetCheckInteraction (stderr when none is installed) and lets the program go on.
// Evaluates to the condition, so callers can skip the faulty step.
#define KORVANA_CHECK(condition, unit) \
  ((condition) ? true : (::korvana::CheckFailed(unit, __LINE__, #condition), false))

namespace korvana {

[[noreturn]] void AssertFailed(const char* condition, const char* file, int line);
void CheckFailed(const char* unit, int line, const char* condition);

// Where non-fatal checks are shown; nullptr prints them to stderr. Not owned. Set once at start
// (and by tests); the checks may run on computing threads, which only read it.
void SetCheckInteraction(Interaction* ui);

}  // namespace korvana
