#include "kernel/win32_error.h"

#include <cerrno>
#include <string>
#include <sys/stat.h>

namespace kernel {
namespace {

// A missing file whose folder exists is "file not found"; a missing folder is "path not found".
DWORD missing(const char *path) {
    if (!path) return ERROR_FILE_NOT_FOUND;
    std::string folder(path);
    size_t slash = folder.find_last_of('/');
    if (slash == std::string::npos) return ERROR_FILE_NOT_FOUND;
    folder.resize(slash ? slash : 1);
    struct stat info;
    return stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode) ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND;
}

}  // namespace

DWORD error_from_errno(int err, const char *path) {
    switch (err) {
    case 0: return ERROR_SUCCESS;
    case ENOENT: return missing(path);
    case ENOTDIR:
    case ENAMETOOLONG: return ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EISDIR:
    case EROFS:
    case ETXTBSY: return ERROR_ACCESS_DENIED;
    case EEXIST: return ERROR_FILE_EXISTS;
    case ENOSPC:
    case EDQUOT: return ERROR_DISK_FULL;
    case ENOMEM: return ERROR_NOT_ENOUGH_MEMORY;
    case EBADF: return ERROR_INVALID_HANDLE;
    case EINVAL: return ERROR_INVALID_PARAMETER;
    case EWOULDBLOCK: return ERROR_SHARING_VIOLATION;
    default: return ERROR_GEN_FAILURE;
    }
}

bool fail_with_errno(const char *path) {
    SetLastError(error_from_errno(errno, path));
    return false;
}

}  // namespace kernel
