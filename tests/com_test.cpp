// COM: apartment initialisation and the memory stream behind CreateStreamOnHGlobal, driven directly.
#include <gtest/gtest.h>
#include <objbase.h>

#include <cstdlib>
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

TEST_F(StreamTest, RefusesPositionsBeforeTheStartAndUnknownOrigins) {
    write("abc");
    ULARGE_INTEGER position;
    position.QuadPart = 99;
    EXPECT_EQ(stream->Seek(distance(-1), STREAM_SEEK_SET, &position), STG_E_INVALIDFUNCTION);
    EXPECT_EQ(stream->Seek(distance(-4), STREAM_SEEK_END, &position), STG_E_INVALIDFUNCTION);
    EXPECT_EQ(stream->Seek(distance(0), 3, &position), STG_E_INVALIDFUNCTION);
    EXPECT_EQ(position.QuadPart, 99u);
    EXPECT_EQ(seek(0, STREAM_SEEK_CUR), 3u) << "a refused seek leaves the position";
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
    IStream *clone = stream;
    EXPECT_EQ(stream->Clone(&clone), E_NOTIMPL);
    EXPECT_EQ(clone, nullptr);
    ULARGE_INTEGER zero, one;
    zero.QuadPart = 0;
    one.QuadPart = 1;
    EXPECT_EQ(stream->LockRegion(zero, one, 0), STG_E_INVALIDFUNCTION);
    EXPECT_EQ(stream->Commit(0), S_OK);
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

TEST(CreateStreamOnHGlobal, InjectedFaultGivesOutOfMemoryAndNoStream) {
    InjectedFaults faults("CreateStreamOnHGlobal");
    IStream *stream = reinterpret_cast<IStream *>(1);
    EXPECT_EQ(CreateStreamOnHGlobal(NULL, TRUE, &stream), E_OUTOFMEMORY);
    EXPECT_EQ(stream, nullptr);
}

TEST(CreateStreamOnHGlobal, RefusesMissingOutputAndCallerMemory) {
    EXPECT_EQ(CreateStreamOnHGlobal(NULL, TRUE, NULL), E_INVALIDARG);
    IStream *stream = nullptr;
    EXPECT_EQ(CreateStreamOnHGlobal(reinterpret_cast<HGLOBAL>(0x1234), TRUE, &stream), E_NOTIMPL);
    EXPECT_EQ(stream, nullptr);
}

}  // namespace
