// JPEG files made through libjpeg-turbo's API: baseline 4:2:0 and 4:4:4, progressive,
// arithmetic, greyscale, Adobe CMYK, restart markers, an Exif orientation, and broken files.
#include <cstdio>
#include <jpeglib.h>

#include <algorithm>
#include <cstdlib>

#include "test_images.h"

namespace testimages {
namespace {

struct JpegKind {
    int quality = 90;
    int luma_sampling = 2;  // 2: 4:2:0, 1: 4:4:4
    bool progressive = false;
    bool arithmetic = false;
    J_COLOR_SPACE space = JCS_RGB;  // or JCS_GRAYSCALE, JCS_CMYK (stored the Adobe way, inverted)
    unsigned restart_interval = 0;
    std::string exif;  // an APP1 segment's contents
};

// The samples of one row in the input colour space.
std::vector<JSAMPLE> samples(const Picture &picture, int y, J_COLOR_SPACE space) {
    std::vector<JSAMPLE> row;
    for (int x = 0; x < picture.width; ++x) {
        uint32_t p = picture.at(x, y);
        unsigned r = channel(p, 16), g = channel(p, 8), b = channel(p, 0);
        if (space == JCS_GRAYSCALE) {
            row.push_back(JSAMPLE((r * 77 + g * 150 + b * 29) >> 8));
        } else if (space == JCS_CMYK) {
            // Black ink takes the darkness, the other inks what the colour lacks beside its
            // brightest channel; stored as 255 minus the ink.
            unsigned top = std::max({r, g, b});
            for (unsigned c : {r, g, b}) row.push_back(JSAMPLE(top ? c * 255 / top : 255));
            row.push_back(JSAMPLE(top));
        } else {
            for (unsigned c : {r, g, b}) row.push_back(JSAMPLE(c));
        }
    }
    return row;
}

std::string encode(const Picture &picture, const JpegKind &kind) {
    jpeg_compress_struct cinfo;
    jpeg_error_mgr errors;
    cinfo.err = jpeg_std_error(&errors);
    jpeg_create_compress(&cinfo);
    unsigned char *buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = JDIMENSION(picture.width);
    cinfo.image_height = JDIMENSION(picture.height);
    cinfo.in_color_space = kind.space;
    cinfo.input_components = kind.space == JCS_GRAYSCALE ? 1 : kind.space == JCS_CMYK ? 4 : 3;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, kind.quality, TRUE);
    if (kind.space == JCS_RGB) {
        cinfo.comp_info[0].h_samp_factor = kind.luma_sampling;
        cinfo.comp_info[0].v_samp_factor = kind.luma_sampling;
    }
    if (kind.space == JCS_CMYK) cinfo.write_Adobe_marker = TRUE;
    if (kind.progressive) jpeg_simple_progression(&cinfo);
    cinfo.arith_code = kind.arithmetic ? TRUE : FALSE;
    cinfo.restart_interval = kind.restart_interval;
    cinfo.write_JFIF_header = kind.exif.empty() && kind.space != JCS_CMYK ? TRUE : FALSE;
    jpeg_start_compress(&cinfo, TRUE);
    if (!kind.exif.empty())
        jpeg_write_marker(&cinfo, JPEG_APP0 + 1, reinterpret_cast<const JOCTET *>(kind.exif.data()),
                          unsigned(kind.exif.size()));
    while (cinfo.next_scanline < cinfo.image_height) {
        std::vector<JSAMPLE> row = samples(picture, int(cinfo.next_scanline), kind.space);
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    std::string bytes(reinterpret_cast<char *>(buffer), size);
    std::free(buffer);
    return bytes;
}

// An Exif block with one tag: orientation 6 (the picture is to be turned a quarter clockwise).
std::string exif_orientation_6() {
    return std::string("Exif\0\0"
                       "II*\0\x08\0\0\0"
                       "\x01\0"
                       "\x12\x01\x03\0\x01\0\0\0\x06\0\0\0"
                       "\0\0\0\0",
                       6 + 8 + 2 + 12 + 4);
}

// Red in the top-left quarter, black elsewhere.
Picture red_corner(int size) {
    Picture picture(size, size);
    for (int y = 0; y < size / 2; ++y)
        for (int x = 0; x < size / 2; ++x) picture.at(x, y) = argb(255, 255, 0, 0);
    return picture;
}

// Width and height in the first frame header set to 65000 x 65000.
std::string claim_huge_size(std::string jpeg) {
    size_t sof = jpeg.find("\xFF\xC0");
    jpeg.replace(sof + 5, 4, "\xFD\xE8\xFD\xE8");
    return jpeg;
}

}  // namespace

void write_jpeg_images(const std::string &root) {
    Folder folder(root, "jpeg");
    Picture picture = photo(227, 149);
    JpegKind baseline;
    JpegKind full_chroma;
    full_chroma.luma_sampling = 1;
    JpegKind progressive;
    progressive.progressive = true;
    JpegKind arithmetic;
    arithmetic.arithmetic = true;
    JpegKind grey;
    grey.space = JCS_GRAYSCALE;
    JpegKind cmyk;
    cmyk.space = JCS_CMYK;
    JpegKind restarts;
    restarts.restart_interval = 3;
    JpegKind exif;
    exif.exif = exif_orientation_6();
    JpegKind fine;
    fine.quality = 98;

    std::string baseline_bytes = encode(picture, baseline);
    std::string progressive_bytes = encode(picture, progressive);
    folder.add("g/baseline420.jpg", baseline_bytes, "LOAD", "baseline 4:2:0 227x149");
    folder.add("g/baseline444.jpg", encode(picture, full_chroma), "LOAD", "baseline 4:4:4 227x149");
    folder.add("g/progressive.jpg", progressive_bytes, "LOAD", "progressive 4:2:0 227x149");
    folder.add("g/arithmetic.jpg", encode(picture, arithmetic), "LOAD", "arithmetic 4:2:0 227x149");
    folder.add("g/grey.jpg", encode(picture, grey), "LOAD", "greyscale 227x149");
    folder.add("g/restarts.jpg", encode(picture, restarts), "LOAD", "restart markers 227x149");
    folder.add("g/cmyk.jpg", encode(red_corner(100), cmyk), "LOAD", "Adobe CMYK 100x100");
    folder.add("g/exif6.jpg", encode(photo(45, 60), exif), "LOAD", "Exif orientation 6 45x60");
    folder.add("g/photo.jpg", encode(photo(640, 427), fine), "LOAD", "baseline 4:2:0 640x427");

    folder.add("b/truncatedheader.jpg", baseline_bytes.substr(0, 100), "REJECT", "cut in the tables");
    folder.add("b/truncatedhalf.jpg", baseline_bytes.substr(0, baseline_bytes.size() / 2), "REJECT",
               "cut in the scan");
    folder.add("b/truncatedprogressive.jpg", progressive_bytes.substr(0, progressive_bytes.size() / 2), "REJECT",
               "cut in the scans");
    folder.add("b/noend.jpg", baseline_bytes.substr(0, baseline_bytes.size() - 2), "EITHER", "no end marker");
    folder.add("b/garbage.jpg", baseline_bytes.substr(0, 3) + std::string(500, '\x42'), "REJECT",
               "a start marker, then noise");
    folder.add("b/huge.jpg", claim_huge_size(baseline_bytes), "REJECT", "claims 65000x65000");
    // Not in the index: over 64 MB of 32-bit rows, which GDI+ keeps as its file once loaded.
    write_file(root + "/jpeg/large.jpg", encode(photo(4200, 4100), baseline));
}

}  // namespace testimages
