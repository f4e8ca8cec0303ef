// Pictures of the run as PNG files in the working directory:
// "world-CYCLE.png", the whole world one pixel per cell in the view's
// colours without the overlay, "populations-CYCLE.png", the chart, and
// "evolution-CYCLE.png", the Evolution window. Each is encoded in memory and
// written by writeFileAtomically, so an interrupted write never leaves half
// a picture.
#pragma once

#include <QImage>
#include <atomic>
#include <cstdint>
#include <list>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "files/safe_file.h"

namespace kesmir {

std::string worldPictureName(int32_t cycle);
std::string chartPictureName(int32_t cycle);
std::string evolutionPictureName(int32_t cycle);

struct Picture {
    std::string path;
    QImage image;  // null: nothing to write
};

// The world as the view draws it at one pixel per cell (drawFrame): 3500 x
// 3500, RGB. Take it while the world is still (the simulation held) for a
// picture of one moment.
QImage worldPicture();

WriteResult savePng(const QImage& image, const std::string& path);

// Saves each picture that is not null, then tells the console in one line
// what was written (and on stderr what failed).
void savePictures(const std::vector<Picture>& pictures);

// The simulation thread's picture every N cycles (--png-every), taken at the
// cycle boundary and written before the cycle goes on; a quit while it is
// encoded still writes it.
void saveWorldPictureAtBoundary(int32_t cycle);

// Saves pictures on threads of their own, so the window stays responsive
// while they are encoded; waits for those still being written when it goes.
class BackgroundPictures {
  public:
    BackgroundPictures() = default;
    ~BackgroundPictures();
    BackgroundPictures(const BackgroundPictures&) = delete;
    BackgroundPictures& operator=(const BackgroundPictures&) = delete;

    void save(std::vector<Picture> pictures);

    // Returns once every picture asked for is written.
    void wait();

  private:
    struct Writer {
        std::thread thread;
        std::shared_ptr<std::atomic<bool>> done;
    };
    std::list<Writer> writers_;
};

class EvolutionWindow;
class PopulationChart;

// The P key: the world as it stands at the next point where the simulation
// can be held (held for the moment of the copy), and the chart and the
// Evolution window while they are open, all named by the cycle under way;
// encoded and written in the background.
void takePictures(BackgroundPictures& pictures, PopulationChart& chart, EvolutionWindow& evolution);

}  // namespace kesmir
