#include "widgets/Lifetime.h"

#include <QCoreApplication>
#include <QList>

#include <cstdlib>

namespace {
QList<const QWidget*>& loadedForms()
{
    static QList<const QWidget*> forms;
    return forms;
}

std::function<void()>& endProgramHandler()
{
    static std::function<void()> handler = [] { QCoreApplication::exit(0); };
    return handler;
}

std::function<void()>& endNowHandler()
{
    static std::function<void()> handler = [] { std::exit(0); };
    return handler;
}
} // namespace

void Lifetime::formLoaded(QWidget* form)
{
    if (!loadedForms().contains(form))
        loadedForms().append(form);
}

void Lifetime::formUnloaded(QWidget* form)
{
    if (!loadedForms().removeOne(form))
        return;
    if (loadedForms().isEmpty())
        endProgramHandler()();
}

bool Lifetime::isLoaded(const QWidget* form)
{
    return loadedForms().contains(form);
}

bool Lifetime::anyFormLoaded()
{
    return !loadedForms().isEmpty();
}

void Lifetime::setEndHandlers(std::function<void()> endProgram, std::function<void()> endNow)
{
    endProgramHandler() = std::move(endProgram);
    endNowHandler() = std::move(endNow);
}

void Lifetime::endNow()
{
    endNowHandler()();
}
