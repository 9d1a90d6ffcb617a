#pragma once

// A closed tool window leaves its style pictures in Qt's pixmap cache and what it freed (the
// statistics chart's GL context among it) resident as holes in the heap: gives both back. Runs
// after each tool window has gone, a few milliseconds at most.
void ReleaseClosedWindowMemory();
