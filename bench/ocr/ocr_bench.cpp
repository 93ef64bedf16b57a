// Benchmarks of the recogniser: preparation of an A4 page at 300 dpi whose
// text is turned by 2° (whole and in its three steps) beside Leptonica's
// pixDeskew on the same grey page; the word-table reader on 250,000 words;
// and recognize end to end with the engine single-threaded or not.
#include "ocr/engine.h"
#include "ocr/ocr.h"
#include "ocr/prepare.h"
#include "rendered_page.h"

#include <benchmark/benchmark.h>
#include <leptonica/allheaders.h>

#include <QGuiApplication>

#include <cmath>
#include <string>

namespace {

constexpr int a4_width = 2480;
constexpr int a4_height = 3508;
constexpr double page_turn = 2.0;

struct Pages {
    QImage rgba;
    QImage grey;  // the same page as 8-bit grey, given to both deskewers
};

const Pages& pages() {
    static const Pages p = [] {
        Pages made;
        made.rgba = ocr_test::rendered_page(a4_width, a4_height, page_turn);
        made.grey = made.rgba.convertToFormat(QImage::Format_Grayscale8);
        return made;
    }();
    return p;
}

ocr::ImageView view_of(const QImage& image, ocr::PixelFormat format) {
    return {static_cast<std::uint32_t>(image.width()), static_cast<std::uint32_t>(image.height()), format,
            std::span<const std::uint8_t>(image.constBits(), static_cast<std::size_t>(image.sizeInBytes())),
            static_cast<std::size_t>(image.bytesPerLine())};
}

void BM_PrepareImage_GreyPage(benchmark::State& state) {
    const auto view = view_of(pages().grey, ocr::PixelFormat::Gray8);
    for (auto _ : state) benchmark::DoNotOptimize(ocr::prepare_image(view));
    const ocr::GrayImage contrasted = ocr::gray_with_contrast(view);
    state.counters["angle"] = ocr::estimate_skew(contrasted).value_or(0.0);
}

void BM_PrepareImage_RgbaPage(benchmark::State& state) {
    const auto view = view_of(pages().rgba, ocr::PixelFormat::Rgba8);
    for (auto _ : state) benchmark::DoNotOptimize(ocr::prepare_image(view));
}

void BM_Step1_GreyAndContrast_FromRgba(benchmark::State& state) {
    const auto view = view_of(pages().rgba, ocr::PixelFormat::Rgba8);
    for (auto _ : state) benchmark::DoNotOptimize(ocr::gray_with_contrast(view));
}

void BM_Step1_Contrast_FromGrey(benchmark::State& state) {
    const auto view = view_of(pages().grey, ocr::PixelFormat::Gray8);
    for (auto _ : state) benchmark::DoNotOptimize(ocr::gray_with_contrast(view));
}

void BM_Step2_EstimateSkew(benchmark::State& state) {
    const ocr::GrayImage contrasted = ocr::gray_with_contrast(view_of(pages().grey, ocr::PixelFormat::Gray8));
    for (auto _ : state) benchmark::DoNotOptimize(ocr::estimate_skew(contrasted));
    state.counters["angle"] = ocr::estimate_skew(contrasted).value_or(0.0);
}

void BM_Step2a_ReduceForSkew(benchmark::State& state) {
    const ocr::GrayImage contrasted = ocr::gray_with_contrast(view_of(pages().grey, ocr::PixelFormat::Gray8));
    const std::uint32_t w = contrasted.width * ocr::skew_working_side / a4_height;
    for (auto _ : state) benchmark::DoNotOptimize(ocr::resize_triangle(contrasted, w, ocr::skew_working_side));
}

void BM_Step3_Rotate(benchmark::State& state) {
    const ocr::GrayImage contrasted = ocr::gray_with_contrast(view_of(pages().grey, ocr::PixelFormat::Gray8));
    const double angle = ocr::estimate_skew(contrasted).value_or(page_turn);
    for (auto _ : state) benchmark::DoNotOptimize(ocr::rotate_gray(contrasted, angle));
}

PIX* leptonica_grey_page() {
    const QImage& grey = pages().grey;
    PIX* pix = pixCreate(grey.width(), grey.height(), 8);
    l_uint32* data = pixGetData(pix);
    const int wpl = pixGetWpl(pix);
    for (int y = 0; y < grey.height(); ++y) {
        const uchar* row = grey.constScanLine(y);
        l_uint32* line = data + static_cast<std::ptrdiff_t>(y) * wpl;
        for (int x = 0; x < grey.width(); ++x) SET_DATA_BYTE(line, x, row[x]);
    }
    return pix;
}

void BM_Reference_LeptonicaPixDeskew(benchmark::State& state) {
    PIX* pix = leptonica_grey_page();
    for (auto _ : state) {
        PIX* deskewed = pixDeskew(pix, 0);
        benchmark::DoNotOptimize(deskewed);
        pixDestroy(&deskewed);
    }
    // pixDeskew is pixDeskewGeneral with every parameter at its default; ask
    // the latter for the angle it found.
    l_float32 angle = 0.0f, confidence = 0.0f;
    PIX* deskewed = pixDeskewGeneral(pix, 0, 0.0f, 0.0f, 0, 0, &angle, &confidence);
    pixDestroy(&deskewed);
    state.counters["angle"] = angle;
    pixDestroy(&pix);
}

std::string word_table(int words) {
    std::string table = "level\tpage_num\tblock_num\tpar_num\tline_num\tword_num\tleft\ttop\twidth\theight\tconf\ttext\n";
    table.reserve(static_cast<std::size_t>(words) * 48);
    for (int i = 0; i < words; ++i) {
        const int line = i / 12, word = i % 12;
        if (word == 0) table += "4\t1\t1\t1\t" + std::to_string(line) + "\t0\t100\t200\t2000\t40\t-1\t\n";
        table += "5\t1\t" + std::to_string(line / 40) + "\t1\t" + std::to_string(line) + "\t" + std::to_string(word) +
                 "\t" + std::to_string(100 + word * 150) + "\t" + std::to_string(200 + (line % 80) * 40) +
                 "\t140\t38\t" + std::to_string(60 + i % 40) + ".5\tword" + std::to_string(i % 997) + "\n";
    }
    return table;
}

void BM_ParseWordTable_250k(benchmark::State& state) {
    const std::string table = word_table(250'000);
    std::size_t count = 0;
    for (auto _ : state) {
        auto result = ocr::parse_word_table(table, "eng");
        count = result ? result->words.size() : 0;
        benchmark::DoNotOptimize(result);
    }
    state.counters["words"] = static_cast<double>(count);
    state.counters["MB"] = static_cast<double>(table.size()) / 1e6;
}

void BM_Recognize(benchmark::State& state, bool single_threaded) {
    const auto view = view_of(pages().rgba, ocr::PixelFormat::Rgba8);
    ocr::detail::EngineSettings settings;
    settings.single_threaded = single_threaded;
    std::size_t words = 0;
    for (auto _ : state) {
        auto result = ocr::detail::recognize_with(view, "eng", settings);
        if (!result) {
            state.SkipWithError(result.error().message.c_str());
            return;
        }
        words = result->words.size();
    }
    state.counters["words"] = static_cast<double>(words);
}

}  // namespace

BENCHMARK(BM_PrepareImage_GreyPage)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Reference_LeptonicaPixDeskew)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PrepareImage_RgbaPage)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Step1_GreyAndContrast_FromRgba)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Step1_Contrast_FromGrey)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Step2_EstimateSkew)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Step2a_ReduceForSkew)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Step3_Rotate)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ParseWordTable_250k)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Recognize, engine_single_threaded, true)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK_CAPTURE(BM_Recognize, engine_default_threads, false)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

int main(int argc, char** argv) {
    // Fonts need a GUI application; no display is needed to paint into images.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
