#include "platform/Sys.h"

#include <unistd.h>

#include <iostream>

// Tests queue the names a person would type; "" cancels.
static std::vector<std::string>* gDialogAnswers = nullptr;
void Sys_SetFileDialogAnswersForTest(std::vector<std::string>* answers) { gDialogAnswers = answers; }

// There is no common file dialog here: a name is typed on the terminal when
// there is one, and otherwise the fixed quick-save name is used.
bool Sys_AskFileName(bool forSave, const std::string& title, std::string& name) {
  if (gDialogAnswers) {
    if (gDialogAnswers->empty()) return false;
    name = gDialogAnswers->front();
    gDialogAnswers->erase(gDialogAnswers->begin());
    return !name.empty();
  }
  if (isatty(STDIN_FILENO)) {
    std::cerr << title << (forSave ? " (save as, empty cancels): " : " (open, empty cancels): ") << std::flush;
    std::string typed;
    if (!Sys_ReadStdinLine(typed) || typed.empty()) return false;
    name = typed;
    return true;
  }
  name = "quicksave.sav";
  return true;
}
