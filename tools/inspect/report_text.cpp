// The findings as text for people.
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <string>

#include "report.h"

namespace inspect {
namespace {

const char *const kChannels[3] = {"blue", "green", "red"};

std::string format(const char *pattern, ...) __attribute__((format(printf, 1, 2)));
std::string format(const char *pattern, ...) {
    char text[512];
    va_list args;
    va_start(args, pattern);
    vsnprintf(text, sizeof text, pattern, args);
    va_end(args);
    return text;
}

std::string heading(const FileInfo &file) {
    return format("%s: %s, %d x %d pixels", file.file.c_str(), format_description(file.format), file.width,
                  file.height);
}

std::string pixel_values(const uint8_t *bgr) {
    return format("blue %d green %d red %d", bgr[0], bgr[1], bgr[2]);
}

std::string pixel_figures(const Comparison &cmp) {
    std::string text = format("differing pixels %llu of %llu (%.4f%%), tolerance %d\n",
                              (unsigned long long)cmp.differing, (unsigned long long)cmp.pixels,
                              cmp.pixels ? 100.0 * double(cmp.differing) / double(cmp.pixels) : 0.0, cmp.tolerance);
    for (int c = 0; c < 3; ++c)
        text += format("  %-5s difference: max %d, mean %.6g\n", kChannels[c], cmp.max_difference[c],
                       cmp.mean_difference[c]);
    text += std::isinf(cmp.psnr_db) ? std::string("PSNR infinite (identical)\n") : format("PSNR %.2f dB\n", cmp.psnr_db);
    text += "largest channel difference per pixel:";
    for (int band = 0; band < kHistogramBands; ++band)
        text += format(" %s: %llu%s", histogram_band_name(band), (unsigned long long)cmp.histogram[band],
                       band + 1 < kHistogramBands ? "," : "\n");
    if (cmp.differing == 0) return text;
    text += format("differences within x %d to %d, y %d to %d\n", cmp.left, cmp.right, cmp.top, cmp.bottom);
    text += format("first differing pixel x %d, y %d: A %s, B %s\n", cmp.first_x, cmp.first_y,
                   pixel_values(cmp.first_a).c_str(), pixel_values(cmp.first_b).c_str());
    return text;
}

}  // namespace

std::string describe_text(const FileInfo &file, const PictureFigures &figures) {
    std::string text = heading(file) + "\n";
    for (int c = 0; c < 3; ++c)
        text += format("  %-5s min %3d  max %3d  mean %.4f\n", kChannels[c], figures.channel[c].minimum,
                       figures.channel[c].maximum, figures.channel[c].mean);
    return text + format("  distinct colours %llu\n", (unsigned long long)figures.distinct_colours);
}

std::string comparison_text(const FileInfo &a, const FileInfo &b, const Comparison &cmp) {
    std::string text = "A " + heading(a) + "\nB " + heading(b) + "\n";
    if (!cmp.same_size) return text + "different: the sizes differ\n";
    return text + pixel_figures(cmp) + (cmp.equal() ? "equal\n" : "different\n");
}

}  // namespace inspect
