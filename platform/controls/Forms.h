#pragma once

#include <QPointer>
#include <QWidget>

// A form's default instance: created on first use, unloaded on request, and created
// again when touched after that, as the windows of this program expect.
namespace Forms {

template<class T>
QPointer<T> &slot()
{
    static QPointer<T> instance;
    return instance;
}

template<class T>
bool isLoaded()
{
    return !slot<T>().isNull();
}

template<class T>
T *get()
{
    QPointer<T> &instance = slot<T>();
    if (instance.isNull())
        instance = new T();
    return instance.data();
}

// Closes the form (its close handler runs) and destroys it on the next turn of the
// event loop, so a form may unload itself from one of its own handlers.
template<class T>
void unload()
{
    QPointer<T> &instance = slot<T>();
    if (instance.isNull())
        return;
    T *form = instance.data();
    instance.clear();
    form->close();
    form->deleteLater();
}

} // namespace Forms
