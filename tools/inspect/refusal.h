// Why a file was refused: what was expected and where the first fault lies.
#pragma once
#include <cstdint>
#include <string>
#include <utility>

namespace inspect {

struct Refusal {
    std::string expected;  // "a digit or a space", "13107200 bytes (1280 x 1024 ...)", ...
    int64_t offset;        // byte offset of the first fault, -1 when the fault has no place
    std::string file;      // filled in by whoever knows the file's name

    Refusal(std::string expected_text, int64_t fault_offset, std::string file_name = std::string())
        : expected(std::move(expected_text)), offset(fault_offset), file(std::move(file_name)) {}

    // "FILE: expected ...; first fault at byte offset N"
    std::string message() const {
        std::string text = file + ": expected " + expected;
        if (offset >= 0) text += "; first fault at byte offset " + std::to_string(offset);
        return text;
    }
};

}  // namespace inspect
