#pragma once

// The control panel's "Sniff Test" button. Not built yet: it reports that it is missing.
void RunSniffTest(int id);
