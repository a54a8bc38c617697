// The control panel's "Sniff Test": a developer's smoke test that drives five
// modes through enter, leave, save, load, save and load, checks after each
// step that the data manager holds as many objects as before, and writes its
// report to "Quorvel Sniff Test Report.txt" and to standard output.
#pragma once

#include <string>

void RunSniffTest(int id);  // the button callback: the report and "snifftest_save" in the current folder
// The whole test with its two files in `folder` ("" is the current folder).
// True when every cycle passed.
bool RunSniffTestIn(const std::string& folder);
