// COM declarations: apartment initialisation and the stream on global memory.
#pragma once
#include "winbase.h"
#include "winerror.h"

typedef enum tagSTREAM_SEEK { STREAM_SEEK_SET = 0, STREAM_SEEK_CUR = 1, STREAM_SEEK_END = 2 } STREAM_SEEK;

typedef enum tagSTGC {
    STGC_DEFAULT = 0,
    STGC_OVERWRITE = 1,
    STGC_ONLYIFCURRENT = 2,
    STGC_DANGEROUSLYCOMMITMERELYTODISKCACHE = 4,
    STGC_CONSOLIDATE = 8
} STGC;

typedef struct _FILETIME {
    DWORD dwLowDateTime;
    DWORD dwHighDateTime;
} FILETIME;

typedef struct tagSTATSTG {
    LPWSTR pwcsName;
    DWORD type;
    ULARGE_INTEGER cbSize;
    FILETIME mtime, ctime, atime;
    DWORD grfMode;
    DWORD grfLocksSupported;
    CLSID clsid;
    DWORD grfStateBits;
    DWORD reserved;
} STATSTG;

#define STGTY_STREAM 2
#define STATFLAG_DEFAULT 0
#define STATFLAG_NONAME 1

struct IUnknown {
    virtual HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void **object) = 0;
    virtual ULONG STDMETHODCALLTYPE AddRef() = 0;
    virtual ULONG STDMETHODCALLTYPE Release() = 0;

protected:
    ~IUnknown() = default;
};

struct ISequentialStream : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Read(void *buffer, ULONG bytes, ULONG *read) = 0;
    virtual HRESULT STDMETHODCALLTYPE Write(const void *buffer, ULONG bytes, ULONG *written) = 0;

protected:
    ~ISequentialStream() = default;
};

struct IStream : ISequentialStream {
    virtual HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER *position) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetSize(ULARGE_INTEGER size) = 0;
    virtual HRESULT STDMETHODCALLTYPE CopyTo(IStream *target, ULARGE_INTEGER bytes, ULARGE_INTEGER *read,
                                             ULARGE_INTEGER *written) = 0;
    virtual HRESULT STDMETHODCALLTYPE Commit(DWORD flags) = 0;
    virtual HRESULT STDMETHODCALLTYPE Revert() = 0;
    virtual HRESULT STDMETHODCALLTYPE LockRegion(ULARGE_INTEGER offset, ULARGE_INTEGER bytes, DWORD type) = 0;
    virtual HRESULT STDMETHODCALLTYPE UnlockRegion(ULARGE_INTEGER offset, ULARGE_INTEGER bytes, DWORD type) = 0;
    virtual HRESULT STDMETHODCALLTYPE Stat(STATSTG *stat, DWORD flags) = 0;
    virtual HRESULT STDMETHODCALLTYPE Clone(IStream **clone) = 0;

protected:
    ~IStream() = default;
};
typedef IStream *LPSTREAM;

#ifdef __cplusplus
extern "C" {
#endif
extern const IID IID_IUnknown;
extern const IID IID_ISequentialStream;
extern const IID IID_IStream;
HRESULT WINAPI CoInitialize(LPVOID reserved);
void WINAPI CoUninitialize(void);
HRESULT WINAPI CreateStreamOnHGlobal(HGLOBAL global, BOOL deleteOnRelease, LPSTREAM *stream);
HRESULT WINAPI GetHGlobalFromStream(LPSTREAM stream, HGLOBAL *global);
#ifdef __cplusplus
}
#endif
