// Where the main window was left: kept across runs, and brought back onto
// a screen when the screens have changed since (smaller, or one unplugged).
#pragma once

class QWidget;

void RestoreWindowPlace(QWidget* window);
void KeepWindowPlace(const QWidget* window);
