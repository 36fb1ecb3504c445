#include "support/gdiplus_image.h"

#include <cstring>
#include <fstream>
#include <iterator>

#include "support/png_image.h"

namespace benchtest {

void expect_same_pixels(const codecs::Raster &a, const codecs::Raster &b, const std::string &what) {
    ASSERT_EQ(a.width, b.width) << what;
    ASSERT_EQ(a.height, b.height) << what;
    EXPECT_EQ(a.has_alpha, b.has_alpha) << what;
    for (int y = 0; y < a.height; ++y)
        ASSERT_EQ(std::memcmp(a.row(y), b.row(y), size_t(a.width) * 4), 0) << what << ", row " << y;
}

void expect_matches_picture(const Loaded &image, const std::string &png, bool with_alpha) {
    RgbaImage picture;
    ASSERT_TRUE(read_png(png, &picture)) << png;
    ASSERT_EQ(image.raster().width, picture.width) << png;
    ASSERT_EQ(image.raster().height, picture.height) << png;
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x) {
            const uint8_t *p = picture.at(x, y);
            ASSERT_EQ(image.at(x, y), argb(with_alpha ? p[3] : 255, p[0], p[1], p[2])) << png << " " << x << "," << y;
        }
}

std::string read_whole(const std::string &path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

DirectJpeg::DirectJpeg(const std::string &bytes, J_COLOR_SPACE space) {
    jpeg_decompress_struct cinfo;
    jpeg_error_mgr errors;
    cinfo.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char *>(bytes.data()), bytes.size());
    jpeg_read_header(&cinfo, TRUE);
    for (int i = 0; i < 2 && cinfo.quant_tbl_ptrs[i]; ++i)
        tables.emplace_back(cinfo.quant_tbl_ptrs[i]->quantval, cinfo.quant_tbl_ptrs[i]->quantval + DCTSIZE2);
    for (int c = 0; c < cinfo.num_components && c < 3; ++c) {
        sampling[c][0] = cinfo.comp_info[c].h_samp_factor;
        sampling[c][1] = cinfo.comp_info[c].v_samp_factor;
    }
    cinfo.out_color_space = space;
    jpeg_start_decompress(&cinfo);
    width = int(cinfo.output_width);
    height = int(cinfo.output_height);
    components = cinfo.output_components;
    pixels.resize(size_t(width) * height * components);
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = &pixels[size_t(cinfo.output_scanline) * width * components];
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
}

std::vector<std::vector<UINT16>> standard_tables(int quality) {
    jpeg_compress_struct cinfo;
    jpeg_error_mgr errors;
    cinfo.err = jpeg_std_error(&errors);
    jpeg_create_compress(&cinfo);
    cinfo.in_color_space = JCS_RGB;
    cinfo.input_components = 3;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    std::vector<std::vector<UINT16>> tables;
    for (int i = 0; i < 2; ++i)
        tables.emplace_back(cinfo.quant_tbl_ptrs[i]->quantval, cinfo.quant_tbl_ptrs[i]->quantval + DCTSIZE2);
    jpeg_destroy_compress(&cinfo);
    return tables;
}

}  // namespace benchtest
