#pragma once

class QWidget;

// Gives a tool window its natural size and centres it on the primary screen's desktop (the area
// the panels leave free). Called before the window is first shown.
void CentreOnDesktop(QWidget& window);
