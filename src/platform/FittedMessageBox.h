#pragma once

#include <QString>

class QWidget;

// Message boxes as wide as their titles. A message box sizes itself to its text, and a window
// manager cuts a title wider than its window ("Zahl außerhal… igen Bereichs"), which longer
// words in a translation make likely.

// An error with an OK button, as QMessageBox::critical shows it.
void ShowError(QWidget* parent, const QString& title, const QString& text);

// A question with Yes and No; true for Yes.
bool AskYesNo(QWidget* parent, const QString& title, const QString& text);
