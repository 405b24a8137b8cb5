// GIF export of a 1024 x 768 board page (pen drawing over a photograph), ours next to ImageMagick's and
// giflib's encoders in the same run: time, file size and mean error of the decoded picture.
// The outside encoders are timed as whole processes (std::system) on the same picture written as PPM or
// raw RGB; ImageMagick's read-only run shows how much of its time is start-up and reading.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "lmboard2/gif/ClipToGif.h"

namespace
{
namespace fs = std::filesystem;

constexpr int kWidth = 1024;
constexpr int kHeight = 768;
const char* const kConvert = "/usr/bin/convert";
const char* const kGif2Rgb = "/usr/bin/gif2rgb";

struct Rgb
{
    float r, g, b;
};

// Smooth value noise in 0..1, several octaves.
class Noise
{
public:
    explicit Noise(uint32_t nSeed) : m_grid(kCells * kCells)
    {
        std::mt19937 rng(nSeed);
        for (float& v : m_grid)
            v = std::uniform_real_distribution<float>(0, 1)(rng);
    }
    float operator()(float x, float y) const
    {
        float sum = 0, amp = 0.5f, total = 0;
        for (int o = 0; o < 4; ++o, x *= 2, y *= 2, amp *= 0.5f)
        {
            sum += amp * Smooth(x, y);
            total += amp;
        }
        return sum / total;
    }

private:
    static constexpr int kCells = 256;
    float At(int x, int y) const { return m_grid[(y & (kCells - 1)) * kCells + (x & (kCells - 1))]; }
    float Smooth(float x, float y) const
    {
        const int ix = static_cast<int>(std::floor(x)), iy = static_cast<int>(std::floor(y));
        float fx = x - ix, fy = y - iy;
        fx = fx * fx * (3 - 2 * fx);
        fy = fy * fy * (3 - 2 * fy);
        const float a = At(ix, iy) + (At(ix + 1, iy) - At(ix, iy)) * fx;
        const float b = At(ix, iy + 1) + (At(ix + 1, iy + 1) - At(ix, iy + 1)) * fx;
        return a + (b - a) * fy;
    }
    std::vector<float> m_grid;
};

class Page
{
public:
    Page() : m_px(static_cast<size_t>(kWidth) * kHeight) {}

    Rgb& At(int x, int y) { return m_px[static_cast<size_t>(y) * kWidth + x]; }

    // A landscape photograph: sky, sun, textured hills, a lake, sensor noise.
    void Photo()
    {
        Noise noise(7);
        std::mt19937 rng(11);
        std::normal_distribution<float> grain(0, 3);
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x)
            {
                const float fx = x / float(kWidth), fy = y / float(kHeight);
                Rgb c{90 + 100 * fy, 140 + 80 * fy, 230 - 20 * fy}; // sky
                const float sun = std::hypot(fx - 0.78f, fy - 0.18f);
                const float glow = std::max(0.0f, 1 - sun * 5);
                c = {c.r + 150 * glow, c.g + 120 * glow, c.b + 40 * glow};
                const float cloud = noise(fx * 6, fy * 12);
                if (cloud > 0.55f)
                {
                    const float k = std::min(1.0f, (cloud - 0.55f) * 5);
                    c = {c.r + (245 - c.r) * k, c.g + (245 - c.g) * k, c.b + (250 - c.b) * k};
                }
                const float ridge = 0.45f + 0.15f * noise(fx * 3, 1.5f);
                if (fy > ridge)
                {
                    const float t = noise(fx * 40, fy * 40);
                    const float shade = 0.6f + 0.6f * t;
                    c = {(60 + 60 * fy) * shade, (110 + 40 * fy) * shade, (40 + 20 * t) * shade};
                }
                if (fy > 0.8f) // lake
                {
                    const float w = noise(fx * 80, fy * 10);
                    c = {40 + 40 * w, 80 + 50 * w, 130 + 60 * w};
                }
                m_px[static_cast<size_t>(y) * kWidth + x] = {c.r + grain(rng), c.g + grain(rng),
                                                             c.b + grain(rng)};
            }
    }

    // An antialiased pen stroke through the points.
    void Stroke(const std::vector<std::pair<float, float>>& pts, float fWidth, Rgb pen, float fAlpha = 1)
    {
        for (size_t i = 1; i < pts.size(); ++i)
            Segment(pts[i - 1], pts[i], fWidth, pen, fAlpha);
    }

    // Board drawing: handwriting lines, a highlighter band, a box, a circle, an arrow, a freehand curve.
    void Drawing()
    {
        std::mt19937 rng(3);
        std::uniform_real_distribution<float> jitter(-1, 1);
        const Rgb black{10, 10, 10}, red{230, 20, 20}, blue{20, 40, 220}, yellow{255, 240, 0};
        for (int line = 0; line < 6; ++line)
        {
            float x = 80;
            const float y = 90 + line * 45.0f;
            while (x < 600)
            {
                std::vector<std::pair<float, float>> word;
                const float len = 30 + 60 * (jitter(rng) + 1);
                for (float t = 0; t < len; t += 2)
                    word.push_back({x + t, y + 8 * std::sin(t * 0.6f + jitter(rng)) + 3 * jitter(rng)});
                Stroke(word, 2.5f, line % 3 == 2 ? blue : black);
                x += len + 18;
            }
        }
        Stroke({{70, 190}, {620, 190}}, 24, yellow, 0.45f);
        Stroke({{660, 420}, {960, 420}, {960, 700}, {660, 700}, {660, 420}}, 4, blue);
        std::vector<std::pair<float, float>> circle;
        for (int i = 0; i <= 90; ++i)
            circle.push_back({810 + 110 * std::cos(i * 0.0698f), 560 + 90 * std::sin(i * 0.0698f)});
        Stroke(circle, 5, red);
        Stroke({{120, 650}, {560, 470}}, 6, red);
        Stroke({{560, 470}, {520, 470}}, 6, red);
        Stroke({{560, 470}, {535, 500}}, 6, red);
        std::vector<std::pair<float, float>> curve;
        for (float t = 0; t < 12; t += 0.02f)
            curve.push_back({150 + t * 35, 560 + 60 * std::sin(t) * std::cos(t * 0.4f)});
        Stroke(curve, 3, black);
    }

    // Bottom-up B G R rows padded to 4 bytes.
    std::vector<uint8_t> Dib() const
    {
        const size_t nStride = static_cast<size_t>(Dib24Stride(kWidth));
        std::vector<uint8_t> out(nStride * kHeight, 0);
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x)
            {
                const uint8_t* c = Byte(x, y);
                uint8_t* p = out.data() + nStride * (kHeight - 1 - y) + x * 3;
                p[0] = c[2], p[1] = c[1], p[2] = c[0];
            }
        return out;
    }

    // Top-down R G B bytes.
    std::vector<uint8_t> Rgb24() const
    {
        std::vector<uint8_t> out;
        out.reserve(m_px.size() * 3);
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x)
            {
                const uint8_t* c = Byte(x, y);
                out.insert(out.end(), c, c + 3);
            }
        return out;
    }

private:
    const uint8_t* Byte(int x, int y) const
    {
        static thread_local uint8_t c[3];
        const Rgb& p = m_px[static_cast<size_t>(y) * kWidth + x];
        c[0] = static_cast<uint8_t>(std::clamp(p.r, 0.0f, 255.0f) + 0.5f);
        c[1] = static_cast<uint8_t>(std::clamp(p.g, 0.0f, 255.0f) + 0.5f);
        c[2] = static_cast<uint8_t>(std::clamp(p.b, 0.0f, 255.0f) + 0.5f);
        return c;
    }

    void Segment(std::pair<float, float> a, std::pair<float, float> b, float fWidth, Rgb pen, float fAlpha)
    {
        const float r = fWidth / 2 + 1;
        const int x0 = std::max(0, int(std::min(a.first, b.first) - r)),
                  x1 = std::min(kWidth - 1, int(std::max(a.first, b.first) + r));
        const int y0 = std::max(0, int(std::min(a.second, b.second) - r)),
                  y1 = std::min(kHeight - 1, int(std::max(a.second, b.second) + r));
        const float dx = b.first - a.first, dy = b.second - a.second, len2 = dx * dx + dy * dy;
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x)
            {
                float t = len2 > 0 ? ((x - a.first) * dx + (y - a.second) * dy) / len2 : 0;
                t = std::clamp(t, 0.0f, 1.0f);
                const float d = std::hypot(x - (a.first + t * dx), y - (a.second + t * dy));
                const float cover = std::clamp(fWidth / 2 + 0.5f - d, 0.0f, 1.0f) * fAlpha;
                if (cover <= 0) continue;
                Rgb& p = At(x, y);
                p = {p.r + (pen.r - p.r) * cover, p.g + (pen.g - p.g) * cover, p.b + (pen.b - p.b) * cover};
            }
    }

    std::vector<Rgb> m_px;
};

struct Fixture
{
    fs::path dir;
    std::vector<uint8_t> dib;
    std::vector<uint8_t> rgb;
    fs::path ppm, raw;

    Fixture()
    {
        Page page;
        page.Photo();
        page.Drawing();
        dib = page.Dib();
        rgb = page.Rgb24();
        dir = fs::temp_directory_path() / ("bench_gif_export_" + std::to_string(getpid()));
        fs::create_directories(dir);
        ppm = dir / "page.ppm";
        raw = dir / "page.rgb";
        std::ofstream p(ppm, std::ios::binary);
        p << "P6\n" << kWidth << " " << kHeight << "\n255\n";
        p.write(reinterpret_cast<const char*>(rgb.data()), static_cast<std::streamsize>(rgb.size()));
        std::ofstream(raw, std::ios::binary)
            .write(reinterpret_cast<const char*>(rgb.data()), static_cast<std::streamsize>(rgb.size()));
    }
    ~Fixture() { fs::remove_all(dir); }

    // Mean absolute channel error of a GIF file against the page, decoded by ImageMagick; -1 if it fails.
    double MeanError(const fs::path& gif) const
    {
        const fs::path back = dir / "back.rgb";
        const std::string cmd =
            std::string(kConvert) + " '" + gif.string() + "' -depth 8 'rgb:" + back.string() + "'";
        if (std::system(cmd.c_str()) != 0) return -1;
        std::ifstream in(back, std::ios::binary);
        const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        if (bytes.size() != rgb.size()) return -1;
        double sum = 0;
        for (size_t i = 0; i < rgb.size(); ++i)
            sum += std::abs(int(uint8_t(bytes[i])) - int(rgb[i]));
        return sum / rgb.size();
    }
};

Fixture& Page()
{
    static Fixture fixture;
    return fixture;
}

void Ours(benchmark::State& state)
{
    Fixture& f = Page();
    const S_PIXELS24 pic{f.dib.data(), f.dib.size(), kWidth, kHeight};
    std::string gif;
    for (auto _ : state)
    {
        std::ostringstream out;
        if (!CClipToGif().WriteGif(pic, out)) state.SkipWithError("writing failed");
        gif = out.str();
        benchmark::DoNotOptimize(gif.data());
    }
    const fs::path path = f.dir / "ours.gif";
    std::ofstream(path, std::ios::binary).write(gif.data(), static_cast<std::streamsize>(gif.size()));
    state.counters["bytes"] = static_cast<double>(gif.size());
    state.counters["mean_err"] = f.MeanError(path);
}

// One outside process per iteration; its output file is measured afterwards.
void Tool(benchmark::State& state, const char* pTool, std::string (*pCommand)(const Fixture&),
          const char* pOut)
{
    Fixture& f = Page();
    if (!fs::exists(pTool))
    {
        state.SkipWithError("tool missing");
        return;
    }
    const std::string cmd = pCommand(f);
    for (auto _ : state)
        if (std::system(cmd.c_str()) != 0) state.SkipWithError("tool failed");
    if (!pOut) return;
    const fs::path out = f.dir / pOut;
    state.counters["bytes"] = static_cast<double>(fs::file_size(out));
    state.counters["mean_err"] = f.MeanError(out);
}

void ImageMagick(benchmark::State& state)
{
    Tool(
        state, kConvert,
        [](const Fixture& f) {
            return std::string(kConvert) + " '" + f.ppm.string() + "' '" + (f.dir / "magick.gif").string() +
                   "'";
        },
        "magick.gif");
}

// ImageMagick spreads its work over every core; ours runs on one.
void ImageMagickOneThread(benchmark::State& state)
{
    Tool(
        state, kConvert,
        [](const Fixture& f)
        {
            return "MAGICK_THREAD_LIMIT=1 " + std::string(kConvert) + " '" + f.ppm.string() + "' '" +
                   (f.dir / "magick1.gif").string() + "'";
        },
        "magick1.gif");
}

void ImageMagickReadOnly(benchmark::State& state)
{
    Tool(
        state, kConvert,
        [](const Fixture& f) { return std::string(kConvert) + " '" + f.ppm.string() + "' null:"; }, nullptr);
}

void Giflib(benchmark::State& state)
{
    Tool(
        state, kGif2Rgb,
        [](const Fixture& f)
        {
            return std::string(kGif2Rgb) + " -1 -s " + std::to_string(kWidth) + " " +
                   std::to_string(kHeight) + " '" + f.raw.string() + "' > '" +
                   (f.dir / "giflib.gif").string() + "'";
        },
        "giflib.gif");
}
} // namespace

BENCHMARK(Ours)->Name("gif_export/ours")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(ImageMagick)->Name("gif_export/imagemagick_convert")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(ImageMagickOneThread)
    ->Name("gif_export/imagemagick_convert_1_thread")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(ImageMagickReadOnly)
    ->Name("gif_export/imagemagick_read_only")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(Giflib)->Name("gif_export/giflib_gif2rgb")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_MAIN();
