// A growable stream in memory, the stream CreateStreamOnHGlobal hands out.
#pragma once
#include <objbase.h>

#include <cstdint>
#include <vector>

namespace com {

class MemoryStream final : public IStream {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void **object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    HRESULT STDMETHODCALLTYPE Read(void *buffer, ULONG bytes, ULONG *read) override;
    HRESULT STDMETHODCALLTYPE Write(const void *buffer, ULONG bytes, ULONG *written) override;

    HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER *position) override;
    HRESULT STDMETHODCALLTYPE SetSize(ULARGE_INTEGER size) override;
    HRESULT STDMETHODCALLTYPE CopyTo(IStream *target, ULARGE_INTEGER bytes, ULARGE_INTEGER *read,
                                     ULARGE_INTEGER *written) override;
    HRESULT STDMETHODCALLTYPE Commit(DWORD flags) override;
    HRESULT STDMETHODCALLTYPE Revert() override;
    HRESULT STDMETHODCALLTYPE LockRegion(ULARGE_INTEGER offset, ULARGE_INTEGER bytes, DWORD type) override;
    HRESULT STDMETHODCALLTYPE UnlockRegion(ULARGE_INTEGER offset, ULARGE_INTEGER bytes, DWORD type) override;
    HRESULT STDMETHODCALLTYPE Stat(STATSTG *stat, DWORD flags) override;
    HRESULT STDMETHODCALLTYPE Clone(IStream **clone) override;

private:
    // Streams on global memory hold at most 4 GB - 1, as global memory blocks do.
    static constexpr uint64_t kMaxSize = 0xFFFFFFFFu;

    HRESULT resize(uint64_t size);

    ULONG references_ = 1;
    std::vector<uint8_t> data_;
    uint64_t position_ = 0;
};

}  // namespace com
