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
// axis has keys for its edges.
constexpr std::array<std::pair<int, KeyCommand>, 19> kKeyTable{{
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
}};

}  // namespace

std::optional<KeyCommand> commandForKey(int qtKey) {
    for (const auto& [key, command] : kKeyTable)
        if (key == qtKey) return command;
    return std::nullopt;
}

}  // namespace kesmir
