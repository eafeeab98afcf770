#pragma once

#include <functional>

class QWidget;

// The program ends when its last window is unloaded, and only then (hiding a window or closing a
// message box never ends it). Windows report their loading and unloading here.
namespace Lifetime {

void formLoaded(QWidget* form);
// After the last loaded window is gone, the program ends.
void formUnloaded(QWidget* form);
bool isLoaded(const QWidget* form);
bool anyFormLoaded();

// How the program ends; tests replace these. endProgram quits the event loop; endNow ends the process at once.
void setEndHandlers(std::function<void()> endProgram, std::function<void()> endNow);
void endNow();

} // namespace Lifetime
