#pragma once

// The start-up sequence: first-run test, splash countdown, pack check, main window. Also the way
// back from the preferences dialog.
void Main();
