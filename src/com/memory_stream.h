// The stream CreateStreamOnHGlobal hands out: a position over a block of global memory, which
// the stream's clones share.
#pragma once
#include <objbase.h>

#include <cstdint>
#include <memory>

namespace com {

// The block a stream and its clones share, with the size they see, freed with the last of them
// when the stream was made to free it.
struct SharedGlobal {
    HGLOBAL handle = nullptr;
    ULONG size = 0;
    bool free_on_release = false;

    SharedGlobal() = default;
    SharedGlobal(const SharedGlobal &) = delete;
    SharedGlobal &operator=(const SharedGlobal &) = delete;
    ~SharedGlobal();
};

class MemoryStream final : public IStream {
public:
    static constexpr uint64_t kMaxSize = 0xFFFFFFFFu;  // the largest block a stream can have

    MemoryStream(std::shared_ptr<SharedGlobal> memory, ULONG position)
        : memory_(std::move(memory)), position_(position) {}

    HGLOBAL global() const { return memory_->handle; }
    // Room for `bytes` more past the position, so that writing them does not move the block.
    void make_room(uint64_t bytes);

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
    HRESULT move_to(LARGE_INTEGER move, DWORD origin);
    HRESULT resize(ULONG size);
    uint8_t *lock() const;

    ULONG references_ = 1;
    std::shared_ptr<SharedGlobal> memory_;
    ULONG position_;  // 32-bit, as the streams' blocks hold at most 4 GB - 1
};

}  // namespace com
