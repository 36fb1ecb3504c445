// The floor of a JPEG transcode: libjpeg-turbo reading a file, decoding it to RGB and encoding it
// at quality 100 (4:2:0, as the layer's encoder) into memory, with nothing else around it.
#pragma once
#include <jpeglib.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace benchfloor {

inline std::vector<unsigned char> read_file(const std::string &path) {
    std::ifstream file(path, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// The encoded bytes.
inline std::vector<unsigned char> direct_transcode(const std::string &path) {
    std::vector<unsigned char> input = read_file(path);
    jpeg_error_mgr errors;
    jpeg_decompress_struct decoder;
    decoder.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&decoder);
    jpeg_mem_src(&decoder, input.data(), input.size());
    jpeg_read_header(&decoder, TRUE);
    decoder.out_color_space = JCS_RGB;
    jpeg_start_decompress(&decoder);
    size_t stride = size_t(decoder.output_width) * 3;
    std::vector<unsigned char> pixels(stride * decoder.output_height);
    std::vector<JSAMPROW> rows(decoder.output_height);
    for (size_t y = 0; y < rows.size(); ++y) rows[y] = &pixels[y * stride];
    while (decoder.output_scanline < decoder.output_height)
        jpeg_read_scanlines(&decoder, &rows[decoder.output_scanline], decoder.output_height - decoder.output_scanline);
    jpeg_finish_decompress(&decoder);

    jpeg_compress_struct encoder;
    encoder.err = &errors;
    jpeg_create_compress(&encoder);
    unsigned char *output = NULL;
    unsigned long output_size = 0;
    jpeg_mem_dest(&encoder, &output, &output_size);
    encoder.image_width = decoder.output_width;
    encoder.image_height = decoder.output_height;
    encoder.input_components = 3;
    encoder.in_color_space = JCS_RGB;
    jpeg_set_defaults(&encoder);
    jpeg_set_quality(&encoder, 100, TRUE);
    jpeg_start_compress(&encoder, TRUE);
    while (encoder.next_scanline < encoder.image_height)
        jpeg_write_scanlines(&encoder, &rows[encoder.next_scanline], encoder.image_height - encoder.next_scanline);
    jpeg_finish_compress(&encoder);
    jpeg_destroy_compress(&encoder);
    jpeg_destroy_decompress(&decoder);
    std::vector<unsigned char> encoded(output, output + output_size);
    std::free(output);
    return encoded;
}

}  // namespace benchfloor
