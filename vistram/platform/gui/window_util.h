// Small window helpers shared by the workbench's windows and dialogs.
#pragma once
class QWidget;

// Centres `window` on its screen when it is not larger than the screen;
// otherwise leaves it where it is.
void CenterWnd(QWidget* window);
