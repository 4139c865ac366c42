#include "app/Resources.h"

#include <QtGlobal>

// Q_INIT_RESOURCE must be used outside any namespace.
static void InitTarnwickResources()
{
    Q_INIT_RESOURCE(tarnwick);
}

void InitAppResources()
{
    static const bool bDone = (InitTarnwickResources(), true);
    (void)bDone;
}
