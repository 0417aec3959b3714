// Draws a report on paper or into a PDF: a running header and "Page n of N" on every page,
// tables that break across pages with their header row repeated (narrowed to the page when
// they are wide, a cell's text cut short with an ellipsis rather than overflowing), plots drawn
// line by line, and the deck's cards under a column ruler. A section that needs the width
// starts on a landscape page.
#pragma once

#include "report/ReportLayout.h"

#include <QString>

class QPagedPaintDevice;

namespace tovan::report {

// Sets the device's paper and first orientation from the options, then draws every page.
// Returns the number of pages drawn.
int PaintReport(const ReportDocument& document, QPagedPaintDevice& device);

// The report as a PDF file, written whole or not at all: false with `why` when the file
// cannot be written (nothing is left behind then, and an earlier file stays as it was).
bool WriteReportPdf(const ReportDocument& document, const QString& path, QString& why,
                    int* pages = nullptr);

} // namespace tovan::report
