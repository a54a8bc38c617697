#include "platform/Sys.h"

#include <unistd.h>

#include <iostream>

extern std::vector<std::string>* Sys_FileDialogAnswers();

// There is no common file dialog here: a name is typed on the terminal when
// there is one, and otherwise the fixed quick-save name is used.
bool Sys_AskFileName(bool forSave, const std::string& title, std::string& name) {
  if (std::vector<std::string>* answers = Sys_FileDialogAnswers()) {
    if (answers->empty()) return false;
    name = answers->front();
    answers->erase(answers->begin());
    return !name.empty();
  }
  if (isatty(STDIN_FILENO)) {
    std::cerr << title << (forSave ? " (save as, empty cancels): " : " (open, empty cancels): ") << std::flush;
    std::string typed;
    if (!std::getline(std::cin, typed) || typed.empty()) return false;
    name = typed;
    return true;
  }
  name = "quicksave.sav";
  return true;
}
