// Page geometry of the printouts as plain numbers (device pixels), so that
// pagination is computed, and tested, without a printer: the margin, the
// columns of a block of residues, and which blocks go on which page.
#pragma once
#include <vector>

// The 6 mm margin of every printout at `pixelsPerInch`.
int PrintMargin(int pixelsPerInch);

// Columns of one block of residues: (width - 2 margin) / characterWidth,
// at least 1.
int ColumnsPerBlock(int pageWidth, int margin, int characterWidth);

// Blocks of `blockHeight` pixels, `blockPitch` apart, the first one at
// `firstTop` on every page; a page ends when the next block would end below
// `pageHeight`.
struct BlockPages {
  int pageHeight = 0;
  int firstTop = 0;
  int blockPitch = 1;
  int blockHeight = 1;
};

// Blocks on one page (at least 1, so that every printout ends).
int BlocksPerPage(const BlockPages& pages);
// The first block of each page for `blocks` blocks (empty for none).
std::vector<int> PageStarts(int blocks, const BlockPages& pages);
// Blocks of `totalColumns` columns cut into blocks of `columnsPerBlock`.
int BlockCount(int totalColumns, int columnsPerBlock);
