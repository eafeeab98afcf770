#pragma once

class frmMain;

// The one shared main window: loaded on first show, released when it unloads.
frmMain* LoadedMainForm();
// Loads the window when needed (running its load handler), then shows it and brings it forward.
void ShowMainForm();
// Runs the unload handler, then releases the window; the program ends if no other window is loaded.
void UnloadMainForm();
