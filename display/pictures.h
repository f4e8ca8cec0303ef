// Pictures of the run as PNG files in the working directory:
// "world-CYCLE.png", the whole world one pixel per cell in the view's
// colours without the overlay, and "populations-CYCLE.png", the chart. Each
// is encoded in memory and written by writeFileAtomically, so an interrupted
// write never leaves half a picture.
#pragma once

#include <QImage>
#include <atomic>
#include <cstdint>
#include <list>
#include <memory>
#include <string>
#include <thread>

#include "files/safe_file.h"

namespace kesmir {

std::string worldPictureName(int32_t cycle);
std::string chartPictureName(int32_t cycle);

// The world as the view draws it at one pixel per cell (drawFrame): 3500 x
// 3500, RGB. Take it while the world is still (the simulation held) for a
// picture of one moment.
QImage worldPicture();

WriteResult savePng(const QImage& image, const std::string& path);

// Saves each picture that is not null, then tells the console in one line
// what was written (and on stderr what failed).
void savePictures(int32_t cycle, const QImage& world, const QImage& chart);

// The simulation thread's picture every N cycles (--png-every), taken at the
// cycle boundary and written before the cycle goes on.
void saveWorldPictureAtBoundary(int32_t cycle);

// Saves pictures on threads of their own, so the window stays responsive
// while they are encoded; waits for those still being written when it goes.
class BackgroundPictures {
  public:
    BackgroundPictures() = default;
    ~BackgroundPictures();
    BackgroundPictures(const BackgroundPictures&) = delete;
    BackgroundPictures& operator=(const BackgroundPictures&) = delete;

    void save(int32_t cycle, QImage world, QImage chart);

    // Returns once every picture asked for is written.
    void wait();

  private:
    struct Writer {
        std::thread thread;
        std::shared_ptr<std::atomic<bool>> done;
    };
    std::list<Writer> writers_;
};

class PopulationChart;

// The P key: the world as it stands at the next point where the simulation
// can be held (held for the moment of the copy), and the chart while it is
// open, both named by the cycle under way; encoded and written in the
// background.
void takePictures(BackgroundPictures& pictures, PopulationChart& chart);

}  // namespace kesmir
