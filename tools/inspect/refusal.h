// Why a file was refused: what was wrong with it and where the first fault lies.
#pragma once
#include <cstdint>
#include <new>
#include <string>
#include <utility>

namespace inspect {

struct Refusal {
    std::string what;  // "expected a digit or a space", "being written by another process", ...
    int64_t offset;    // byte offset of the first fault, -1 when the fault has no place
    std::string file;  // filled in by whoever knows the file's name
    std::string note;  // said after the offset, or empty

    Refusal(std::string what_text, int64_t fault_offset, std::string file_name = std::string())
        : what(std::move(what_text)), offset(fault_offset), file(std::move(file_name)) {}

    // "FILE: expected ...; first fault at byte offset N[; note]"
    std::string message() const {
        std::string text = file + ": " + what;
        if (offset >= 0) text += "; first fault at byte offset " + std::to_string(offset);
        return note.empty() ? text : text + "; " + note;
    }
};

// A refusal saying what the file should have held there.
inline Refusal expected(const std::string &text, int64_t offset) { return Refusal("expected " + text, offset); }

// "N bytes, expected M for WxH (D bytes a pixel)": a length that does not fit the picture's size.
inline std::string length_mismatch(uint64_t size, uint64_t expected_size, int width, int height, int pixel_bytes) {
    return std::to_string(size) + " bytes, expected " + std::to_string(expected_size) + " for " +
           std::to_string(width) + "x" + std::to_string(height) + " (" + std::to_string(pixel_bytes) +
           " bytes a pixel)";
}

// Memory ran out: the tool's limit, not a fault of the file. `what` names what was being done.
struct OutOfMemory : std::bad_alloc {
    std::string text;
    explicit OutOfMemory(std::string what) : text(std::move(what)) {}
    const char *what() const noexcept override { return text.c_str(); }
};

}  // namespace inspect
