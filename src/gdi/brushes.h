// Brushes: what they paint, and their selection into device contexts.
#pragma once
#include <windows.h>

#include "engine/raster_blit.h"
#include "gdi/gdi_objects.h"

namespace gdi {

// Selects a brush into a context and returns the previous one, or null when object is no brush.
HGDIOBJ select_brush(DeviceContext &dc, HGDIOBJ object);

// What the context's brush paints; a context without one paints white.
Pattern selected_pattern(const DeviceContext &dc);

}  // namespace gdi
