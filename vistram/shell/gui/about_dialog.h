// The about box and the start-up splash: both show the program's picture
// (277 x 237 pixels) at the top left.
#pragma once
class QWidget;
class QDialog;

// The picture of the about box and the splash, drawn once.
class QPixmap;
const QPixmap& VistramPicture();

// Modal about box "About Vistram"; OK or Cancel closes it.
void AFFICHEDLGAPROPOSDE(QWidget* owner);

// The start-up splash: a frameless window with the picture and "Please wait,
// loading..." in white below it, centred. The caller destroys it.
QDialog* CreateIntroWindow();
// Shows the splash for `milliseconds` while events keep being processed, then destroys it.
void LoadIntroPrg(int milliseconds = 3000);
