#pragma once

#include "widgets/Lifetime.h"

#include <QPointer>
#include <QWidget>

#include <functional>

// The one shared instance of a window: created on first use, released when it unloads, so that the
// next use creates a new one (and runs its load handler again).
template <typename Form> class SharedForm final {
public:
    // A window that keeps the program alive while loaded (all but the splash, which shows only while
    // its caller waits and whose unloading must never end the program).
    explicit SharedForm(bool keepsProgramAlive = true) : keepsProgramAlive_(keepsProgramAlive) {}

    // The window while it is loaded and not on its way out, else null.
    Form* loaded() const { return unloading_ ? nullptr : form_.data(); }
    bool unloading() const { return unloading_; }

    // Creates the window, hidden, and counts it as loaded for the program's lifetime.
    Form* create()
    {
        form_ = new Form();
        if (keepsProgramAlive_)
            Lifetime::formLoaded(form_);
        return form_;
    }

    // Runs `whileLoaded` while the window still counts as loaded (so the program cannot end in
    // between), then releases it; the program ends if it was the last loaded window.
    void unload(const std::function<void(Form*)>& whileLoaded)
    {
        Form* form = form_.data();
        if (!form || unloading_)
            return;
        unloading_ = true;
        whileLoaded(form);
        form_ = nullptr;
        unloading_ = false;
        if (!keepsProgramAlive_) {
            delete form; // its caller unloads it, never one of its own handlers
            return;
        }
        // It may be unloading from one of its own handlers: it goes once control is back in the event loop.
        form->deleteLater();
        Lifetime::formUnloaded(form);
    }

private:
    QPointer<Form> form_;
    bool unloading_ = false;
    bool keepsProgramAlive_ = true;
};
