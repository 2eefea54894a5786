#pragma once

#include <string>

class Interaction;

// The program's common message boxes: one title, icon and text pattern each.
void ShowFileError(Interaction& ui, const std::string& text);
void ShowCannotReadFile(Interaction& ui, const std::string& file, const std::string& reason);
void ShowInputError(Interaction& ui, const std::string& text);
void ShowWindowNameExists(Interaction& ui, const std::string& file, const std::string& name);
void ShowAssertion(Interaction& ui, const std::string& unit, int line, const std::string& condition);

// The texts of the boxes above, for callers that print them elsewhere (the headless renderer).
std::string CannotReadFileText(const std::string& file, const std::string& reason);
std::string WindowNameExistsText(const std::string& file, const std::string& name);
std::string AssertionText(const std::string& unit, int line, const std::string& condition);
