#include "platform/controls/ItemRef.h"

#include "platform/system/ErrorState.h"

void raiseMissingKey(const QString &)
{
    raiseError(ErrorNumber::ElementNotFound);
}

void raiseBadIndex(int)
{
    raiseError(ErrorNumber::SubscriptOutOfRange);
}

void raiseKeyTaken(const QString &)
{
    raiseError(ErrorNumber::KeyNotUnique);
}

int resolveItemRef(const ItemRef &ref, int count, const std::function<int(const QString &)> &indexOfKey)
{
    if (ref.isIndex()) {
        if (ref.index() < 1 || ref.index() > count)
            raiseBadIndex(ref.index());
        return ref.index();
    }
    const int index = ref.key().isEmpty() ? 0 : indexOfKey(ref.key());
    if (index == 0)
        raiseMissingKey(ref.key());
    return index;
}
