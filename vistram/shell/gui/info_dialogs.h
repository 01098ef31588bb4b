// The main window's information dialogs.
#pragma once
class QWidget;
struct DataProgram;
struct HspData;

// "File header": the query (name and length), the database, the numbers of
// database sequences and alignments of the shown table. Modal, centred.
void AfficheInfoDB(QWidget* owner, const DataProgram& dp);
// "Database sequence info" for one hit: identifier, description, length and
// address of the database entry. Modal, centred; the identifier has the focus.
void FullDBnameDlg(QWidget* owner, const HspData& hit);
