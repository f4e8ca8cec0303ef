// Pictures: P's world and chart pictures named by the cycle, one pixel per
// cell in the view's colours and agreeing with the view cell for cell, and
// the world every N cycles at the boundary.
#include <sys/wait.h>
#include <unistd.h>

#include <QTest>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "display/evolution_window.h"
#include "display/pictures.h"
#include "display/population_chart.h"
#include "display/render/palette.h"
#include "display/render/view_render.h"
#include "files/writes_in_progress.h"
#include "model/model_fixture.h"
#include "sim/cull.h"
#include "sim/eco_node.h"
#include "stats/population_history.h"
#include "stats/trait_history.h"

namespace kesmir {

class PicturesTest : public QObject {
    Q_OBJECT

  private slots:
    void init() { testing::resetModel(); }

    void pTakesTheWorldAndTheOpenChart() {
        testing::ScratchDirectory scratch;
        testing::addCarnivore(12, 34, 1.0f);
        testing::addPlant(3499, 3499, 1.0f);
        setNutrient(cellIndex(0, 0), 500.0f);
        kk = 42;
        PopulationHistory history;
        history.append({0, 10, 20, 30});
        PopulationChart chart(history);
        const auto traits = std::make_unique<TraitHistory>();
        EvolutionWindow evolution(*traits);
        BackgroundPictures pictures;

        takePictures(pictures, chart, evolution);  // both closed: the world alone
        pictures.wait();
        QVERIFY(!std::filesystem::exists("populations-42.png"));
        const QImage world(QStringLiteral("world-42.png"));
        QCOMPARE(world.size(), QSize(3500, 3500));
        QCOMPARE(world.pixel(12, 34), pixelOf(kCarnivoreColour));
        QCOMPARE(world.pixel(3499, 3499), pixelOf(kPlantColour));
        QCOMPARE(world.pixel(0, 0), pixelOf(Rgb{255, 229, 0}));
        QCOMPARE(world.pixel(1, 0), pixelOf(Rgb{255, 216, 0}));

        chart.show();
        QVERIFY(QTest::qWaitForWindowExposed(&chart));
        kk = 43;
        takePictures(pictures, chart, evolution);
        pictures.wait();
        QVERIFY(std::filesystem::exists("world-43.png"));
        QCOMPARE(QImage(QStringLiteral("populations-43.png")).size(), chart.picture().size());
        QVERIFY(!std::filesystem::exists("evolution-43.png"));

        evolution.show();
        QVERIFY(QTest::qWaitForWindowExposed(&evolution));
        kk = 44;
        takePictures(pictures, chart, evolution);
        pictures.wait();
        QCOMPARE(QImage(QStringLiteral("evolution-44.png")).size(), evolution.picture().size());
    }

    // Two herbivores on a plant's cell, the later one dead: the cull keeps
    // the first in the lists but leaves the cell's herbivore slot empty, so
    // the view shows the plant, and so must the picture.
    void thePictureShowsACellAsTheViewDoes() {
        initPalette();
        testing::addPlant(40, 50, 1.0f);
        testing::addHerbivore(40, 50, 1.0f);
        testing::addHerbivore(40, 50, 1.0f).alive = 0;
        cull();
        addNew();
        bufferSwap();
        QCOMPARE(int(Hpop), 1);
        uint32_t view = 0;
        drawView(liveWorldLayers(), kOnePixelPerCell, {40, 50, 1, 1}, &view, 1);
        QCOMPARE(view, pixelOf(kPlantColour));
        QCOMPARE(worldPicture().pixel(40, 50), view);
    }

    void aPictureThatCannotBeWrittenLeavesNothingBehind() {
        testing::ScratchDirectory scratch;
        std::filesystem::create_directory("world-7.png");  // in the way of the rename
        QImage image(4, 4, QImage::Format_RGB32);
        image.fill(Qt::red);
        const WriteResult result = savePng(image, worldPictureName(7));
        QVERIFY(!result.ok);
        QVERIFY(result.error.find("world-7.png") != std::string::npos);
        QVERIFY(result.error.find('\n') == std::string::npos);
        const auto entries = std::distance(std::filesystem::directory_iterator("."),
                                           std::filesystem::directory_iterator());
        QCOMPARE(entries, 1);  // no temporary file left
        QVERIFY(std::filesystem::is_directory("world-7.png"));
    }

    void everyNCyclesTheWorldIsSavedAtTheBoundary() {
        testing::ScratchDirectory scratch;
        testing::seedSmallWorld(2000, 920, 200);
        runSettings.pictureEvery = 2;
        runSettings.savePicture = saveWorldPictureAtBoundary;
        for (int i = 0; i < 3; ++i)
            runCycle();
        runSettings.pictureEvery = 0;
        QVERIFY(std::filesystem::exists("world-0.png"));
        QVERIFY(!std::filesystem::exists("world-1.png"));
        QVERIFY(std::filesystem::exists("world-2.png"));
        QVERIFY(!std::filesystem::exists("world-3.png"));
    }

    // The end of the run (Q) waits for a boundary picture still being drawn
    // and encoded; the process ends in a child, as the program's does.
    void theEndWaitsForABoundaryPicture() {
        testing::ScratchDirectory scratch;
        std::fflush(nullptr);
        const pid_t child = fork();
        if (child == 0) {
            std::thread(saveWorldPictureAtBoundary, 5).detach();
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            finishWritesInProgress();
            std::_Exit(std::filesystem::exists("world-5.png") ? 0 : 1);
        }
        int status = 0;
        QCOMPARE(waitpid(child, &status, 0), child);
        QVERIFY(WIFEXITED(status));
        QCOMPARE(WEXITSTATUS(status), 0);
    }
};

}  // namespace kesmir

QTEST_MAIN(kesmir::PicturesTest)
#include "pictures_test.moc"
