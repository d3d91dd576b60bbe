// Where the main window was left: kept across runs, and brought back onto
// a screen when the screens have changed since (smaller, or one unplugged).
#pragma once

#include <QPoint>
#include <optional>

class QWidget;

void RestoreWindowPlace(QWidget* window);
// Where the window's top-left corner was left, if it was kept.
std::optional<QPoint> KeptWindowPlace();
void KeepWindowPlace(const QWidget* window);
