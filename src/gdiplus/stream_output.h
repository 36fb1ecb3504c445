// Writing encoded bytes to the caller's stream.
#pragma once
#include <objbase.h>

#include <cstddef>

namespace gdiplus {

// True when the stream took every byte.
bool write_all(IStream *stream, const void *bytes, size_t count);

}  // namespace gdiplus
