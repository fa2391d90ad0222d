// The pictures of the main window's tool buttons, drawn by the program.
#pragma once

#include <QIcon>

enum class ToolIcon { ZoomIn, ZoomOut, FindLines, AddMeasurement };

QIcon MakeToolIcon(ToolIcon eIcon);
