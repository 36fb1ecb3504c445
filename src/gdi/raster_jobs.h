// How a device context's state shapes a blit onto it or from it: the operation with the brush,
// the stretch mode, and the colour rules for monochrome bitmaps.
#pragma once
#include <windows.h>

#include "engine/raster_blit.h"
#include "gdi/gdi_objects.h"

namespace gdi {

// The job of drawing onto dc with rop: dc's brush from its brush origin, and the merging of
// shrunk pixels its stretch mode asks for (BLACKONWHITE: AND, WHITEONBLACK: OR, HALFTONE: the
// average, COLORONCOLOR: none).
RasterJob raster_job(const DeviceContext &dc, DWORD rop);

// The source of a blit from src_dc onto dst_dc, converted as the platform converts between
// monochrome device-dependent bitmaps and colour: from one, 0 bits take the destination's text
// colour and 1 bits its background colour; into one, the source's background colour becomes 1
// and every other colour 0 (set on the job). Monochrome DIB sections use their colour tables.
Surface blit_source(const Surface &source, const DeviceContext &src_dc, const DeviceContext &dst_dc,
                    const Surface &target, RasterJob *job);

}  // namespace gdi
