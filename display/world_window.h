// The main window: the world one pixel per cell, scrolled by two scroll
// bars, the keys and the wheel, with the population overlay XORed onto its
// top-right corner; keys turn into commands and two left clicks select a
// rectangle for a spot sample.
#pragma once

#include <QAbstractScrollArea>
#include <QScrollBar>
#include <atomic>
#include <functional>

#include "display/key_commands.h"
#include "display/scroll_state.h"
#include "display/selection.h"

namespace kesmir {

class FrameBuffers;

class WorldWindow : public QAbstractScrollArea {
    Q_OBJECT

  public:
    explicit WorldWindow(FrameBuffers& buffers, QWidget* parent = nullptr);

    // Runs a parameter dialog (keys A, M, R, S, T). The window sets `pause`
    // around the call, so the simulation halts at its next cycle boundary
    // while the user edits. Empty: those keys do nothing.
    std::function<void(ParameterDialogKind)> parameterDialogHook;

    // Called on the window thread after the second left click of a
    // selection, with both corners and the scroll positions.
    std::function<void(const SpotSelection&)> selectionCompleteHook;

    // Ends the process (Q). Replaceable so tests can see it happen.
    std::function<void()> quitHook;

    // The hints dialog (H); by default a modal HintsDialog.
    std::function<void()> hintsHook;

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
    void openParameterDialog(ParameterDialogKind which);
    void onBarAction(ScrollAxis axis, int action);
    void syncBars();
    QScrollBar* bar(ScrollAxis axis) const;

    FrameBuffers& buffers_;
    ScrollState scroll_;
    TwoClickSelection selection_;
    std::atomic<bool> repaintPending_{false};
};

}  // namespace kesmir
