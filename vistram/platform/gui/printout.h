// What a print job draws: the 1D, HCA, MSA and map printouts implement this
// in their own gui folders, and the print-job frame (document name,
// progress, cancel, page sequence) drives it on the printer's painter.
#pragma once
#include <string>

class QPainter;

class Printout {
 public:
  virtual ~Printout() = default;
  // The title after "Vistram - " in the document name ("MSA report").
  virtual std::string Title() const = 0;
  // Lays the printout out for the painter's device; the number of pages
  // (at least 1).
  virtual int PageCount(QPainter& painter) = 0;
  // Draws page `page` (from 1), header included.
  virtual void DrawPage(QPainter& painter, int page) = 0;
};
