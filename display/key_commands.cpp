#include "display/key_commands.h"

#include <Qt>
#include <array>
#include <utility>

namespace kesmir {

namespace {

constexpr KeyCommand scroll(ScrollAxis axis, ScrollRequest request) {
    return {Command::scroll, axis, request};
}

constexpr KeyCommand dialog(ParameterDialogKind which) {
    return {Command::parameterDialog, ScrollAxis::vertical, ScrollRequest::finished, which};
}

constexpr KeyCommand plain(Command command) {
    return {command};
}

using enum ScrollAxis;
using enum ScrollRequest;

// The arrows move by a page, like Page Up and Page Down; only the vertical
// axis has keys for its edges. The keypad's keys give the same codes.
constexpr std::array<std::pair<int, KeyCommand>, 27> kKeyTable{{
    {Qt::Key_Up, scroll(vertical, pageBack)},
    {Qt::Key_PageUp, scroll(vertical, pageBack)},
    {Qt::Key_Down, scroll(vertical, pageForward)},
    {Qt::Key_PageDown, scroll(vertical, pageForward)},
    {Qt::Key_Home, scroll(vertical, toStart)},
    {Qt::Key_End, scroll(vertical, toEnd)},
    {Qt::Key_Left, scroll(horizontal, pageBack)},
    {Qt::Key_Right, scroll(horizontal, pageForward)},
    {Qt::Key_A, dialog(ParameterDialogKind::maturity)},
    {Qt::Key_D, plain(Command::toggleOverlay)},
    {Qt::Key_H, plain(Command::showHints)},
    {Qt::Key_K, plain(Command::checkpoint)},
    {Qt::Key_L, plain(Command::toggleSpotFile)},
    {Qt::Key_M, dialog(ParameterDialogKind::metabolic)},
    {Qt::Key_N, plain(Command::logNutrients)},
    {Qt::Key_Q, plain(Command::quit)},
    {Qt::Key_R, dialog(ParameterDialogKind::reproduction)},
    {Qt::Key_S, dialog(ParameterDialogKind::senescence)},
    {Qt::Key_T, dialog(ParameterDialogKind::satiety)},
    {Qt::Key_F, plain(Command::fitWorld)},
    {Qt::Key_1, plain(Command::oneToOne)},
    {Qt::Key_Plus, plain(Command::zoomIn)},
    {Qt::Key_Equal, plain(Command::zoomIn)},
    {Qt::Key_Minus, plain(Command::zoomOut)},
    {Qt::Key_G, plain(Command::toggleChart)},
    {Qt::Key_P, plain(Command::savePictures)},
    {Qt::Key_E, plain(Command::toggleEvolution)},
}};

}  // namespace

std::optional<KeyCommand> commandForKey(int qtKey) {
    for (const auto& [key, command] : kKeyTable)
        if (key == qtKey) return command;
    return std::nullopt;
}

}  // namespace kesmir
