#include "app/ReleaseClosedWindowMemory.h"

#include <QPixmapCache>

#include "platform/HeapRelease.h"

void ReleaseClosedWindowMemory() {
    // The style draws the menu and any window still open again into the cache when needed.
    QPixmapCache::clear();
    ReleaseFreeHeap();
}
