// The three 15 x 15 images of the pattern search's result tree, drawn here:
// a row (a strip of residues), a pattern (a magnifying glass) and a hit (a
// bracketed mark).
#pragma once
#include <QPixmap>

class QTreeWidget;

inline constexpr int kTreeImageRow = 1001;
inline constexpr int kTreeImagePattern = 1002;
inline constexpr int kTreeImageHit = 1003;

QPixmap DrawTreeImage(int id);
// Gives the tree its three images; false (the tree stays without images)
// when fewer than three could be made.
bool InitTreeViewImageLists(QTreeWidget* tree);
// The image of `id` once InitTreeViewImageLists succeeded on `tree`, else an empty icon.
QIcon TreeImage(const QTreeWidget* tree, int id);
