// Whether GDI+ is running: between a successful GdiplusStartup and the matching last shutdown.
#pragma once

namespace gdiplus {

bool started();

}  // namespace gdiplus
