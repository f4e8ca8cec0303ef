// The main window: the world one pixel per cell (or zoomed in or out),
// scrolled by two scroll bars, the keys and the wheel, with the population
// overlay XORed onto its top-right corner; keys turn into commands and two
// left clicks select a rectangle for a spot sample.
#pragma once

#include <QAbstractScrollArea>
#include <QScrollBar>
#include <atomic>
#include <functional>
#include <optional>

#include "display/frame_plan.h"
#include "display/key_commands.h"
#include "display/scroll_state.h"
#include "display/selection.h"

namespace kesmir {

class FrameBuffers;

class WorldWindow : public QAbstractScrollArea {
    Q_OBJECT

  public:
    explicit WorldWindow(FrameBuffers& buffers, QWidget* parent = nullptr);

    // Runs a parameter dialog (keys A, M, R, S, T). The window asks for a
    // pause around the call, so the simulation halts at its next cycle
    // boundary while the user edits. Empty: those keys do nothing.
    std::function<void(ParameterDialogKind)> parameterDialogHook;

    // Called on the window thread after the second left click of a
    // selection, with both corners and the scroll positions.
    std::function<void(const SpotSelection&)> selectionCompleteHook;

    // Ends the event loop and with it the run (Q). Replaceable so tests can
    // see it happen.
    std::function<void()> quitHook;

    // The hints dialog (H); by default a modal HintsDialog.
    std::function<void()> hintsHook;

    // Opens or closes the population chart (G) or the Evolution window (E);
    // saves the pictures (P).
    std::function<void()> chartHook;
    std::function<void()> evolutionHook;
    std::function<void()> picturesHook;

    // Called whenever what the window shows changes: the zoom, the scroll
    // positions or the client area's size.
    std::function<void(const WorldView&)> viewChangedHook;

    Zoom zoom() const { return zoom_; }
    bool fitted() const { return fitted_; }
    WorldView view() const;

    // Changes the zoom so that the cell under the client point `anchor`
    // stays under it (as far as the scroll range allows).
    void zoomAbout(Zoom to, QPoint anchor);
    // The next listed zoom level in a direction (+1 in, -1 out).
    void stepZoom(int direction, QPoint anchor);
    // F: the whole world in the window, refitted as the window changes size.
    void fitWorld();
    // 1: one pixel per cell; from a fitted view, back where it was fitted.
    void oneToOne();

    const ScrollState& scrollState() const { return scroll_; }
    const TwoClickSelection& selection() const { return selection_; }

    // Thread-safe: asks for a repaint of the whole view with the newest
    // frame. Requests made while one is pending are merged.
    void requestRepaint();

    // Sizes and places the window by its outer frame: 1200 x 1030 at
    // (10, 10), resizable between 300 x 300 and 3500 x 3500.
    void applyInitialGeometry();

    // Runs one scroll request on an axis, as the bars, keys and wheel do.
    void scrollView(ScrollAxis axis, ScrollRequest request, int thumb = 0);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void runCommand(const KeyCommand& command);
    void applyZoom(Zoom to, int horizontalPos, int verticalPos);
    QPoint middleOfWorldInView() const;
    void viewChanged();
    void openParameterDialog(ParameterDialogKind which);
    void onBarAction(ScrollAxis axis, int action);
    void syncBars();
    QScrollBar* bar(ScrollAxis axis) const;

    FrameBuffers& buffers_;
    ScrollState scroll_;
    TwoClickSelection selection_;
    Zoom zoom_ = kOnePixelPerCell;
    bool fitted_ = false;
    // The view that F replaced, for 1 to go back to.
    struct Placement {
        Zoom zoom;
        int horizontalPos;
        int verticalPos;
    };
    std::optional<Placement> beforeFit_;
    std::atomic<bool> repaintPending_{false};
};

}  // namespace kesmir
