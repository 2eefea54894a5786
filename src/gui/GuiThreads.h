#pragma once

#include <functional>

// Runs work on a worker thread while the GUI thread keeps processing events, calling poll after
// each round of events; returns work's result once it has ended.
bool RunWhileProcessingEvents(const std::function<bool()>& work, const std::function<void()>& poll);
