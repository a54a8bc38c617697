// The desktop's dialogs through GTK 3, shared by the file dialogs and the
// message boxes. Game code never includes this.
#pragma once

#include <string>

#include "platform/Sys.h"

bool GtkDialogsReady();  // a desktop can show dialogs and GTK started
std::string WhyNoDesktopDialog();  // why GtkDialogsReady() is false, for the note of a question asked elsewhere
// Both run modally in GTK's own loop: no GLUT callback runs until they return.
std::string GtkChooseFile(SysFileDialog kind, const std::string& folder);  // "" when cancelled
SysAnswer GtkAskQuestion(const std::string& caption, const std::string& text, SysBox kind, SysAnswer fallback);
// Without a session bus the toolkit's D-Bus users are kept off it (the
// variables a user set are kept); looking for one creates no file or folder.
void GtkKeepOffDBusWithoutSessionBus();
