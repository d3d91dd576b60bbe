// The window's menu bar: File, View > Zoom, Tools and Help from the menu
// table. Each command's action is named "cmd<id>"; the zoom's are named by
// ZoomActionName, and "zoomIn", "zoomOut" and "zoomReset".
#pragma once

#include <functional>

class QMenuBar;
class QWidget;
class ZoomController;

// Triggering a command's action calls `command` with its id. Commands that
// need printing are greyed where there is none; File > Keep Device Between
// Runs is a check box, left unchecked.
QMenuBar* BuildMenuBar(QWidget* window, const std::function<void(int id)>& command, ZoomController& zoom);
