// The main window's print commands: Print setup, Print (the pairwise
// alignment of the current HSP, or the HCA alignment while the HCA Viewer is
// shown) and Export as PDF (the same pages into a PDF file).
#pragma once

class MainWindow;
class QWidget;

void PrintSetupCommand(QWidget* owner);
void MainPrintCommand(MainWindow& window, bool pdf);
