// The images of the editor's toolbar, drawn here (23 x 24 pixels each):
// 0 save, 1 remove, 2 rename, 3 merge, 4 move up, 5 move down, 6 consensus,
// 7 find pattern, 8 font, 9 exit; 10 undo and 11 redo.
#pragma once
#include <QPixmap>

QPixmap EditorImage(int index);
