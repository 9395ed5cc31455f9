#pragma once
// Painting the program listing on a printer or any other paged device.
#include <string>
#include <vector>

class QPagedPaintDevice;

// Paints the lines top to bottom in a fixed-pitch font (so a column stays a column), starting a
// new page whenever one is full. False when the device could not be painted on or a page could
// not be started.
bool PaintListing(QPagedPaintDevice& device, const std::vector<std::string>& lines);
