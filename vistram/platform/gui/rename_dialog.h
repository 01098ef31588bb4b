// The "Rename sequence" dialog: shows an old name and asks for a new one.
// The main window renames tables with it; the alignment editor renames its
// sequences with it.
#pragma once
#include <cstddef>
#include <string>

class QWidget;

// Modal; true (with `newName` set) when the user confirmed a non-empty name
// different from `oldName`, cut to `maxLength` characters.
bool RenameSequenceDialog(QWidget* owner, const std::string& oldName, std::string& newName,
                          std::size_t maxLength = 259);
