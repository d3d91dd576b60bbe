// Where the main window was left, kept across runs; the window brings itself
// back onto a screen when the screens have changed since (ZoomController::openAt).
#pragma once

#include <QPoint>
#include <optional>

class QWidget;

// Where the window's top-left corner was left, if it was kept.
std::optional<QPoint> KeptWindowPlace();
void KeepWindowPlace(const QWidget* window);
