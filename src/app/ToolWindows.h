#pragma once

class QPushButton;
class QRect;
class QWidget;

// The rules every tool window opens by, whichever it is.

// A window whose layout cannot grow (a fixed size in its .ui file) keeps that one size and
// offers no maximise button; any other grows from its layout's minimum and may be maximised.
// Its text buttons keep ButtonTextRoom on either side of their words, in every language.
void FitToolWindow(QWidget& window);

// The room a push button keeps between its text and either edge: the style's button margin
// and a character's width.
int ButtonTextRoom(const QPushButton& button);

// Puts a tool window where the always-on-top graph window (its frame `graph`, empty when it is
// not shown) does not cover it: centred on the desktop of the graph's screen (else the primary
// screen's) when it opens, or where it is when it is
// already open, unless the graph is in the way. Where the graph leaves no room on the desktop,
// the window stays on top as the graph does, so the one used last is in front.
void PlaceToolWindow(QWidget& window, const QRect& graph, bool opening);
