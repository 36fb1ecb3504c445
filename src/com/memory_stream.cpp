#include "com/memory_stream.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "core/faults.h"
#include "core/out_of_memory.h"
#include "kernel/global_memory.h"

namespace com {

SharedGlobal::~SharedGlobal() {
    if (free_on_release) GlobalFree(handle);
}

HRESULT MemoryStream::QueryInterface(REFIID riid, void **object) {
    if (!object) return E_POINTER;
    if (IsEqualGUID(riid, IID_IUnknown) || IsEqualGUID(riid, IID_ISequentialStream) ||
        IsEqualGUID(riid, IID_IStream)) {
        *object = static_cast<IStream *>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG MemoryStream::AddRef() { return ++references_; }

// Each clone counts its own references; the block goes with the last of them.
ULONG MemoryStream::Release() {
    ULONG left = --references_;
    if (left == 0) delete this;
    return left;
}

// The block's bytes, locked; null when the block was freed or shrunk under the stream.
uint8_t *MemoryStream::lock() const {
    if (GlobalSize(memory_->handle) < memory_->size) return nullptr;
    return static_cast<uint8_t *>(GlobalLock(memory_->handle));
}

HRESULT MemoryStream::Read(void *buffer, ULONG bytes, ULONG *read) {
    if (read) *read = 0;
    if (!buffer) return STG_E_INVALIDPOINTER;
    if (layer::injected_fault("IStream::Read")) return STG_E_READFAULT;
    ULONG available = position_ < memory_->size ? memory_->size - position_ : 0;
    ULONG count = std::min(bytes, available);
    if (count == 0) return S_OK;
    const uint8_t *data = lock();
    if (!data) return S_OK;  // a freed block reads as empty
    std::memcpy(buffer, data + position_, count);
    GlobalUnlock(memory_->handle);
    position_ += count;
    if (read) *read = count;
    return S_OK;
}

HRESULT MemoryStream::Write(const void *buffer, ULONG bytes, ULONG *written) {
    if (written) *written = 0;
    if (!buffer) return STG_E_INVALIDPOINTER;
    if (layer::injected_fault("IStream::Write")) return STG_E_MEDIUMFULL;
    if (bytes == 0) return S_OK;
    uint64_t end = uint64_t(position_) + bytes;
    if (end > kMaxSize) return STG_E_MEDIUMFULL;
    if (end > memory_->size) {
        HRESULT grown = resize(ULONG(end));
        if (FAILED(grown)) return grown;
    }
    uint8_t *data = lock();
    if (!data) return E_OUTOFMEMORY;
    std::memcpy(data + position_, buffer, bytes);
    GlobalUnlock(memory_->handle);
    position_ = ULONG(end);
    if (written) *written = bytes;
    return S_OK;
}

// Only a hint: without the room, writes grow the block as ever.
void MemoryStream::make_room(uint64_t bytes) {
    uint64_t end = position_ + bytes;
    if (end > memory_->size && end <= kMaxSize) kernel::reserve_global(memory_->handle, size_t(end));
}

// Refused or not, the seek reports the position it leaves.
HRESULT MemoryStream::Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER *position) {
    HRESULT result = move_to(move, origin);
    if (position) position->QuadPart = position_;
    return result;
}

// Only the move's low 32 bits count, as a signed distance; the new position must lie within
// 0 to 4 GB - 1.
HRESULT MemoryStream::move_to(LARGE_INTEGER move, DWORD origin) {
    int64_t base;
    switch (origin) {
    case STREAM_SEEK_SET:
        if (layer::injected_fault("IStream::SeekSet")) return STG_E_SEEKERROR;
        base = 0;
        break;
    case STREAM_SEEK_CUR:
        if (layer::injected_fault("IStream::SeekCur")) return STG_E_SEEKERROR;
        base = position_;
        break;
    case STREAM_SEEK_END:
        if (layer::injected_fault("IStream::SeekEnd")) return STG_E_SEEKERROR;
        base = memory_->size;
        break;
    default:
        return STG_E_SEEKERROR;
    }
    int64_t target = base + LONG(move.LowPart);
    if (target < 0 || target > int64_t(kMaxSize)) return STG_E_SEEKERROR;
    position_ = ULONG(target);
    return S_OK;
}

// The size's high part is ignored.
HRESULT MemoryStream::SetSize(ULARGE_INTEGER size) { return resize(size.LowPart); }

// The block is reallocated to the stream's size; a fixed block may get a new handle, which the
// clones then share.
HRESULT MemoryStream::resize(ULONG size) {
    if (size == memory_->size) return S_OK;
    HGLOBAL resized = GlobalReAlloc(memory_->handle, size, GMEM_MOVEABLE);
    if (!resized) return E_OUTOFMEMORY;
    memory_->handle = resized;
    memory_->size = size;
    return S_OK;
}

// Copies through a buffer of its own, so that a target sharing the block may reallocate it.
// The counts are of the bytes read from here and of those the target says it wrote.
HRESULT MemoryStream::CopyTo(IStream *target, ULARGE_INTEGER bytes, ULARGE_INTEGER *read,
                             ULARGE_INTEGER *written) {
    if (read) read->QuadPart = 0;
    if (written) written->QuadPart = 0;
    if (!target) return STG_E_INVALIDPOINTER;
    uint8_t chunk[16384];
    for (uint64_t left = bytes.QuadPart; left > 0;) {
        ULONG got = 0;
        HRESULT result = Read(chunk, ULONG(std::min<uint64_t>(left, sizeof chunk)), &got);
        if (FAILED(result)) return result;
        if (got == 0) break;
        ULONG put = 0;
        result = target->Write(chunk, got, &put);
        if (read) read->QuadPart += got;
        if (written) written->QuadPart += put;
        if (FAILED(result)) return result;
        left -= got;
    }
    return S_OK;
}

HRESULT MemoryStream::Commit(DWORD) { return S_OK; }

HRESULT MemoryStream::Revert() { return S_OK; }

HRESULT MemoryStream::LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) { return STG_E_INVALIDFUNCTION; }

HRESULT MemoryStream::UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) { return STG_E_INVALIDFUNCTION; }

// No name, class or times: only the type and the size.
HRESULT MemoryStream::Stat(STATSTG *stat, DWORD) {
    if (!stat) return STG_E_INVALIDPOINTER;
    std::memset(stat, 0, sizeof *stat);
    stat->type = STGTY_STREAM;
    stat->cbSize.QuadPart = memory_->size;
    return S_OK;
}

// The clone shares the block and its size, and starts at this stream's position.
HRESULT MemoryStream::Clone(IStream **clone) try {
    if (!clone) return STG_E_INVALIDPOINTER;
    *clone = nullptr;
    layer::allocation_point();
    *clone = new MemoryStream(memory_, position_);
    return S_OK;
} OUT_OF_MEMORY_RETURNS(E_OUTOFMEMORY)

}  // namespace com

// Without memory of the caller's, the stream starts on an empty movable block of its own. The
// stream's size is the block's size.
extern "C" HRESULT WINAPI CreateStreamOnHGlobal(HGLOBAL global, BOOL deleteOnRelease, LPSTREAM *stream) try {
    if (!stream) return E_INVALIDARG;
    *stream = nullptr;
    if (layer::injected_fault("CreateStreamOnHGlobal")) return E_OUTOFMEMORY;
    layer::allocation_point();
    auto memory = std::make_shared<com::SharedGlobal>();
    auto created = std::make_unique<com::MemoryStream>(memory, 0);
    if (!global) global = GlobalAlloc(GMEM_MOVEABLE | GMEM_NODISCARD | GMEM_SHARE, 0);
    if (!global) return E_OUTOFMEMORY;
    memory->handle = global;
    memory->size = ULONG(std::min<uint64_t>(GlobalSize(global), com::MemoryStream::kMaxSize));
    memory->free_on_release = deleteOnRelease != FALSE;
    *stream = created.release();
    return S_OK;
} OUT_OF_MEMORY_RETURNS(E_OUTOFMEMORY)

extern "C" HRESULT WINAPI GetHGlobalFromStream(LPSTREAM stream, HGLOBAL *global) {
    auto *own = dynamic_cast<com::MemoryStream *>(stream);
    if (!own || !global) return E_INVALIDARG;
    *global = own->global();
    return S_OK;
}
