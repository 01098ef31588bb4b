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

// The alignment printout's pages: column bands first. Each page shows
// `columnsPerPage` columns from firstColumn and `rowsPerPage` rows from
// firstRow; after a page the first column moves on by a band, and back to 0
// with the first row a band further once it reaches the last column.
struct GridPage {
  int firstColumn = 0;
  int firstRow = 0;
};
std::vector<GridPage> GridPages(int columns, int rows, int columnsPerPage, int rowsPerPage);

// The map printout's pages: the first row of each page, `rowsPerPage` rows
// a page, until a page would start at or after the last row.
std::vector<int> RowPages(int rows, int rowsPerPage);

// The width, in characters, of the alignment printout's name column: the
// longest of "Consensus:" and the row names, plus 3.
int NameColumnChars(const std::vector<int>& nameLengths);

// The HCA printout's strips. Each sequence advances by its own window
// [start, end] of residues: start at its first residue, end = min(last,
// start + perStrip); after each strip both move on by perStrip - overlap.
struct StripWindow {
  int start = 0;
  int end = 0;
};
struct StripPair {
  StripWindow query;
  StripWindow database;
};
struct StripPlan {
  int perStrip = 1;     // residues per strip
  int overlap = 0;      // 0..perStrip - 1
  int pageHeight = 0;   // PH
  int firstTop = 0;     // top of the first strip of a page (under the header)
  int stripHeight = 0;  // h
  int lineHeight = 0;   // H
  int queryFirst = 0, queryLast = -1;
  int databaseFirst = 0, databaseLast = -1;
};
// Pages of strip pairs: a page ends before a pair whose strips would pass
// the page's bottom; the printout ends once the query has no residue left
// past the overlap. Every page holds at least one pair.
std::vector<std::vector<StripPair>> StripPages(const StripPlan& plan);
// True when the database strip's window lies past its sequence: the strip
// draws nothing.
bool StripExhausted(const StripWindow& window, int last);
