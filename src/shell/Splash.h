#pragma once

// Shows the splash window with its five-second countdown and unloads it again.
void ShowSplashCountdown();
