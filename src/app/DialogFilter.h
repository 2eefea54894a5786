#pragma once

#include <string>
#include <vector>

// Turns a file dialog filter of the form "Label (*.a)|*.a|Other (*.*)|*.*" into name filters of
// the form "Label (*.a)" as toolkits take them. "*.*" becomes "*", so names without a dot are
// listed under "All files" too. A label without patterns in parentheses gets them appended.
std::vector<std::string> NameFilters(const std::string& filter);
