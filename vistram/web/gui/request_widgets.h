// List helpers shared by the request sheets: filling a combo box from a
// comma list or a databases section, and reading its choice back.
#pragma once
#include <QComboBox>
#include <string>
#include <string_view>

// InitComboChoice: when the list holds "NOT_USE" the box is disabled;
// otherwise every item is added and item `defaultIndex` selected (none when
// there is no such item).
void InitComboChoice(QComboBox* box, std::string_view list, int defaultIndex);
// InitComboDB: the entries "label [key]" of a databases section text, the
// first selected; disabled when the text holds "NOT_USE".
void InitComboDB(QComboBox* box, std::string_view list);
// The current text of a box, cut to width - 1 characters (a buffer of `width` bytes).
std::string ComboText(const QComboBox* box, std::size_t width);
// A Latin-1 / UTF-8 text of the model as a QString.
QString QStr(std::string_view s);
