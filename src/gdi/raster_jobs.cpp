#include "gdi/raster_jobs.h"

#include "engine/rop3.h"
#include "gdi/brushes.h"
#include "gdi/colour_forms.h"

namespace gdi {
namespace {

Merge merge_for(int stretch_mode) {
    switch (stretch_mode) {
    case BLACKONWHITE: return Merge::And;
    case WHITEONBLACK: return Merge::Or;
    case HALFTONE: return Merge::Average;
    default: return Merge::None;
    }
}

bool mono_ddb(const DeviceContext &dc) {
    if (dc.on_window()) return false;
    const Bitmap *bitmap = find_bitmap(dc.bitmap);
    return bitmap && !bitmap->dib_section && bitmap->surface.format->bpp == 1;
}

}  // namespace

RasterJob raster_job(const DeviceContext &dc, DWORD rop) {
    RasterJob job;
    job.rop = rop3_index(rop);
    job.pattern = selected_pattern(dc);
    job.pattern_x = dc.raster.brush_origin.x;
    job.pattern_y = dc.raster.brush_origin.y;
    job.merge = merge_for(dc.stretch_mode);
    return job;
}

Surface blit_source(const Surface &source, const DeviceContext &src_dc, const DeviceContext &dst_dc,
                    const Surface &target, RasterJob *job) {
    Surface seen = source;
    bool mono_source = mono_ddb(src_dc), mono_target = mono_ddb(dst_dc);
    if (mono_source && target.format->bpp != 1) {
        const TableColour colours[2] = {table_colour(colour_of(dst_dc.raster.text_colour)),
                                        table_colour(colour_of(dst_dc.raster.background_colour))};
        seen.format = PixelFormat::indexed(1, colours, 2);
    }
    if (mono_target && source.format->bpp != 1) {
        job->to_mono = true;
        job->mono_background = colour_of(src_dc.raster.background_colour);
    }
    return seen;
}

}  // namespace gdi
