#include "com/memory_stream.h"

#include <cstring>
#include <new>

#include "core/faults.h"
#include "core/out_of_memory.h"

namespace com {

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

ULONG MemoryStream::Release() {
    ULONG left = --references_;
    if (left == 0) delete this;
    return left;
}

HRESULT MemoryStream::Read(void *buffer, ULONG bytes, ULONG *read) {
    if (read) *read = 0;
    if (!buffer) return STG_E_INVALIDPOINTER;
    if (layer::injected_fault("IStream::Read")) return STG_E_READFAULT;
    uint64_t available = position_ < data_.size() ? data_.size() - position_ : 0;
    ULONG count = ULONG(bytes < available ? bytes : available);
    if (count > 0) std::memcpy(buffer, data_.data() + position_, count);
    position_ += count;
    if (read) *read = count;
    return S_OK;
}

HRESULT MemoryStream::Write(const void *buffer, ULONG bytes, ULONG *written) {
    if (written) *written = 0;
    if (!buffer) return STG_E_INVALIDPOINTER;
    if (layer::injected_fault("IStream::Write")) return STG_E_MEDIUMFULL;
    uint64_t end = position_ + bytes;
    if (end > data_.size()) {
        HRESULT grown = resize(end);
        if (FAILED(grown)) return grown;
    }
    if (bytes > 0) std::memcpy(data_.data() + position_, buffer, bytes);
    position_ = end;
    if (written) *written = bytes;
    return S_OK;
}

HRESULT MemoryStream::Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER *position) {
    int64_t base;
    switch (origin) {
    case STREAM_SEEK_SET:
        if (layer::injected_fault("IStream::SeekSet")) return STG_E_SEEKERROR;
        base = 0;
        break;
    case STREAM_SEEK_CUR:
        if (layer::injected_fault("IStream::SeekCur")) return STG_E_SEEKERROR;
        base = int64_t(position_);
        break;
    case STREAM_SEEK_END:
        if (layer::injected_fault("IStream::SeekEnd")) return STG_E_SEEKERROR;
        base = int64_t(data_.size());
        break;
    default:
        return STG_E_INVALIDFUNCTION;
    }
    // Both terms lie within 64-bit range apart from move itself, so compare before adding.
    if (move.QuadPart < -base || move.QuadPart > int64_t(kMaxSize) - base) return STG_E_INVALIDFUNCTION;
    position_ = uint64_t(base + move.QuadPart);
    if (position) position->QuadPart = position_;
    return S_OK;
}

HRESULT MemoryStream::SetSize(ULARGE_INTEGER size) { return resize(size.QuadPart); }

HRESULT MemoryStream::resize(uint64_t size) {
    if (size > kMaxSize) return STG_E_MEDIUMFULL;
    try {
        data_.resize(size_t(size));
    } catch (const std::bad_alloc &) {
        return STG_E_MEDIUMFULL;
    }
    return S_OK;
}

HRESULT MemoryStream::CopyTo(IStream *target, ULARGE_INTEGER bytes, ULARGE_INTEGER *read,
                             ULARGE_INTEGER *written) {
    if (read) read->QuadPart = 0;
    if (written) written->QuadPart = 0;
    if (!target) return STG_E_INVALIDPOINTER;
    uint64_t available = position_ < data_.size() ? data_.size() - position_ : 0;
    uint64_t count = bytes.QuadPart < available ? bytes.QuadPart : available;
    // Counts stay below 4 GB (kMaxSize), so one Write carries them.
    ULONG done = 0;
    HRESULT result = target->Write(data_.data() + position_, ULONG(count), &done);
    position_ += count;
    if (read) read->QuadPart = count;
    if (written) written->QuadPart = done;
    return result;
}

HRESULT MemoryStream::Commit(DWORD) { return S_OK; }

HRESULT MemoryStream::Revert() { return S_OK; }

HRESULT MemoryStream::LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) { return STG_E_INVALIDFUNCTION; }

HRESULT MemoryStream::UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) { return STG_E_INVALIDFUNCTION; }

HRESULT MemoryStream::Stat(STATSTG *stat, DWORD) {
    if (!stat) return STG_E_INVALIDPOINTER;
    std::memset(stat, 0, sizeof *stat);
    stat->type = STGTY_STREAM;
    stat->cbSize.QuadPart = data_.size();
    return S_OK;
}

HRESULT MemoryStream::Clone(IStream **clone) {
    if (clone) *clone = nullptr;
    return E_NOTIMPL;
}

}  // namespace com

// Only fresh memory (global == NULL) is supported: the layer's streams own their bytes, which are
// freed with the stream whatever deleteOnRelease says.
extern "C" HRESULT WINAPI CreateStreamOnHGlobal(HGLOBAL global, BOOL, LPSTREAM *stream) try {
    if (!stream) return E_INVALIDARG;
    *stream = nullptr;
    if (global) return E_NOTIMPL;
    if (layer::injected_fault("CreateStreamOnHGlobal")) return E_OUTOFMEMORY;
    layer::allocation_point();
    *stream = new com::MemoryStream;
    return S_OK;
} OUT_OF_MEMORY_RETURNS(E_OUTOFMEMORY)
