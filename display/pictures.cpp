#include "display/pictures.h"

#include <QBuffer>
#include <cstdio>
#include <memory>

#include "display/evolution_window.h"
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

std::string evolutionPictureName(int32_t cycle) {
    return formatted("evolution-%d.png", int(cycle));
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

void savePictures(const std::vector<Picture>& pictures) {
    std::vector<std::string> written;
    for (const Picture& picture : pictures) {
        if (picture.image.isNull()) continue;
        const WriteResult result = savePng(picture.image, picture.path);
        if (!result.ok) {
            std::fprintf(stderr, "kesmir: %s\n", result.error.c_str());
            continue;
        }
        written.push_back(picture.path);
    }
    if (written.empty()) return;
    // "a", "a and b", "a, b and c"
    std::string list = written.front();
    for (std::size_t i = 1; i < written.size(); ++i)
        list += (i + 1 == written.size() ? " and " : ", ") + written[i];
    std::fprintf(stderr, "kesmir: wrote %s\n", list.c_str());
}

void saveWorldPictureAtBoundary(int32_t cycle) {
    // Counted from before the encoding: a quit meanwhile waits for it.
    const WriteAhead ahead;
    savePictures({{worldPictureName(cycle), worldPicture()}});
}

BackgroundPictures::~BackgroundPictures() {
    wait();
}

void BackgroundPictures::save(std::vector<Picture> pictures) {
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
    std::thread thread([pictures = std::move(pictures), done, ahead = std::move(ahead)]() mutable {
        savePictures(pictures);
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

void takePictures(BackgroundPictures& pictures, PopulationChart& chart,
                  EvolutionWindow& evolution) {
    int32_t cycle = 0;
    QImage world;
    {
        CycleHold hold;
        cycle = kk;
        world = worldPicture();
    }
    pictures.save(
        {{worldPictureName(cycle), std::move(world)},
         {chartPictureName(cycle), chart.isVisible() ? chart.picture() : QImage()},
         {evolutionPictureName(cycle), evolution.isVisible() ? evolution.picture() : QImage()}});
}

}  // namespace kesmir
