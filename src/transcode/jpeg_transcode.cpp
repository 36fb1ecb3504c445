// Transcodes an image file to "testC.jpg" at quality 100 through a memory stream, then draws the
// source. The bytes go to a temporary file of this process that replaces "testC.jpg" only once it
// is complete, so a failed call never destroys the previous output, and nothing else is touched.
#include <windows.h>
#include <gdiplus.h>
#include <stdio.h>
#include <stdlib.h>

#include "transcode/transcode.h"

static const char kOutputName[] = "testC.jpg";

// Names already taken (a killed run's leftover with a reused process id) are skipped this often.
static const int kNameAttempts = 16;

static void Complain(const char *text) { MessageBoxA(NULL, text, "", MB_OK); }

// Creates a new temporary file beside the output, named by the process id and a counter, so that
// neither another run nor a nested call shares it. CREATE_NEW never opens an existing file and
// never follows a link. INVALID_HANDLE_VALUE when none can be created.
static HANDLE CreateTemporary(char *name, size_t size) {
    static unsigned counter = 0;
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        snprintf(name, size, "%s.%lu.%u.tmp", kOutputName, (unsigned long)GetCurrentProcessId(), counter++);
        HANDLE file = CreateFileA(name, GENERIC_WRITE, 0, NULL, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, NULL);
        if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) return file;
    }
    return INVALID_HANDLE_VALUE;
}

// Copies the whole stream into the file and closes it. Returns 1 on success; 0 after a read
// failure (no message) or -1 after a write or close failure (the caller shows the disk message).
static int CopyStreamToFile(IStream *stream, ULONG size, HANDLE file) {
    unsigned char *buffer = (unsigned char *)malloc(size ? size : 1);
    ULONG bytesRead = 0;
    int result = 0;
    if (buffer != NULL && stream->Read(buffer, size, &bytesRead) == S_OK) {
        DWORD written = 0;
        result = WriteFile(file, buffer, bytesRead, &written, NULL) && written == bytesRead ? 1 : -1;
    }
    if (!CloseHandle(file) && result == 1) result = -1;
    free(buffer);
    return result;
}

// Encodes the image into the stream as JPEG at quality 100.
static Gdiplus::Status SaveAsJpeg(Gdiplus::Image &image, IStream *stream) {
    CLSID encoder;
    ZeroMemory(&encoder, sizeof(encoder));  // no JPEG encoder listed: the save fails
    GetEncoderClsid(L"image/jpeg", &encoder);

    ULONG quality = 100;
    Gdiplus::EncoderParameters params;
    params.Count = 1;
    params.Parameter[0].Guid = Gdiplus::EncoderQuality;
    params.Parameter[0].NumberOfValues = 1;
    params.Parameter[0].Type = Gdiplus::EncoderParameterValueTypeLong;
    params.Parameter[0].Value = &quality;
    return image.Save(stream, &encoder, &params);
}

// Writes the encoded stream to "testC.jpg". Returns 1 on success, 0 on failure (the message, if
// the failure has one, has been shown and the stream released).
static int WriteOutput(IStream *stream) {
    LARGE_INTEGER zero;
    zero.QuadPart = 0;
    ULARGE_INTEGER size;
    if (stream->Seek(zero, STREAM_SEEK_END, &size) != S_OK) {
        stream->Release();
        Complain("Failed to get the size of the stream");
        return 0;
    }
    if (stream->Seek(zero, STREAM_SEEK_SET, NULL) != S_OK) {
        stream->Release();
        Complain("Failed to smove the file pointer to the beginning of the stream!");
        return 0;
    }
    char partial[64];
    HANDLE file = CreateTemporary(partial, sizeof(partial));
    if (file == INVALID_HANDLE_VALUE) {
        stream->Release();
        Complain("Failed to save data to the disk!");
        return 0;
    }
    int copied = CopyStreamToFile(stream, size.LowPart, file);
    if (copied == 1 && !MoveFileExA(partial, kOutputName, MOVEFILE_REPLACE_EXISTING)) copied = -1;
    if (copied != 1) {
        DeleteFileA(partial);
        stream->Release();
        if (copied < 0) Complain("Failed to save data to the disk!");
        return 0;
    }
    return 1;
}

static int TranscodeToJpeg(HDC hdc, const WCHAR *source) {
    Gdiplus::Image image(source, FALSE);
    IStream *stream = NULL;
    if (CreateStreamOnHGlobal(NULL, TRUE, &stream) != S_OK) {
        Complain("Failed to create stream on global memory!");
        return 0;
    }
    if (SaveAsJpeg(image, stream) != Gdiplus::Ok) {
        stream->Release();
        Complain("Failed to save to stream!");
        return 0;
    }
    if (!WriteOutput(stream)) return 0;

    Gdiplus::Graphics graphics(hdc);
    graphics.DrawImage(&image, 0, 0);
    stream->Release();
    return 1;
}

int fn_JPG(HDC hdc) { return TranscodeToJpeg(hdc, L"123A.jpg"); }

int fnConvert(HDC hdc) { return TranscodeToJpeg(hdc, L"testA.bmp"); }
