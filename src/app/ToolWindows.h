#pragma once

class QRect;
class QWidget;

// The rules every tool window opens by, whichever it is.

// A window whose layout cannot grow (a fixed size in its .ui file) keeps that one size and
// offers no maximise button; any other grows from its layout's minimum and may be maximised.
void FitToolWindow(QWidget& window);

// Puts a tool window where the always-on-top graph window (its frame `graph`, empty when it is
// not shown) does not cover it: centred on the desktop of the graph's screen (else the primary
// screen's) when it opens, or where it is when it is
// already open, unless the graph is in the way. Where the graph leaves no room on the desktop,
// the window stays on top as the graph does, so the one used last is in front.
void PlaceToolWindow(QWidget& window, const QRect& graph, bool opening);
