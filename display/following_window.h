// A window beside the main one that follows the run: refresh() reads what
// it shows every `refreshMilliseconds` while it is shown, and when it is
// shown or resized; every key pressed in it goes to keyHook, so that the
// main window's keys work from it too.
#pragma once

#include <QTimer>
#include <QWidget>
#include <functional>

class QKeyEvent;

namespace kesmir {

class FollowingWindow : public QWidget {
    Q_OBJECT

  public:
    explicit FollowingWindow(int refreshMilliseconds, QWidget* parent = nullptr);

    // Shows the window to the right of `window` and `down` pixels lower, or
    // as far right as its screen allows, wholly on that screen.
    void showBeside(const QWidget& window, int down = 0);

    // Reads the history now and redraws what changed.
    virtual void refresh() = 0;

    std::function<void(QKeyEvent*)> keyHook;

  protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    QTimer timer_;
};

}  // namespace kesmir
