// COM: apartment initialisation and the memory stream behind CreateStreamOnHGlobal, driven directly.
#include <gtest/gtest.h>
#include <objbase.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include "support/injected_faults.h"

namespace {

using benchtest::InjectedFaults;


LARGE_INTEGER distance(LONGLONG value) {
    LARGE_INTEGER move;
    move.QuadPart = value;
    return move;
}

ULONGLONG position_of(IStream *stream) {
    ULARGE_INTEGER position;
    position.QuadPart = ~0ull;
    EXPECT_EQ(stream->Seek(distance(0), STREAM_SEEK_CUR, &position), S_OK);
    return position.QuadPart;
}

// The stream's bytes from its start (up to 256); leaves the position after them.
std::string contents(IStream *stream) {
    EXPECT_EQ(stream->Seek(distance(0), STREAM_SEEK_SET, NULL), S_OK);
    std::string bytes(256, '?');
    ULONG got = 0;
    EXPECT_EQ(stream->Read(&bytes[0], ULONG(bytes.size()), &got), S_OK);
    bytes.resize(got);
    return bytes;
}

HGLOBAL global_of(IStream *stream) {
    HGLOBAL global = nullptr;
    EXPECT_EQ(GetHGlobalFromStream(stream, &global), S_OK);
    return global;
}

HGLOBAL block_holding(UINT flags, const std::string &bytes) {
    HGLOBAL block = GlobalAlloc(flags, bytes.size());
    EXPECT_TRUE(block);
    std::memcpy(GlobalLock(block), bytes.data(), bytes.size());
    GlobalUnlock(block);
    return block;
}

class StreamTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(CreateStreamOnHGlobal(NULL, TRUE, &stream), S_OK); }
    void TearDown() override {
        if (stream) {
            EXPECT_EQ(stream->Release(), 0u);
        }
    }

    void write(const std::string &bytes) {
        ULONG written = 0;
        ASSERT_EQ(stream->Write(bytes.data(), ULONG(bytes.size()), &written), S_OK);
        ASSERT_EQ(written, bytes.size());
    }
    ULONGLONG seek(LONGLONG move, DWORD origin) {
        ULARGE_INTEGER position;
        position.QuadPart = ~0ull;
        EXPECT_EQ(stream->Seek(distance(move), origin, &position), S_OK);
        return position.QuadPart;
    }
    std::string read(ULONG count) {
        std::string bytes(count, '?');
        ULONG got = ~0u;
        EXPECT_EQ(stream->Read(&bytes[0], count, &got), S_OK);
        bytes.resize(got);
        return bytes;
    }
    ULONGLONG size() {
        STATSTG stat;
        EXPECT_EQ(stream->Stat(&stat, STATFLAG_NONAME), S_OK);
        return stat.cbSize.QuadPart;
    }

    IStream *stream = nullptr;
};

// The test program's own thread has COM up already, so each case runs on a thread of its own.
template <class F>
void on_fresh_thread(F f) {
    std::thread(f).join();
}

TEST(Apartment, FirstInitialisationOnAThreadIsOkThenFalseUntilBalanced) {
    on_fresh_thread([] {
        ASSERT_EQ(CoInitialize(NULL), S_OK);
        EXPECT_EQ(CoInitialize(NULL), S_FALSE);
        on_fresh_thread([] {
            EXPECT_EQ(CoInitialize(NULL), S_OK) << "each thread counts for itself";
            CoUninitialize();
        });
        CoUninitialize();
        CoUninitialize();
        EXPECT_EQ(CoInitialize(NULL), S_OK);
        CoUninitialize();
    });
}

TEST(Apartment, InjectedFaultFailsWithoutCounting) {
    on_fresh_thread([] {
        {
            InjectedFaults faults("CoInitialize");
            EXPECT_EQ(CoInitialize(NULL), E_FAIL);
        }
        EXPECT_EQ(CoInitialize(NULL), S_OK);
        CoUninitialize();
    });
}

TEST_F(StreamTest, StartsEmptyAsAStream) {
    STATSTG stat;
    ASSERT_EQ(stream->Stat(&stat, STATFLAG_DEFAULT), S_OK);
    EXPECT_EQ(stat.type, DWORD(STGTY_STREAM));
    EXPECT_EQ(stat.cbSize.QuadPart, 0u);
    EXPECT_EQ(stat.pwcsName, nullptr);
    EXPECT_EQ(seek(0, STREAM_SEEK_END), 0u);
    EXPECT_EQ(read(10), "");
}

TEST_F(StreamTest, SeeksFromEachOriginAndReportsTheNewPosition) {
    write("0123456789");
    EXPECT_EQ(seek(0, STREAM_SEEK_END), 10u);
    EXPECT_EQ(seek(-4, STREAM_SEEK_END), 6u);
    EXPECT_EQ(seek(-2, STREAM_SEEK_CUR), 4u);
    EXPECT_EQ(read(3), "456");
    EXPECT_EQ(seek(0, STREAM_SEEK_CUR), 7u);
    EXPECT_EQ(seek(2, STREAM_SEEK_SET), 2u);
    EXPECT_EQ(read(2), "23");
    EXPECT_EQ(stream->Seek(distance(0), STREAM_SEEK_SET, NULL), S_OK);
    EXPECT_EQ(read(1), "0");
}

TEST_F(StreamTest, ReadNearTheEndIsShortButSucceeds) {
    write("abcdef");
    seek(4, STREAM_SEEK_SET);
    EXPECT_EQ(read(100), "ef");
    EXPECT_EQ(read(100), "");
    seek(50, STREAM_SEEK_SET);
    EXPECT_EQ(read(1), "") << "past the end";
}

TEST_F(StreamTest, WritesGrowTheStreamAndFillGapsWithZeros) {
    write("ab");
    seek(5, STREAM_SEEK_SET);
    write("z");
    EXPECT_EQ(size(), 6u);
    seek(0, STREAM_SEEK_SET);
    EXPECT_EQ(read(6), std::string("ab\0\0\0z", 6));
    seek(1, STREAM_SEEK_SET);
    write("XY");
    seek(0, STREAM_SEEK_SET);
    EXPECT_EQ(read(6), std::string("aXY\0\0z", 6)) << "overwrites in place";

    std::string big(300000, 'q');
    seek(0, STREAM_SEEK_END);
    write(big);
    EXPECT_EQ(size(), 300006u);
}

TEST_F(StreamTest, SetSizeTruncatesOrExtendsAndKeepsThePosition) {
    write("abcdef");
    ULARGE_INTEGER size_value;
    size_value.QuadPart = 3;
    ASSERT_EQ(stream->SetSize(size_value), S_OK);
    EXPECT_EQ(size(), 3u);
    EXPECT_EQ(seek(0, STREAM_SEEK_CUR), 6u);
    size_value.QuadPart = 5;
    ASSERT_EQ(stream->SetSize(size_value), S_OK);
    seek(0, STREAM_SEEK_SET);
    EXPECT_EQ(read(10), std::string("abc\0\0", 5));
}

TEST_F(StreamTest, CopyToMovesBytesFromThePositionOn) {
    write("hello world");
    seek(6, STREAM_SEEK_SET);
    IStream *target = nullptr;
    ASSERT_EQ(CreateStreamOnHGlobal(NULL, TRUE, &target), S_OK);
    ULARGE_INTEGER count, read_count, written_count;
    count.QuadPart = 100;
    EXPECT_EQ(stream->CopyTo(target, count, &read_count, &written_count), S_OK);
    EXPECT_EQ(read_count.QuadPart, 5u);
    EXPECT_EQ(written_count.QuadPart, 5u);
    char bytes[8] = {};
    ULONG got = 0;
    target->Seek(distance(0), STREAM_SEEK_SET, NULL);
    EXPECT_EQ(target->Read(bytes, sizeof bytes, &got), S_OK);
    EXPECT_EQ(std::string(bytes, got), "world");
    target->Release();
}

TEST_F(StreamTest, AnswersForItsInterfacesAndCountsReferences) {
    for (const IID *iid : {&IID_IUnknown, &IID_ISequentialStream, &IID_IStream}) {
        void *object = nullptr;
        ASSERT_EQ(stream->QueryInterface(*iid, &object), S_OK);
        EXPECT_EQ(object, static_cast<void *>(stream));
        EXPECT_EQ(stream->Release(), 1u) << "QueryInterface added a reference";
    }
    const IID other = {0x12345678, 0x1234, 0x1234, {1, 2, 3, 4, 5, 6, 7, 8}};
    void *object = stream;
    EXPECT_EQ(stream->QueryInterface(other, &object), E_NOINTERFACE);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(stream->QueryInterface(IID_IStream, NULL), E_POINTER);

    EXPECT_EQ(stream->AddRef(), 2u);
    EXPECT_EQ(stream->Release(), 1u);
}

TEST_F(StreamTest, UnsupportedOperationsSaySo) {
    ULARGE_INTEGER zero, one;
    zero.QuadPart = 0;
    one.QuadPart = 1;
    EXPECT_EQ(stream->LockRegion(zero, one, 0), STG_E_INVALIDFUNCTION);
    EXPECT_EQ(stream->UnlockRegion(zero, one, 0), STG_E_INVALIDFUNCTION);
    EXPECT_EQ(stream->Commit(0), S_OK);
    EXPECT_EQ(stream->Revert(), S_OK);
    EXPECT_EQ(stream->Read(NULL, 1, NULL), STG_E_INVALIDPOINTER);
    EXPECT_EQ(stream->Write(NULL, 1, NULL), STG_E_INVALIDPOINTER);
}

TEST_F(StreamTest, InjectedFaultsFailTheNamedOperationOnly) {
    write("abc");
    {
        InjectedFaults faults("IStream::SeekEnd,IStream::Read");
        ULARGE_INTEGER position;
        EXPECT_EQ(stream->Seek(distance(0), STREAM_SEEK_END, &position), STG_E_SEEKERROR);
        EXPECT_EQ(seek(0, STREAM_SEEK_SET), 0u);
        char byte;
        ULONG got = 7;
        EXPECT_EQ(stream->Read(&byte, 1, &got), STG_E_READFAULT);
        EXPECT_EQ(got, 0u);
    }
    {
        InjectedFaults faults("IStream::SeekSet,IStream::SeekCur,IStream::Write@2");
        EXPECT_EQ(stream->Seek(distance(0), STREAM_SEEK_SET, NULL), STG_E_SEEKERROR);
        EXPECT_EQ(stream->Seek(distance(-3), STREAM_SEEK_CUR, NULL), STG_E_SEEKERROR);
        EXPECT_EQ(stream->Write("d", 1, NULL), S_OK);
        EXPECT_EQ(stream->Write("e", 1, NULL), STG_E_MEDIUMFULL);
        EXPECT_EQ(stream->Write("f", 1, NULL), S_OK);
    }
    seek(0, STREAM_SEEK_SET);
    EXPECT_EQ(read(10), "dfc") << "the writes went where the failed seek left the position";
}

TEST_F(StreamTest, SeeksByTheLowPartAsASignedDistanceAndReportsThePositionLeftEvenWhenRefused) {
    write("abc");
    const struct {
        const char *what;
        ULONG start;
        LONGLONG move;
        DWORD origin;
        HRESULT result;
        ULONGLONG reported;
    } cases[] = {
        {"unknown origin", 2, 0, 3, STG_E_SEEKERROR, 2},
        {"before the start", 2, -1, STREAM_SEEK_SET, STG_E_SEEKERROR, 2},
        {"before the start, from the end", 2, -4, STREAM_SEEK_END, STG_E_SEEKERROR, 2},
        {"back to the start", 2, -2, STREAM_SEEK_CUR, S_OK, 0},
        {"one before the start", 2, -3, STREAM_SEEK_CUR, STG_E_SEEKERROR, 2},
        {"a positive high part is ignored", 2, 0x100000001LL, STREAM_SEEK_CUR, S_OK, 3},
        {"a negative 64-bit move counts by its low part", 2, -0x100000000LL, STREAM_SEEK_CUR, S_OK, 2},
        {"a low part of 2 GB is negative", 2, 0x80000000LL, STREAM_SEEK_SET, STG_E_SEEKERROR, 2},
        {"2 GB - 1 far past the end", 0, 0x7FFFFFFF, STREAM_SEEK_SET, S_OK, 0x7FFFFFFF},
        {"beyond 2 GB by steps", 0x7FFFFFFF, 9, STREAM_SEEK_CUR, S_OK, 0x80000008u},
        {"up to 4 GB - 2", 0x7FFFFFFF, 0x7FFFFFFF, STREAM_SEEK_CUR, S_OK, 0xFFFFFFFEu},
    };
    for (const auto &c : cases) {
        seek(c.start, STREAM_SEEK_SET);
        ULARGE_INTEGER position;
        position.QuadPart = ~0ull;
        EXPECT_EQ(stream->Seek(distance(c.move), c.origin, &position), c.result) << c.what;
        EXPECT_EQ(position.QuadPart, c.reported) << c.what;
    }
}

TEST_F(StreamTest, SetSizeTakesOnlyTheLowPart) {
    const struct {
        DWORD low, high;
        ULONGLONG size;
    } cases[] = {{5, 0xFFFFFFFF, 5}, {0, 0xFFFFFFFF, 0}, {7, 1, 7}};
    for (const auto &c : cases) {
        ULARGE_INTEGER wanted;
        wanted.LowPart = c.low;
        wanted.HighPart = c.high;
        EXPECT_EQ(stream->SetSize(wanted), S_OK) << c.low << " high " << c.high;
        EXPECT_EQ(size(), c.size);
    }
}

TEST_F(StreamTest, ClonesShareTheBlockAndSizeEachWithItsOwnPositionAndCount) {
    write("hello");
    IStream *clone = nullptr;
    ASSERT_EQ(stream->Clone(&clone), S_OK);
    EXPECT_EQ(position_of(clone), 5u) << "starts where the original is";
    EXPECT_EQ(global_of(clone), global_of(stream));
    write(" world");
    EXPECT_EQ(contents(clone), "hello world");
    EXPECT_EQ(position_of(stream), 11u) << "the clone's reads leave the original's position";
    EXPECT_EQ(stream->Release(), 0u);
    stream = nullptr;
    ULARGE_INTEGER two;
    two.QuadPart = 2;
    ASSERT_EQ(clone->SetSize(two), S_OK) << "the clone outlives the original";
    EXPECT_EQ(contents(clone), "he");
    EXPECT_EQ(clone->Release(), 0u);
}

TEST_F(StreamTest, CopyToItsOwnCloneAppendsWhileTheBlockGrows) {
    write("abc");
    IStream *clone = nullptr;
    ASSERT_EQ(stream->Clone(&clone), S_OK);
    seek(0, STREAM_SEEK_SET);
    ULARGE_INTEGER three, read_count, written_count;
    three.QuadPart = 3;
    EXPECT_EQ(stream->CopyTo(clone, three, &read_count, &written_count), S_OK);
    EXPECT_EQ(read_count.QuadPart, 3u);
    EXPECT_EQ(written_count.QuadPart, 3u);
    EXPECT_EQ(contents(stream), "abcabc");
    clone->Release();
}

TEST(CreateStreamOnHGlobal, OverCallerMemoryKeepsItsSizeAndBytesAndFreesItOnlyWhenAsked) {
    const struct {
        UINT flags;
        BOOL free_on_release;
    } cases[] = {{GMEM_MOVEABLE, FALSE}, {GMEM_MOVEABLE, TRUE}, {GMEM_FIXED, FALSE}, {GMEM_FIXED, TRUE}};
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << "flags " << c.flags << " free " << c.free_on_release);
        HGLOBAL block = block_holding(c.flags, "abcdef");
        IStream *stream = nullptr;
        ASSERT_EQ(CreateStreamOnHGlobal(block, c.free_on_release, &stream), S_OK);
        EXPECT_EQ(global_of(stream), block);
        EXPECT_EQ(position_of(stream), 0u);
        EXPECT_EQ(contents(stream), "abcdef");
        EXPECT_EQ(stream->Release(), 0u);
        EXPECT_EQ(GlobalFree(block) == nullptr, !c.free_on_release) << "freed with the stream";
    }
}

TEST(CreateStreamOnHGlobal, GrowingAFixedBlockMovesItAndEveryCloneFollows) {
    HGLOBAL block = block_holding(GMEM_FIXED, "x");
    IStream *stream = nullptr, *clone = nullptr;
    ASSERT_EQ(CreateStreamOnHGlobal(block, TRUE, &stream), S_OK);
    ASSERT_EQ(stream->Clone(&clone), S_OK);
    ULARGE_INTEGER grown;
    grown.QuadPart = 0x8000;
    ASSERT_EQ(stream->SetSize(grown), S_OK);
    HGLOBAL moved = global_of(stream);
    EXPECT_NE(moved, block);
    EXPECT_EQ(global_of(clone), moved);
    EXPECT_EQ(GlobalSize(moved), 0x8000u);
    EXPECT_EQ(contents(clone).substr(0, 2), std::string("x\0", 2));
    stream->Release();
    clone->Release();
}

TEST(CreateStreamOnHGlobal, AfterTheBlockIsFreedReadsAreEmptyAndGrowingRunsOutOfMemory) {
    HGLOBAL block = block_holding(GMEM_MOVEABLE, "abc");
    IStream *stream = nullptr;
    ASSERT_EQ(CreateStreamOnHGlobal(block, FALSE, &stream), S_OK);
    EXPECT_EQ(contents(stream), "abc");
    GlobalFree(block);
    char bytes[8] = {};
    ULONG count = ~0u;
    EXPECT_EQ(stream->Read(bytes, sizeof bytes, &count), S_OK);
    EXPECT_EQ(count, 0u);
    ULARGE_INTEGER bigger;
    bigger.QuadPart = 8;
    EXPECT_EQ(stream->SetSize(bigger), E_OUTOFMEMORY);
    count = ~0u;
    EXPECT_EQ(stream->Write(bytes, sizeof bytes, &count), E_OUTOFMEMORY);
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(stream->Release(), 0u);
}

TEST(GetHGlobalFromStream, GivesTheStreamsBlockAndRefusesMissingArguments) {
    IStream *stream = nullptr;
    ASSERT_EQ(CreateStreamOnHGlobal(NULL, TRUE, &stream), S_OK);
    ASSERT_EQ(stream->Write("abcd", 4, NULL), S_OK);
    EXPECT_EQ(GlobalSize(global_of(stream)), 4u) << "a block of the stream's own, sized as the stream";
    HGLOBAL global = nullptr;
    EXPECT_EQ(GetHGlobalFromStream(stream, NULL), E_INVALIDARG);
    EXPECT_EQ(GetHGlobalFromStream(NULL, &global), E_INVALIDARG);
    stream->Release();
}

TEST(GlobalMemory, ReAllocKeepsMovableHandlesAndMovesAGrowingFixedBlock) {
    const struct {
        const char *what;
        UINT kind;
        SIZE_T from, to;
        UINT flags;
        bool same_handle;
    } cases[] = {
        {"movable grows", GMEM_MOVEABLE, 4, 5000, GMEM_MOVEABLE, true},
        {"movable grows, unlocked, without the flag", GMEM_MOVEABLE, 4, 5000, 0, true},
        {"movable shrinks", GMEM_MOVEABLE, 5000, 4, GMEM_MOVEABLE, true},
        {"fixed shrinks in place", GMEM_FIXED, 5000, 4, GMEM_MOVEABLE, true},
        {"fixed grows far and moves", GMEM_FIXED, 1, 0x8000, GMEM_MOVEABLE, false},
    };
    for (const auto &c : cases) {
        HGLOBAL block = block_holding(c.kind, std::string(c.from, 'k'));
        HGLOBAL resized = GlobalReAlloc(block, c.to, c.flags);
        ASSERT_TRUE(resized) << c.what;
        EXPECT_EQ(resized == block, c.same_handle) << c.what;
        EXPECT_EQ(GlobalSize(resized), c.to) << c.what;
        EXPECT_EQ(*static_cast<char *>(GlobalLock(resized)), 'k') << c.what;
        GlobalUnlock(resized);
        if (!c.same_handle) {
            EXPECT_EQ(GlobalSize(block), 0u) << c.what << ": the old handle is gone";
        }
        GlobalFree(resized);
    }
}

TEST(GlobalMemory, FlagsCountLocksAndMarkAnEmptyMovableBlockDiscarded) {
    HGLOBAL empty = GlobalAlloc(GMEM_MOVEABLE, 0);
    ASSERT_TRUE(empty);
    EXPECT_EQ(GlobalFlags(empty), UINT(GMEM_DISCARDED));
    EXPECT_EQ(GlobalLock(empty), nullptr);
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, 8);
    GlobalLock(block);
    GlobalLock(block);
    EXPECT_EQ(GlobalFlags(block), 2u);
    GlobalFree(block);
    GlobalFree(empty);
    EXPECT_EQ(GlobalFlags(block), UINT(GMEM_INVALID_HANDLE));
}

TEST(CreateStreamOnHGlobal, InjectedFaultGivesOutOfMemoryAndNoStream) {
    InjectedFaults faults("CreateStreamOnHGlobal");
    IStream *stream = reinterpret_cast<IStream *>(1);
    EXPECT_EQ(CreateStreamOnHGlobal(NULL, TRUE, &stream), E_OUTOFMEMORY);
    EXPECT_EQ(stream, nullptr);
}

TEST(CreateStreamOnHGlobal, RefusesMissingOutput) {
    EXPECT_EQ(CreateStreamOnHGlobal(NULL, TRUE, NULL), E_INVALIDARG);
}

}  // namespace
