// The desktop's common file dialogs for choosing a saved game. Both are modal
// and return the chosen full path, or "" when the user cancels.
#pragma once

#include <string>

std::string OpenFileDialog(const char* initialDirectory = nullptr);  // the file must exist
std::string SaveFileDialog(const char* initialDirectory = nullptr);  // an existing file is replaced only when confirmed
