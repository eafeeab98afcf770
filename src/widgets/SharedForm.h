#pragma once

#include "widgets/Lifetime.h"

#include <QPointer>
#include <QWidget>

#include <type_traits>

// The one shared instance of a window, and its lifecycle: loaded on first use (created hidden, its
// `Form_Load` run), released when it unloads (its `Form_Unload` run, when it has one), so that the
// next use creates a new one and runs its load handler again.
template <typename Form> class SharedForm final {
public:
    // A window that keeps the program alive while loaded (all but the splash, which shows only while
    // its caller waits and whose unloading must never end the program).
    explicit SharedForm(bool keepsProgramAlive = true) : keepsProgramAlive_(keepsProgramAlive) {}

    // The window while it is loaded and not on its way out, else null.
    Form* loaded() const { return unloading_ ? nullptr : form_.data(); }
    bool unloading() const { return unloading_; }

    // The window, loaded when it is not. Null while it unloads, and when its load handler refused
    // (returned false): the window is then released at once, without its unload handler.
    Form* load()
    {
        if (unloading_)
            return nullptr;
        if (form_)
            return form_;
        form_ = new Form();
        if (keepsProgramAlive_)
            Lifetime::formLoaded(form_);
        if constexpr (std::is_same_v<decltype(form_->Form_Load()), bool>) {
            if (!form_->Form_Load()) {
                release(form_);
                return nullptr;
            }
        } else {
            form_->Form_Load();
        }
        return form_;
    }

    // Runs the unload handler while the window still counts as loaded (so the program cannot end in
    // between), hides the window and releases it; the program ends if it was the last loaded window.
    void unload()
    {
        Form* form = form_.data();
        if (!form || unloading_)
            return;
        unloading_ = true;
        if constexpr (requires { form->Form_Unload(); })
            form->Form_Unload();
        form->hide();
        unloading_ = false;
        release(form);
    }

private:
    void release(Form* form)
    {
        form_ = nullptr;
        if (!keepsProgramAlive_) {
            delete form; // its caller unloads it, never one of its own handlers
            return;
        }
        // It may be unloading from one of its own handlers: it goes once control is back in the event loop.
        form->deleteLater();
        Lifetime::formUnloaded(form);
    }

    QPointer<Form> form_;
    bool unloading_ = false;
    bool keepsProgramAlive_ = true;
};
