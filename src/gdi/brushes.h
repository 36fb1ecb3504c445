// Brush objects and their selection into device contexts.
#pragma once
#include <windows.h>

#include "engine/raster_blit.h"
#include "gdi/gdi_objects.h"

namespace gdi {

bool is_brush(HGDIOBJ object);
// Selects a brush into a context and returns the previous one, or null when object is no brush.
HGDIOBJ select_brush(DeviceContext &dc, HGDIOBJ object);
// Deletes a brush; false when object is no brush.
bool delete_brush(HGDIOBJ object);

size_t live_brushes();

// The pattern the context's brush paints, its pixels as they tile the destination.
const Pattern &selected_pattern(const DeviceContext &dc);

}  // namespace gdi
