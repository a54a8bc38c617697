#include "glf/FileDialogs.h"

#include "platform/Sys.h"

std::string OpenFileDialog(const char* initialDirectory) {
  return Sys_FileDialog(SysFileDialog::Open, initialDirectory);
}

std::string SaveFileDialog(const char* initialDirectory) {
  return Sys_FileDialog(SysFileDialog::Save, initialDirectory);
}
