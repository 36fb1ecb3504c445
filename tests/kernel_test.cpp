// Files, sharing, file mappings, handles and global memory of the layer's kernel.
#include <windows.h>
#include <gtest/gtest.h>

#include <algorithm>

#include <fcntl.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "core/faults.h"
#include "kernel/crt_calls.h"
#include "support/bench_run.h"

namespace {

class Kernel : public testing::Test {
protected:
    HANDLE open(const char *name, DWORD access, DWORD share, DWORD disposition) {
        return CreateFileA(name, access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    }
    HANDLE exclusive(const char *name, DWORD disposition = OPEN_EXISTING) {
        return open(name, GENERIC_READ | GENERIC_WRITE, 0, disposition);
    }
    benchtest::Workspace workspace_{false};
    benchtest::WorkingDirectory cwd_{workspace_.dir()};
};

TEST_F(Kernel, DispositionsCreateOpenAndTruncateAsAsked) {
    workspace_.write("old.txt", "contents");
    HANDLE h = open("old.txt", GENERIC_READ, FILE_SHARE_READ, CREATE_NEW);
    EXPECT_EQ(h, INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_EXISTS));

    h = open("old.txt", GENERIC_WRITE, 0, OPEN_ALWAYS);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ALREADY_EXISTS)) << "opened, and said so";
    CloseHandle(h);
    EXPECT_EQ(workspace_.read("old.txt"), "contents");

    h = open("old.txt", GENERIC_WRITE, 0, CREATE_ALWAYS);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ALREADY_EXISTS));
    CloseHandle(h);
    EXPECT_EQ(workspace_.read("old.txt"), "") << "CREATE_ALWAYS truncates";

    h = open("new.txt", GENERIC_WRITE, 0, CREATE_NEW);
    EXPECT_NE(h, INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_SUCCESS));
    CloseHandle(h);
    EXPECT_TRUE(workspace_.exists("new.txt"));

    EXPECT_EQ(open("old.txt", GENERIC_READ, 0, TRUNCATE_EXISTING), INVALID_HANDLE_VALUE) << "needs write access";
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
}

TEST_F(Kernel, FailedOpensSayWhy) {
    EXPECT_EQ(open("missing.txt", GENERIC_READ, 0, OPEN_EXISTING), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(open("nowhere/missing.txt", GENERIC_READ, 0, OPEN_EXISTING), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_PATH_NOT_FOUND));
    EXPECT_EQ(open("nowhere/new.txt", GENERIC_WRITE, 0, CREATE_ALWAYS), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_PATH_NOT_FOUND));
    EXPECT_EQ(open(".", GENERIC_READ, 0, OPEN_EXISTING), INVALID_HANDLE_VALUE) << "a folder is not a file";
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ACCESS_DENIED));
}

TEST_F(Kernel, BackslashesSeparateFolders) {
    mkdir(workspace_.path("sub").c_str(), 0755);
    HANDLE h = open("sub\\file.txt", GENERIC_WRITE, 0, CREATE_ALWAYS);
    EXPECT_NE(h, INVALID_HANDLE_VALUE);
    CloseHandle(h);
    EXPECT_TRUE(workspace_.exists("sub/file.txt"));
}

TEST_F(Kernel, ReadWriteAndSizeRoundTrip) {
    HANDLE h = exclusive("data.bin", CREATE_ALWAYS);
    DWORD done = 0;
    EXPECT_TRUE(WriteFile(h, "0123456789", 10, &done, nullptr));
    EXPECT_EQ(done, 10u);
    DWORD high = 99;
    EXPECT_EQ(GetFileSize(h, &high), 10u);
    EXPECT_EQ(high, 0u);
    CloseHandle(h);

    h = open("data.bin", GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
    char buffer[16] = {};
    EXPECT_TRUE(ReadFile(h, buffer, 4, &done, nullptr));
    EXPECT_EQ(std::string(buffer, done), "0123");
    EXPECT_TRUE(ReadFile(h, buffer, 16, &done, nullptr)) << "a short read at the end succeeds";
    EXPECT_EQ(std::string(buffer, done), "456789");
    EXPECT_TRUE(ReadFile(h, buffer, 16, &done, nullptr));
    EXPECT_EQ(done, 0u);
    EXPECT_FALSE(WriteFile(h, "x", 1, &done, nullptr)) << "opened for reading only";
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ACCESS_DENIED));
    CloseHandle(h);
    EXPECT_FALSE(ReadFile(h, buffer, 1, &done, nullptr)) << "a closed handle";
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
    EXPECT_EQ(GetFileSize(h, nullptr), 0xFFFFFFFFu);
}

TEST_F(Kernel, ShareModeZeroKeepsEveryOtherOpenOut) {
    workspace_.write("new.bmp", "x");
    HANDLE held = exclusive("new.bmp");
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    for (DWORD share : {0u, DWORD(FILE_SHARE_READ), DWORD(FILE_SHARE_READ | FILE_SHARE_WRITE)}) {
        EXPECT_EQ(open("new.bmp", GENERIC_READ, share, OPEN_EXISTING), INVALID_HANDLE_VALUE) << share;
        EXPECT_EQ(GetLastError(), DWORD(ERROR_SHARING_VIOLATION));
    }
    EXPECT_EQ(exclusive("new.bmp", CREATE_ALWAYS), INVALID_HANDLE_VALUE);
    EXPECT_EQ(workspace_.read("new.bmp"), "x") << "a refused CREATE_ALWAYS truncates nothing";
    EXPECT_FALSE(DeleteFileA("new.bmp"));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_SHARING_VIOLATION));
    EXPECT_TRUE(CloseHandle(held));
    HANDLE again = exclusive("new.bmp");
    EXPECT_NE(again, INVALID_HANDLE_VALUE) << "free again once closed";
    CloseHandle(again);
}

TEST_F(Kernel, SharedOpensCoexistButExcludeAnExclusiveOne) {
    workspace_.write("a.txt", "x");
    HANDLE first = open("a.txt", GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
    HANDLE second = open("a.txt", GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
    EXPECT_NE(first, INVALID_HANDLE_VALUE);
    EXPECT_NE(second, INVALID_HANDLE_VALUE);
    EXPECT_EQ(exclusive("a.txt"), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_SHARING_VIOLATION));
    CloseHandle(first);
    CloseHandle(second);
}

// Runs f in a child process and returns its exit status.
template <class F>
int in_child(F f) {
    fflush(nullptr);
    pid_t pid = fork();
    if (pid == 0) _exit(f());
    int status = -1;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST_F(Kernel, ShareModeZeroKeepsOtherProcessesOut) {
    workspace_.write("new.bmp", "x");
    HANDLE held = exclusive("new.bmp");
    int child = in_child([this] {
        HANDLE h = exclusive("new.bmp");
        return h == INVALID_HANDLE_VALUE && GetLastError() == ERROR_SHARING_VIOLATION ? 0 : 1;
    });
    EXPECT_EQ(child, 0) << "another process is refused while the handle lives";
    CloseHandle(held);

    int ready[2], done[2];
    ASSERT_EQ(pipe(ready), 0);
    ASSERT_EQ(pipe(done), 0);
    fflush(nullptr);
    pid_t pid = fork();
    if (pid == 0) {
        HANDLE h = exclusive("new.bmp");
        char c = h != INVALID_HANDLE_VALUE ? 'y' : 'n';
        (void)!write(ready[1], &c, 1);
        (void)!read(done[0], &c, 1);
        _exit(0);
    }
    char c = 0;
    ASSERT_EQ(read(ready[0], &c, 1), 1);
    ASSERT_EQ(c, 'y');
    EXPECT_EQ(exclusive("new.bmp"), INVALID_HANDLE_VALUE) << "the other process holds it";
    EXPECT_EQ(GetLastError(), DWORD(ERROR_SHARING_VIOLATION));
    (void)!write(done[1], "x", 1);
    waitpid(pid, nullptr, 0);
    HANDLE after = exclusive("new.bmp");
    EXPECT_NE(after, INVALID_HANDLE_VALUE) << "free once that process is gone";
    CloseHandle(after);
    for (int fd : {ready[0], ready[1], done[0], done[1]}) close(fd);
}

TEST_F(Kernel, DeleteAndMoveByName) {
    workspace_.write("a.txt", "a");
    workspace_.write("b.txt", "b");
    EXPECT_FALSE(MoveFileExA("a.txt", "b.txt", 0));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ALREADY_EXISTS));
    EXPECT_TRUE(MoveFileExA("a.txt", "b.txt", MOVEFILE_REPLACE_EXISTING));
    EXPECT_EQ(workspace_.read("b.txt"), "a");
    EXPECT_FALSE(workspace_.exists("a.txt"));
    EXPECT_TRUE(DeleteFileA("b.txt"));
    EXPECT_FALSE(DeleteFileA("b.txt"));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_NOT_FOUND));
}

TEST_F(Kernel, MappingsGrowShortFilesAndCheckAccess) {
    workspace_.write("m.bin", "abc");
    HANDLE file = exclusive("m.bin");
    HANDLE mapping = CreateFileMappingA(file, nullptr, PAGE_READWRITE, 0, 8, nullptr);
    ASSERT_TRUE(mapping);
    EXPECT_EQ(workspace_.read("m.bin"), std::string("abc\0\0\0\0\0", 8));
    HANDLE whole = CreateFileMappingA(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
    EXPECT_TRUE(whole) << "size 0 maps the whole (non-empty) file";
    EXPECT_TRUE(CloseHandle(whole));
    EXPECT_TRUE(CloseHandle(mapping));
    EXPECT_FALSE(CloseHandle(mapping));
    CloseHandle(file);

    HANDLE reader = open("m.bin", GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
    EXPECT_EQ(CreateFileMappingA(reader, nullptr, PAGE_READWRITE, 0, 8, nullptr), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ACCESS_DENIED));
    CloseHandle(reader);
    EXPECT_EQ(CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 8, nullptr), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
}

TEST_F(Kernel, AFileWithAMappedViewIsNotTruncated) {
    HANDLE file = open("v.bin", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, CREATE_ALWAYS);
    HANDLE mapping = CreateFileMappingA(file, nullptr, PAGE_READWRITE, 0, 64, nullptr);
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), 4, -4, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void *bits = nullptr;
    HBITMAP section = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, mapping, 0);
    ASSERT_TRUE(section);
    CloseHandle(mapping);
    CloseHandle(file);
    EXPECT_EQ(open("v.bin", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, CREATE_ALWAYS),
              INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_USER_MAPPED_FILE));
    static_cast<uint32_t *>(bits)[15] = 0x01020304;  // the view is still whole
    DeleteObject(section);
    HANDLE again = open("v.bin", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, CREATE_ALWAYS);
    EXPECT_NE(again, INVALID_HANDLE_VALUE) << "truncating is fine once the view is gone";
    CloseHandle(again);
}

TEST_F(Kernel, AViewWhoseFileIsCutShortReadsZerosAndReportsTheDamage) {
    const size_t page = size_t(sysconf(_SC_PAGESIZE));
    HANDLE file = exclusive("cut.bin", CREATE_ALWAYS);
    HANDLE mapping = CreateFileMappingA(file, nullptr, PAGE_READWRITE, 0, DWORD(3 * page), nullptr);
    EXPECT_EQ(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 4096, 0), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_MAPPED_ALIGNMENT));
    auto *view = static_cast<uint8_t *>(MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, 0));
    ASSERT_TRUE(view);
    CloseHandle(mapping);
    CloseHandle(file);
    memset(view, 7, 3 * page);
    EXPECT_TRUE(FlushViewOfFile(view, 0));

    ASSERT_EQ(truncate("cut.bin", off_t(page)), 0) << "another process would do the same";
    EXPECT_EQ(view[2 * page + 5], 0) << "a lost page reads as zero";
    view[page] = 9;  // and takes writes
    EXPECT_EQ(view[page], 9);
    EXPECT_EQ(view[page - 1], 7) << "the pages still in the file are the file's";
    EXPECT_FALSE(FlushViewOfFile(view + page, 1));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_INVALID));
    EXPECT_FALSE(UnmapViewOfFile(view)) << "unmapped, but the writes to the lost pages are gone";
    EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_INVALID));
    EXPECT_FALSE(UnmapViewOfFile(view));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_ADDRESS));
    EXPECT_EQ(workspace_.read("cut.bin"), std::string(page, 7));
}

TEST_F(Kernel, AFaultOutsideEveryViewGoesToTheHandlerBefore) {
    workspace_.write("other.bin", std::string(4096, 'x'));
    int code = in_child([] {
        struct sigaction earlier = {};
        earlier.sa_handler = [](int) { _exit(42); };
        sigaction(SIGBUS, &earlier, nullptr);
        HANDLE file = CreateFileA("other.bin", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        HANDLE mapping = CreateFileMappingA(file, nullptr, PAGE_READWRITE, 0, 0, nullptr);
        MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, 0);  // the layer's handler comes in here
        int fd = ::open("other.bin", O_RDWR);
        auto *foreign = static_cast<volatile uint8_t *>(mmap(nullptr, 4096, PROT_READ, MAP_SHARED, fd, 0));
        if (ftruncate(fd, 0) != 0) return 1;
        return int(foreign[0]);
    });
    EXPECT_EQ(code, 42);
}

TEST_F(Kernel, SpecialFilesAreRefusedAtOnce) {
    ASSERT_EQ(mkfifo("fifo", 0600), 0);
    int listener = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    strcpy(address.sun_path, "socket");
    ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr *>(&address), sizeof(address)), 0);
    for (const char *name : {"fifo", "socket", "/dev/null", "."}) {
        for (DWORD disposition : {DWORD(OPEN_EXISTING), DWORD(CREATE_ALWAYS)}) {
            DWORD access = disposition == CREATE_ALWAYS ? GENERIC_WRITE : GENERIC_READ;
            EXPECT_EQ(open(name, access, FILE_SHARE_READ, disposition), INVALID_HANDLE_VALUE) << name;
            EXPECT_EQ(GetLastError(), DWORD(ERROR_ACCESS_DENIED)) << name;
        }
        for (const char *mode : {"rb", "wb"}) {
            errno = 0;
            EXPECT_EQ(crt_fopen(name, mode), nullptr) << name << " " << mode;
            EXPECT_EQ(errno, EACCES) << name << " " << mode;
        }
    }
    EXPECT_EQ(open("fifo", GENERIC_WRITE, 0, CREATE_NEW), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_EXISTS));
    close(listener);
}

TEST_F(Kernel, ReadOnlyFilesAreNeitherWrittenNorReplacedNorDeleted) {
    workspace_.write("ro.txt", "kept");
    workspace_.write("new.txt", "new");
    chmod("ro.txt", 0444);
    HANDLE reader = open("ro.txt", GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
    EXPECT_NE(reader, INVALID_HANDLE_VALUE) << "reading is fine";
    CloseHandle(reader);
    EXPECT_EQ(open("ro.txt", GENERIC_WRITE, 0, OPEN_EXISTING), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ACCESS_DENIED));
    EXPECT_EQ(crt_fopen("ro.txt", "wb"), nullptr);
    EXPECT_FALSE(MoveFileExA("new.txt", "ro.txt", MOVEFILE_REPLACE_EXISTING));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ACCESS_DENIED));
    EXPECT_FALSE(DeleteFileA("ro.txt"));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ACCESS_DENIED));
    EXPECT_EQ(workspace_.read("ro.txt"), "kept");
    EXPECT_EQ(workspace_.read("new.txt"), "new");

    ASSERT_EQ(mkfifo("fifo", 0600), 0);
    ASSERT_EQ(mkdir("folder", 0700), 0);
    for (const char *target : {"fifo", "folder"}) {
        EXPECT_FALSE(MoveFileExA("new.txt", target, MOVEFILE_REPLACE_EXISTING)) << target;
        EXPECT_EQ(GetLastError(), DWORD(ERROR_ACCESS_DENIED)) << target;
    }
    ASSERT_EQ(symlink("ro.txt", "link"), 0);
    EXPECT_TRUE(MoveFileExA("new.txt", "link", MOVEFILE_REPLACE_EXISTING)) << "a link is replaced, not followed";
    EXPECT_EQ(workspace_.read("ro.txt"), "kept");
    EXPECT_EQ(workspace_.read("link"), "new");
}

TEST_F(Kernel, CloseHandleRefusesWhatIsNotAnOpenHandle) {
    EXPECT_FALSE(CloseHandle(nullptr));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
    EXPECT_FALSE(CloseHandle(INVALID_HANDLE_VALUE));
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, 4);
    EXPECT_FALSE(CloseHandle(block)) << "global memory is freed, not closed";
    GlobalFree(block);
    EXPECT_EQ(GetCurrentProcess(), reinterpret_cast<HANDLE>(-1));
}

TEST_F(Kernel, GlobalMemoryIsZeroedLockedAndFreed) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 1001 * 3);
    ASSERT_TRUE(block);
    EXPECT_EQ(GlobalSize(block), 3003u);
    auto *bytes = static_cast<uint8_t *>(GlobalLock(block));
    ASSERT_TRUE(bytes);
    EXPECT_EQ(std::count(bytes, bytes + 3003, 0), 3003);
    EXPECT_EQ(GlobalLock(block), bytes) << "a second lock gives the same memory";
    EXPECT_TRUE(GlobalUnlock(block)) << "still locked once";
    EXPECT_FALSE(GlobalUnlock(block));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_SUCCESS)) << "the last unlock is not an error";
    EXPECT_EQ(GlobalFree(block), nullptr);
    EXPECT_EQ(GlobalFree(block), block) << "freed twice";
    EXPECT_EQ(GlobalSize(block), 0u);
    EXPECT_EQ(GlobalLock(block), nullptr);
}

TEST_F(Kernel, InjectedFaultsFailTheNamedCalls) {
    workspace_.write("f.bin", "abcd");
    setenv("BENCH_FAULTS", "CreateFileA@2,CreateFileMappingA", 1);
    layer::reload_faults();
    HANDLE first = open("f.bin", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, OPEN_EXISTING);
    HANDLE second = open("f.bin", GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
    HANDLE mapping = CreateFileMappingA(first, nullptr, PAGE_READWRITE, 0, 4, nullptr);
    unsetenv("BENCH_FAULTS");
    layer::reload_faults();
    EXPECT_NE(first, INVALID_HANDLE_VALUE);
    EXPECT_EQ(second, INVALID_HANDLE_VALUE);
    EXPECT_EQ(mapping, nullptr);
    CloseHandle(first);
}

}  // namespace

// The program's realloc keeps a block's bytes as it grows past a megabyte (a large block) and
// shrinks back under it.
TEST(CrtMemory, ReallocKeepsTheBytesAcrossTheLargeSize) {
    const size_t sizes[] = {1000, size_t(3) << 20, size_t(5) << 20, 2000};
    auto *block = static_cast<unsigned char *>(crt_malloc(100));
    for (int i = 0; i < 100; ++i) block[i] = static_cast<unsigned char>(i);
    for (size_t size : sizes) {
        block = static_cast<unsigned char *>(crt_realloc(block, size));
        ASSERT_NE(block, nullptr) << size;
        for (int i = 0; i < 100; ++i) ASSERT_EQ(block[i], i) << size;
    }
    crt_free(block);
}
