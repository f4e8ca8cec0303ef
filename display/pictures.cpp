#include "display/pictures.h"

#include <QBuffer>
#include <cstdio>
#include <memory>

#include "display/population_chart.h"
#include "display/render/palette.h"
#include "display/render/view_render.h"
#include "files/writes_in_progress.h"
#include "sim/cycle_gate.h"
#include "world/counters.h"
#include "world/format.h"
#include "world/grid.h"

namespace kesmir {

namespace {

// Qt maps a PNG quality q to zlib level (100 - q) * 9 / 91: 80 gives level
// 1, the fastest that compresses. A world picture then takes about 15 MB in
// under a second; the default level shrinks it by a fifth more in ten times
// as long.
constexpr int kPngQuality = 80;

}  // namespace

std::string worldPictureName(int32_t cycle) {
    return formatted("world-%d.png", int(cycle));
}

std::string chartPictureName(int32_t cycle) {
    return formatted("populations-%d.png", int(cycle));
}

QImage worldPicture() {
    initPalette();
    QImage image(kWorldSide, kWorldSide, QImage::Format_RGB32);
    drawFrame(reinterpret_cast<uint32_t*>(image.bits()), int(image.bytesPerLine() / 4));
    return image;
}

WriteResult savePng(const QImage& image, const std::string& path) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG", kPngQuality))
        return {false, "cannot encode " + path + " as PNG"};
    return writeFileAtomically(path,
                               std::string_view(bytes.constData(), std::size_t(bytes.size())));
}

void savePictures(int32_t cycle, const QImage& world, const QImage& chart) {
    std::string written;
    const auto save = [&](const QImage& image, const std::string& path) {
        if (image.isNull()) return;
        const WriteResult result = savePng(image, path);
        if (!result.ok) {
            std::fprintf(stderr, "kesmir: %s\n", result.error.c_str());
            return;
        }
        written += (written.empty() ? "" : " and ") + path;
    };
    save(world, worldPictureName(cycle));
    save(chart, chartPictureName(cycle));
    if (!written.empty()) std::fprintf(stderr, "kesmir: wrote %s\n", written.c_str());
}

void saveWorldPictureAtBoundary(int32_t cycle) {
    savePictures(cycle, worldPicture(), QImage());
}

BackgroundPictures::~BackgroundPictures() {
    wait();
}

void BackgroundPictures::save(int32_t cycle, QImage world, QImage chart) {
    // Those already done are let go.
    writers_.remove_if([](Writer& w) {
        if (!w.done->load(std::memory_order_acquire)) return false;
        w.thread.join();
        return true;
    });
    auto done = std::make_shared<std::atomic<bool>>(false);
    // Announced here, so that a run ending while the pictures are encoded
    // still writes them.
    auto ahead = std::make_unique<WriteAhead>();
    std::thread thread([cycle, world = std::move(world), chart = std::move(chart), done,
                        ahead = std::move(ahead)]() mutable {
        savePictures(cycle, world, chart);
        ahead.reset();
        done->store(true, std::memory_order_release);
    });
    writers_.push_back({std::move(thread), std::move(done)});
}

void BackgroundPictures::wait() {
    for (Writer& writer : writers_)
        writer.thread.join();
    writers_.clear();
}

void takePictures(BackgroundPictures& pictures, PopulationChart& chart) {
    int32_t cycle = 0;
    QImage world;
    {
        CycleHold hold;
        cycle = kk;
        world = worldPicture();
    }
    pictures.save(cycle, std::move(world), chart.isVisible() ? chart.picture() : QImage());
}

}  // namespace kesmir
